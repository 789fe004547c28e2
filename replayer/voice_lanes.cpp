// Up to four voices in SIMD lanes, one voice per lane, frame by frame: SSE2
// on every x86 build, AVX2 when the processor has it.
//
// The plain loops carry each position as a double and, for a looping
// sample, round a fraction to single precision at every frame; their chain
// of dependent operations per frame (truncate, convert back, subtract,
// round, add twice) bounds them. Here each lane carries the whole part and
// the fraction apart. Whenever every position and step of a tick is a whole
// number of 2^-35 points below 2^17 points, every double sum of the plain
// loops is exact, so the next position is the whole part plus the step's
// whole part and a carry, and the next fraction is the fraction plus the
// step's fraction, less that carry: the same numbers with a shorter chain,
// and four voices per instruction. Voices that fail the test are left to
// the plain loops.
#include "replayer/voice_lanes.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
// 64-bit x86 only: the 32-bit Windows program must fit in 256 KB, and its
// music takes a fraction of a percent of a core through the plain loops.
#if defined(__x86_64__) || defined(_M_X64)
#define BP_VOICE_LANES 1
#include <emmintrin.h>
#endif
#if BP_VOICE_LANES && defined(__GNUC__)
#define BP_VOICE_LANES_AVX2 1
#include <immintrin.h>
#endif

bool use_reference_voice_loops = false;
bool allow_avx2_voice_lanes = true;

#if BP_VOICE_LANES

