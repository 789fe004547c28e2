// Four looping voices in SSE2 lanes, one voice per lane, frame by frame.
//
// The plain loop carries each position as a double and rounds a fraction to
// single precision at every frame; its chain of dependent operations per
// frame (truncate, convert back, subtract, round, add twice) bounds it. Here
// each lane carries the whole part and the fraction apart. Whenever every
// position and step of a tick is a whole number of 2^-35 points below 2^17
// points, every double sum of the plain loop is exact, so the next position
// is the whole part plus the step's whole part and a carry, and the next
// fraction is the fraction plus the step's fraction, less that carry: the
// same numbers with a shorter chain, and four voices per instruction.
// Voices that fail the test are left to the plain loop.
#include "replayer/voice_lanes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

bool use_reference_voice_loops = false;

#if defined(__SSE2__) || defined(_M_X64)

namespace {

constexpr int kLanes = 4;
// Positions and steps are whole numbers of 2^-35 points and stay below
// 2^17 points: 52 bits, so every sum of two of them is exact in a double.
constexpr double kUnitsPerPoint = 0x1p35;
constexpr double kPositionLimit = 0x1p17;

bool whole_units(double x) {
    const double units = x * kUnitsPerPoint;
    return units == std::floor(units);
}

// True when every double operation of the plain loop on this voice is exact
// for the tick: the step and start are whole units, and no position can
// pass the start or the loop end by more than a step. The loop ends within
// the data (the loader makes sure), so a point before the loop end has its
// successor beside it.
bool fits_lanes(const LoopingVoice& voice) {
    const double start = voice.channel->position;
    return voice.pan == 0.5 && start >= 0.0 && voice.step > 0.0 && voice.loop_end <= voice.length &&
           std::max(start, voice.loop_end + 1.0) + voice.step < kPositionLimit &&
           whole_units(start) && whole_units(voice.step);
}

__m128i lanes_of(const LoopingVoice* const* lane, int32_t LoopingVoice::*field, int32_t add) {
    return _mm_setr_epi32(lane[0]->*field + add, lane[1]->*field + add, lane[2]->*field + add,
                          lane[3]->*field + add);
}

__m128d pair_of(double low, double high) {
    return _mm_setr_pd(low, high);
}

// Per lane: mask ? a : b.
__m128d select_pd(__m128d mask, __m128d a, __m128d b) {
    return _mm_or_pd(_mm_and_pd(mask, a), _mm_andnot_pd(mask, b));
}

// A double rounded to single precision and back, two lanes.
__m128d round_to_float(__m128d x) {
    return _mm_cvtps_pd(_mm_cvtpd_ps(x));
}

// Four 32-bit values as four doubles, low and high pairs.
__m128d low_pd(__m128i x) {
    return _mm_cvtepi32_pd(x);
}
__m128d high_pd(__m128i x) {
    return _mm_cvtepi32_pd(_mm_shuffle_epi32(x, _MM_SHUFFLE(1, 0, 3, 2)));
}

// Two pairs of doubles truncated into four 32-bit values.
__m128i truncate_pairs(__m128d low, __m128d high) {
    return _mm_unpacklo_epi64(_mm_cvttpd_epi32(low), _mm_cvttpd_epi32(high));
}

// The rare frames of a lane at its loop's last point or past it: the
// whole part folded back into the loop, and the two points read as the
// plain loop reads them (the loop start after the loop end).
void read_loop_end_points(const LoopingVoice& voice, int32_t& whole, int32_t& a, int32_t& b) {
    if (whole >= voice.loop_end) {
        whole = voice.loop_start + (whole - voice.loop_start) % voice.loop_length;
    }
    int32_t j = whole + 1;
    if (j >= voice.loop_end) j = voice.loop_start;
    if (j >= voice.length) j = j - 1;
    a = voice.data[whole];
    b = voice.data[j];
}

// About 25 operations per voice and frame; the fraction's chain, about 20
// cycles a frame, is shared by the four lanes.
template <int N>
void render_lanes(const LoopingVoice* voices, int32_t frames) {
    // Lanes beyond N repeat voice 0 and are never written out.
    const LoopingVoice* lane[kLanes];
    const int16_t* data[kLanes];
    int16_t* out[kLanes];
    for (int v = 0; v < kLanes; ++v) {
        lane[v] = &voices[v < N ? v : 0];
        data[v] = lane[v]->data;
        out[v] = lane[v]->out;
    }

    const __m128i loop_start = lanes_of(lane, &LoopingVoice::loop_start, 0);
    const __m128i loop_before_last = lanes_of(lane, &LoopingVoice::loop_end, -2);
    alignas(16) int32_t whole_step_values[kLanes];
    double fraction_step_values[kLanes], whole_start[kLanes], fraction_start[kLanes];
    for (int v = 0; v < kLanes; ++v) {
        const double step = lane[v]->step;
        const double start = lane[v]->channel->position;
        whole_step_values[v] = static_cast<int32_t>(step);
        fraction_step_values[v] = step - whole_step_values[v];
        whole_start[v] = static_cast<int32_t>(start);
        fraction_start[v] = start - whole_start[v];
    }
    const __m128i whole_step = _mm_load_si128(reinterpret_cast<const __m128i*>(whole_step_values));
    const __m128d fraction_step_low = pair_of(fraction_step_values[0], fraction_step_values[1]);
    const __m128d fraction_step_high = pair_of(fraction_step_values[2], fraction_step_values[3]);
    const __m128d gain_low = pair_of(lane[0]->gain, lane[1]->gain);
    const __m128d gain_high = pair_of(lane[2]->gain, lane[3]->gain);
    const __m128d one = _mm_set1_pd(1.0);

    __m128i whole = _mm_setr_epi32(int32_t(whole_start[0]), int32_t(whole_start[1]),
                                   int32_t(whole_start[2]), int32_t(whole_start[3]));
    __m128d fraction_low = pair_of(fraction_start[0], fraction_start[1]);
    __m128d fraction_high = pair_of(fraction_start[2], fraction_start[3]);

    for (int32_t k = 0; k < frames; ++k) {
        const __m128d f_low = round_to_float(fraction_low);
        const __m128d f_high = round_to_float(fraction_high);
        const __m128i in_loop = _mm_cmpgt_epi32(whole, loop_start);
        alignas(16) int32_t lane_whole[kLanes];
        _mm_store_si128(reinterpret_cast<__m128i*>(lane_whole), whole);
        // Point i and the point after it, one 32-bit read each; the loop's
        // last point and beyond go the slow way.
        alignas(16) int32_t lane_points[kLanes];
        for (int v = 0; v < kLanes; ++v) std::memcpy(&lane_points[v], data[v] + lane_whole[v], 4);
        __m128i points = _mm_load_si128(reinterpret_cast<const __m128i*>(lane_points));
        __m128i a = _mm_srai_epi32(_mm_slli_epi32(points, 16), 16);
        __m128i b = _mm_srai_epi32(points, 16);
        if (_mm_movemask_epi8(_mm_cmpgt_epi32(whole, loop_before_last)) != 0) {
            alignas(16) int32_t lane_a[kLanes], lane_b[kLanes];
            _mm_store_si128(reinterpret_cast<__m128i*>(lane_a), a);
            _mm_store_si128(reinterpret_cast<__m128i*>(lane_b), b);
            for (int v = 0; v < kLanes; ++v) {
                if (lane_whole[v] >= lane[v]->loop_end - 1) {
                    read_loop_end_points(*lane[v], lane_whole[v], lane_a[v], lane_b[v]);
                }
            }
            whole = _mm_load_si128(reinterpret_cast<const __m128i*>(lane_whole));
            a = _mm_load_si128(reinterpret_cast<const __m128i*>(lane_a));
            b = _mm_load_si128(reinterpret_cast<const __m128i*>(lane_b));
        }
        const __m128i rise = _mm_sub_epi32(b, a);
        const __m128d s_low =
            _mm_mul_pd(_mm_add_pd(low_pd(a), _mm_mul_pd(low_pd(rise), f_low)), gain_low);
        const __m128d s_high =
            _mm_mul_pd(_mm_add_pd(high_pd(a), _mm_mul_pd(high_pd(rise), f_high)), gain_high);
        const __m128i s = truncate_pairs(s_low, s_high);
        // Centred: left = s / 2 truncated, right = s - left, as one 32-bit frame.
        const __m128i left = _mm_srai_epi32(_mm_add_epi32(s, _mm_srli_epi32(s, 31)), 1);
        const __m128i right = _mm_sub_epi32(s, left);
        const __m128i frame =
            _mm_or_si128(_mm_and_si128(left, _mm_set1_epi32(0xFFFF)), _mm_slli_epi32(right, 16));
        alignas(16) int32_t lane_frame[kLanes];
        _mm_store_si128(reinterpret_cast<__m128i*>(lane_frame), frame);
        for (int v = 0; v < N; ++v) std::memcpy(out[v] + 2 * k, &lane_frame[v], 4);

        // Within the loop the plain loop restarts from the rounded fraction;
        // before it, from the exact one.
        const __m128d loop_low = _mm_castsi128_pd(_mm_unpacklo_epi32(in_loop, in_loop));
        const __m128d loop_high = _mm_castsi128_pd(_mm_unpackhi_epi32(in_loop, in_loop));
        const __m128d sum_low =
            _mm_add_pd(select_pd(loop_low, f_low, fraction_low), fraction_step_low);
        const __m128d sum_high =
            _mm_add_pd(select_pd(loop_high, f_high, fraction_high), fraction_step_high);
        const __m128d carry_low = _mm_cmpge_pd(sum_low, one);
        const __m128d carry_high = _mm_cmpge_pd(sum_high, one);
        fraction_low = select_pd(carry_low, _mm_sub_pd(sum_low, one), sum_low);
        fraction_high = select_pd(carry_high, _mm_sub_pd(sum_high, one), sum_high);
        const __m128i carry = _mm_castps_si128(_mm_shuffle_ps(
            _mm_castpd_ps(carry_low), _mm_castpd_ps(carry_high), _MM_SHUFFLE(2, 0, 2, 0)));
        whole = _mm_sub_epi32(_mm_add_epi32(whole, whole_step), carry);
    }

    alignas(16) int32_t lane_whole[kLanes];
    double lane_fraction[kLanes];
    _mm_store_si128(reinterpret_cast<__m128i*>(lane_whole), whole);
    _mm_storeu_pd(lane_fraction, fraction_low);
    _mm_storeu_pd(lane_fraction + 2, fraction_high);
    for (int v = 0; v < N; ++v) {
        voices[v].channel->position = static_cast<float>(lane_whole[v] + lane_fraction[v]);
    }
}

}  // namespace

bool render_voice_lanes(const LoopingVoice* voices, int32_t count, int32_t frames) {
    for (int32_t v = 0; v < count; ++v) {
        if (!fits_lanes(voices[v])) return false;
    }
    switch (count) {
        case 4:
            render_lanes<4>(voices, frames);
            return true;
        case 3:
            render_lanes<3>(voices, frames);
            return true;
        case 2:
            render_lanes<2>(voices, frames);
            return true;
        case 1:
            render_lanes<1>(voices, frames);
            return true;
        default:
            return false;
    }
}

#else

bool render_voice_lanes(const LoopingVoice*, int32_t, int32_t) {
    return false;
}

#endif