namespace {

constexpr int kLanes = 4;
// Positions and steps are whole numbers of 2^-35 points and stay below
// 2^17 points: 52 bits, so every sum of two of them is exact in a double.
constexpr double kUnitsPerPoint = 0x1p35;
constexpr double kPositionLimit = 0x1p17;
// Each lane reads point i and the one after it before it checks i against
// the loop or the data's end, so a step stays short of the padding.
constexpr double kLongestStep = kSamplePadding - 3;
// A lane whose one-shot sample has run out reads these from then on.
constexpr int16_t kSilence[2] = {0, 0};

bool whole_units(double x) {
    const double units = x * kUnitsPerPoint;
    return units == std::floor(units);
}

// True when every double operation of the plain loops on this voice is
// exact for the tick: the step and start are whole units, and no position
// can pass the start, the loop end or the data's end by more than a step.
// The loop ends within the data (the loader makes sure), so a point before
// the loop end has its successor beside it.
bool fits_lanes(const QueuedVoice& voice) {
    const double start = voice.channel->position;
    const double end = voice.looping ? voice.loop_end + 1.0 : voice.length + 2.0;
    return voice.pan == 0.5 && start >= 0.0 && start < voice.length + 1.0 && voice.step > 0.0 &&
           voice.step < kLongestStep && (!voice.looping || voice.loop_end <= voice.length) &&
           std::max(start, end) + voice.step < kPositionLimit && whole_units(start) &&
           whole_units(voice.step);
}

// What the lanes hold, lane by lane, in the shape the vectors load.
struct Lanes {
    alignas(32) int32_t whole_step_and_carry[kLanes];  // the step's whole part + 1
    alignas(32) int32_t loop_start[kLanes];  // INT_MAX for a one-shot sample: never in a loop
    alignas(32) int32_t edge[kLanes];        // beyond this whole part, the slow way
    alignas(32) int64_t rounds[kLanes];      // all ones when the fraction is rounded (a loop)
    alignas(32) double fraction_step[kLanes];
    alignas(32) double fraction_step_less_one[kLanes];
    alignas(32) double gain[kLanes];
    alignas(32) const int16_t* data[kLanes];
    int16_t* out[kLanes];
    const QueuedVoice* voice[kLanes];
    bool ended[kLanes];
    float end_position[kLanes];
};

// Lanes beyond `count` repeat voice 0 and are never written out.
void load_lanes(const QueuedVoice* voices, int32_t count, Lanes& lanes, int32_t* whole,
                double* fraction) {
    for (int v = 0; v < kLanes; ++v) {
        const QueuedVoice& voice = voices[v < count ? v : 0];
        const double start = voice.channel->position;
        lanes.voice[v] = &voice;
        const int32_t whole_step = static_cast<int32_t>(voice.step);
        lanes.whole_step_and_carry[v] = whole_step + 1;
        lanes.fraction_step[v] = voice.step - whole_step;
        lanes.fraction_step_less_one[v] = lanes.fraction_step[v] - 1.0;
        lanes.loop_start[v] = voice.looping ? voice.loop_start : INT_MAX;
        // The last point of a loop reads the loop start after it; the last
        // point of a one-shot sample reads itself twice.
        lanes.edge[v] = (voice.looping ? voice.loop_end : voice.length) - 2;
        lanes.rounds[v] = voice.looping ? -1 : 0;
        lanes.gain[v] = voice.gain;
        lanes.data[v] = voice.data;
        lanes.out[v] = voice.out;
        lanes.ended[v] = false;
        whole[v] = static_cast<int32_t>(start);
        fraction[v] = start - whole[v];
    }
}

// The rare frames of lanes beyond their edge: a loop folded back and its
// last point read before the loop start, a one-shot sample's last points,
// or its end. Gives true when a lane has ended (its values changed).
bool read_edge_points(Lanes& lanes, int32_t* whole, const double* fraction, int32_t* a,
                      int32_t* b) {
    bool ended = false;
    for (int v = 0; v < kLanes; ++v) {
        if (whole[v] <= lanes.edge[v]) continue;
        const QueuedVoice& voice = *lanes.voice[v];
        int32_t& i = whole[v];
        if (voice.looping) {
            if (i >= voice.loop_end)
                i = voice.loop_start + (i - voice.loop_start) % voice.loop_length;
            int32_t j = i + 1;
            if (j >= voice.loop_end) j = voice.loop_start;
            if (j >= voice.length) j = j - 1;
            a[v] = voice.data[i];
            b[v] = voice.data[j];
        } else if (i > voice.length) {
            // Run out: silent from this frame on, and the period goes.
            lanes.ended[v] = true;
            lanes.end_position[v] = static_cast<float>(i + fraction[v] + voice.step);
            lanes.data[v] = kSilence;
            lanes.whole_step_and_carry[v] = 1;
            lanes.fraction_step[v] = 0.0;
            lanes.fraction_step_less_one[v] = -1.0;
            lanes.edge[v] = INT_MAX;
            i = 0;
            a[v] = b[v] = 0;
            ended = true;
        } else {
            a[v] = b[v] = voice.data[i];
        }
    }
    return ended;
}

void store_lanes(const Lanes& lanes, int32_t count, const int32_t* whole, const double* fraction) {
    for (int v = 0; v < count; ++v) {
        Channel& channel = *lanes.voice[v]->channel;
        if (lanes.ended[v]) {
            channel.period = 0;
            channel.position = lanes.end_position[v];
        } else {
            channel.position = static_cast<float>(whole[v] + fraction[v]);
        }
    }
}

// Centred: left = s / 2 truncated, right = s - left, as one 32-bit frame
// per lane; the first `count` lanes are stored at frame k.
void write_frames(const Lanes& lanes, int32_t count, __m128i s, int32_t k) {
    const __m128i left = _mm_srai_epi32(_mm_add_epi32(s, _mm_srli_epi32(s, 31)), 1);
    const __m128i right = _mm_sub_epi32(s, left);
    const __m128i frame =
        _mm_or_si128(_mm_and_si128(left, _mm_set1_epi32(0xFFFF)), _mm_slli_epi32(right, 16));
    alignas(16) int32_t lane_frame[kLanes];
    _mm_store_si128(reinterpret_cast<__m128i*>(lane_frame), frame);
    for (int v = 0; v < count; ++v) std::memcpy(lanes.out[v] + 2 * k, &lane_frame[v], 4);
}

// Point i and the point after it, one 32-bit read a lane.
__m128i read_point_pairs(const Lanes& lanes, const int32_t* whole) {
    alignas(16) int32_t pairs[kLanes];
    for (int v = 0; v < kLanes; ++v) std::memcpy(&pairs[v], lanes.data[v] + whole[v], 4);
    return _mm_load_si128(reinterpret_cast<const __m128i*>(pairs));
}

__m128i load4(const int32_t* values) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(values));
}
void store4(int32_t* values, __m128i x) {
    _mm_store_si128(reinterpret_cast<__m128i*>(values), x);
}

// Per lane: mask ? a : b.
__m128d select_pd(__m128d mask, __m128d a, __m128d b) {
    return _mm_or_pd(_mm_and_pd(mask, a), _mm_andnot_pd(mask, b));
}

// Doubles of 0 or 2^-35 .. 1 rounded to single precision (to nearest, ties
// to even) by their bit patterns: the 29 bits a float lacks are rounded
// away. Four integer operations where the conversions there and back take
// about 10 cycles.
constexpr int64_t kFloatRoundingBias = (int64_t(1) << 28) - 1;
constexpr int64_t kFloatMantissaMask = ~((int64_t(1) << 29) - 1);

__m128d round_to_float(__m128d x) {
    const __m128i bits = _mm_castpd_si128(x);
    const __m128i last_kept = _mm_and_si128(_mm_srli_epi64(bits, 29), _mm_set1_epi64x(1));
    const __m128i up =
        _mm_add_epi64(_mm_add_epi64(bits, _mm_set1_epi64x(kFloatRoundingBias)), last_kept);
    return _mm_castsi128_pd(_mm_and_si128(up, _mm_set1_epi64x(kFloatMantissaMask)));
}

// Four 32-bit values as four doubles, low and high pairs.
__m128d low_pd(__m128i x) {
    return _mm_cvtepi32_pd(x);
}
__m128d high_pd(__m128i x) {
    return _mm_cvtepi32_pd(_mm_shuffle_epi32(x, _MM_SHUFFLE(1, 0, 3, 2)));
}

// Doubles two to a register: about 130 operations a frame for the four
// voices (SSE2 has no lane extract or blend), about what the plain loops
// spend, but the fraction's chain (round, select, add, select) is about 14
// cycles a frame and shared: 5 to 10% faster than the plain loops.
template <int N>
void render_lanes_sse2(const QueuedVoice* voices, int32_t frames) {
    Lanes lanes;
    alignas(16) int32_t whole_start[kLanes];
    alignas(16) double fraction_start[kLanes];
    load_lanes(voices, N, lanes, whole_start, fraction_start);
    const __m128i loop_start = load4(lanes.loop_start);
    const __m128d rounds_low = _mm_load_pd(reinterpret_cast<const double*>(lanes.rounds));
    const __m128d rounds_high = _mm_load_pd(reinterpret_cast<const double*>(lanes.rounds + 2));
    const __m128d gain_low = _mm_load_pd(lanes.gain);
    const __m128d gain_high = _mm_load_pd(lanes.gain + 2);
    __m128i whole_step = load4(lanes.whole_step_and_carry);
    __m128i edge = load4(lanes.edge);
    __m128d fraction_step_low = _mm_load_pd(lanes.fraction_step);
    __m128d fraction_step_high = _mm_load_pd(lanes.fraction_step + 2);
    __m128d fraction_step_less_one_low = _mm_load_pd(lanes.fraction_step_less_one);
    __m128d fraction_step_less_one_high = _mm_load_pd(lanes.fraction_step_less_one + 2);
    __m128i whole = load4(whole_start);
    __m128d fraction_low = _mm_load_pd(fraction_start);
    __m128d fraction_high = _mm_load_pd(fraction_start + 2);

    for (int32_t k = 0; k < frames; ++k) {
        // A loop's interpolation and restart use the fraction rounded to
        // single precision; a one-shot sample's the exact one.
        const __m128d rounded_low = round_to_float(fraction_low);
        const __m128d rounded_high = round_to_float(fraction_high);
        const __m128d f_low = select_pd(rounds_low, rounded_low, fraction_low);
        const __m128d f_high = select_pd(rounds_high, rounded_high, fraction_high);
        const __m128i in_loop = _mm_cmpgt_epi32(whole, loop_start);
        alignas(16) int32_t lane_whole[kLanes];
        store4(lane_whole, whole);
        const __m128i pairs = read_point_pairs(lanes, lane_whole);
        __m128i a = _mm_srai_epi32(_mm_slli_epi32(pairs, 16), 16);
        __m128i b = _mm_srai_epi32(pairs, 16);
        if (_mm_movemask_epi8(_mm_cmpgt_epi32(whole, edge)) != 0) {
            alignas(16) int32_t lane_a[kLanes], lane_b[kLanes];
            alignas(16) double lane_fraction[kLanes];
            store4(lane_a, a);
            store4(lane_b, b);
            _mm_store_pd(lane_fraction, fraction_low);
            _mm_store_pd(lane_fraction + 2, fraction_high);
            if (read_edge_points(lanes, lane_whole, lane_fraction, lane_a, lane_b)) {
                whole_step = load4(lanes.whole_step_and_carry);
                edge = load4(lanes.edge);
                fraction_step_low = _mm_load_pd(lanes.fraction_step);
                fraction_step_high = _mm_load_pd(lanes.fraction_step + 2);
                fraction_step_less_one_low = _mm_load_pd(lanes.fraction_step_less_one);
                fraction_step_less_one_high = _mm_load_pd(lanes.fraction_step_less_one + 2);
            }
            whole = load4(lane_whole);
            a = load4(lane_a);
            b = load4(lane_b);
        }
        const __m128i rise = _mm_sub_epi32(b, a);
        const __m128d s_low =
            _mm_mul_pd(_mm_add_pd(low_pd(a), _mm_mul_pd(low_pd(rise), f_low)), gain_low);
        const __m128d s_high =
            _mm_mul_pd(_mm_add_pd(high_pd(a), _mm_mul_pd(high_pd(rise), f_high)), gain_high);
        write_frames(lanes, N,
                     _mm_unpacklo_epi64(_mm_cvttpd_epi32(s_low), _mm_cvttpd_epi32(s_high)), k);

        // Within a loop the plain loop restarts from the rounded fraction;
        // before it from the exact one. A one-shot sample is never in a loop.
        const __m128d loop_low = _mm_castsi128_pd(_mm_unpacklo_epi32(in_loop, in_loop));
        const __m128d loop_high = _mm_castsi128_pd(_mm_unpackhi_epi32(in_loop, in_loop));
        const __m128d g_low = select_pd(loop_low, rounded_low, fraction_low);
        const __m128d g_high = select_pd(loop_high, rounded_high, fraction_high);
        // The fraction plus the step's fraction, with and without the carry:
        // the one less one is negative when there is none.
        const __m128d less_one_low = _mm_add_pd(g_low, fraction_step_less_one_low);
        const __m128d less_one_high = _mm_add_pd(g_high, fraction_step_less_one_high);
        const __m128d none_low = _mm_castsi128_pd(_mm_shuffle_epi32(
            _mm_srai_epi32(_mm_castpd_si128(less_one_low), 31), _MM_SHUFFLE(3, 3, 1, 1)));
        const __m128d none_high = _mm_castsi128_pd(_mm_shuffle_epi32(
            _mm_srai_epi32(_mm_castpd_si128(less_one_high), 31), _MM_SHUFFLE(3, 3, 1, 1)));
        fraction_low = select_pd(none_low, _mm_add_pd(g_low, fraction_step_low), less_one_low);
        fraction_high = select_pd(none_high, _mm_add_pd(g_high, fraction_step_high), less_one_high);
        const __m128i no_carry = _mm_srli_epi32(
            _mm_castps_si128(_mm_shuffle_ps(_mm_castpd_ps(less_one_low),
                                            _mm_castpd_ps(less_one_high), _MM_SHUFFLE(3, 1, 3, 1))),
            31);
        whole = _mm_sub_epi32(_mm_add_epi32(whole, whole_step), no_carry);
    }

    alignas(16) int32_t lane_whole[kLanes];
    alignas(16) double lane_fraction[kLanes];
    store4(lane_whole, whole);
    _mm_store_pd(lane_fraction, fraction_low);
    _mm_store_pd(lane_fraction + 2, fraction_high);
    store_lanes(lanes, N, lane_whole, lane_fraction);
}

#if BP_VOICE_LANES_AVX2

#define BP_AVX2 __attribute__((target("avx2")))

BP_AVX2 __m256d round_to_float_avx2(__m256d x) {
    const __m256i bits = _mm256_castpd_si256(x);
    const __m256i last_kept = _mm256_and_si256(_mm256_srli_epi64(bits, 29), _mm256_set1_epi64x(1));
    const __m256i up =
        _mm256_add_epi64(_mm256_add_epi64(bits, _mm256_set1_epi64x(kFloatRoundingBias)), last_kept);
    return _mm256_castsi256_pd(_mm256_and_si256(up, _mm256_set1_epi64x(kFloatMantissaMask)));
}

// Doubles four to a register: about 60 operations a frame for the four
// voices. A gather of the point pairs costs more than the four reads here
// (on this machine three times the whole loop). The same arithmetic as
// the SSE2 loop, so the same numbers.
// Four 32-bit values widened to 64-bit lanes.
BP_AVX2 __m256i load4_wide(const int32_t* values) {
    return _mm256_cvtepi32_epi64(load4(values));
}

template <int N>
BP_AVX2 void render_lanes_avx2(const QueuedVoice* voices, int32_t frames) {
    Lanes lanes;
    alignas(16) int32_t whole_start[kLanes];
    alignas(32) double fraction_start[kLanes];
    load_lanes(voices, N, lanes, whole_start, fraction_start);
    // Whole parts in 64-bit lanes beside the fractions: the carry and the
    // loop test need no narrowing or widening.
    const __m256i loop_start = load4_wide(lanes.loop_start);
    const __m256d rounds = _mm256_load_pd(reinterpret_cast<const double*>(lanes.rounds));
    const __m256d gain = _mm256_load_pd(lanes.gain);
    const __m128i low_half = _mm_set1_epi32(0xFFFF);
    __m256i whole_step = load4_wide(lanes.whole_step_and_carry);
    __m256i edge = load4_wide(lanes.edge);
    __m256d fraction_step = _mm256_load_pd(lanes.fraction_step);
    __m256d fraction_step_less_one = _mm256_load_pd(lanes.fraction_step_less_one);
    __m256i whole = load4_wide(whole_start);
    // Copies the loop can keep in registers: the frames it stores cannot
    // reach them.
    const int16_t* data[kLanes];
    int16_t* out[kLanes];
    std::copy(lanes.data, lanes.data + kLanes, data);
    std::copy(lanes.out, lanes.out + kLanes, out);
    __m256d fraction = _mm256_load_pd(fraction_start);

    for (int32_t k = 0; k < frames; ++k) {
        const __m256d rounded = round_to_float_avx2(fraction);
        const __m256d f = _mm256_blendv_pd(fraction, rounded, rounds);
        const __m256d in_loop = _mm256_castsi256_pd(_mm256_cmpgt_epi64(whole, loop_start));
        alignas(32) int64_t wide_whole[kLanes];
        _mm256_store_si256(reinterpret_cast<__m256i*>(wide_whole), whole);
        alignas(16) int32_t pairs[kLanes];
        for (int v = 0; v < kLanes; ++v) std::memcpy(&pairs[v], data[v] + wide_whole[v], 4);
        const __m128i pair = load4(pairs);
        __m128i a = _mm_srai_epi32(_mm_slli_epi32(pair, 16), 16);
        __m128i b = _mm_srai_epi32(pair, 16);
        if (_mm256_movemask_pd(_mm256_castsi256_pd(_mm256_cmpgt_epi64(whole, edge))) != 0) {
            alignas(16) int32_t lane_whole[kLanes], lane_a[kLanes], lane_b[kLanes];
            alignas(32) double lane_fraction[kLanes];
            for (int v = 0; v < kLanes; ++v) lane_whole[v] = static_cast<int32_t>(wide_whole[v]);
            store4(lane_a, a);
            store4(lane_b, b);
            _mm256_store_pd(lane_fraction, fraction);
            if (read_edge_points(lanes, lane_whole, lane_fraction, lane_a, lane_b)) {
                whole_step = load4_wide(lanes.whole_step_and_carry);
                edge = load4_wide(lanes.edge);
                fraction_step = _mm256_load_pd(lanes.fraction_step);
                fraction_step_less_one = _mm256_load_pd(lanes.fraction_step_less_one);
                std::copy(lanes.data, lanes.data + kLanes, data);
            }
            whole = load4_wide(lane_whole);
            a = load4(lane_a);
            b = load4(lane_b);
        }
        const __m256d s =
            _mm256_mul_pd(_mm256_add_pd(_mm256_cvtepi32_pd(a),
                                        _mm256_mul_pd(_mm256_cvtepi32_pd(_mm_sub_epi32(b, a)), f)),
                          gain);
        const __m128i sample = _mm256_cvttpd_epi32(s);
        const __m128i left = _mm_srai_epi32(_mm_add_epi32(sample, _mm_srli_epi32(sample, 31)), 1);
        const __m128i frame = _mm_or_si128(_mm_and_si128(left, low_half),
                                           _mm_slli_epi32(_mm_sub_epi32(sample, left), 16));
        // Through memory: an extract needs a constant lane, which an
        // unoptimised or instrumented build does not unroll to.
        alignas(16) int32_t values[kLanes];
        _mm_store_si128(reinterpret_cast<__m128i*>(values), frame);
        for (int v = 0; v < N; ++v) std::memcpy(out[v] + 2 * k, &values[v], 4);

        // The fraction plus the step's fraction, with and without the carry:
        // the one less one is negative when there is none, and its sign
        // bit makes the choice.
        const __m256d g = _mm256_blendv_pd(fraction, rounded, in_loop);
        const __m256d less_one = _mm256_add_pd(g, fraction_step_less_one);
        fraction = _mm256_blendv_pd(less_one, _mm256_add_pd(g, fraction_step), less_one);
        const __m256i no_carry = _mm256_srli_epi64(_mm256_castpd_si256(less_one), 63);
        whole = _mm256_sub_epi64(_mm256_add_epi64(whole, whole_step), no_carry);
    }

    alignas(32) int64_t wide_whole[kLanes];
    alignas(16) int32_t lane_whole[kLanes];
    alignas(32) double lane_fraction[kLanes];
    _mm256_store_si256(reinterpret_cast<__m256i*>(wide_whole), whole);
    for (int v = 0; v < kLanes; ++v) lane_whole[v] = static_cast<int32_t>(wide_whole[v]);
    _mm256_store_pd(lane_fraction, fraction);
    store_lanes(lanes, N, lane_whole, lane_fraction);
}

// A read of the processor model the runtime filled in at start-up; no
// function-local static, whose guard would pull the C++ runtime's
// exception machinery into the small Windows programs.
bool processor_has_avx2() {
    return __builtin_cpu_supports("avx2");
}

#endif

template <int N>
void render_lanes(const QueuedVoice* voices, int32_t frames) {
#if BP_VOICE_LANES_AVX2
    if (allow_avx2_voice_lanes && processor_has_avx2()) {
        return render_lanes_avx2<N>(voices, frames);
    }
#endif
    render_lanes_sse2<N>(voices, frames);
}

}  // namespace

bool render_voice_lanes(const QueuedVoice* voices, int32_t count, int32_t frames) {
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

bool render_voice_lanes(const QueuedVoice*, int32_t, int32_t) {
    return false;
}

#endif
