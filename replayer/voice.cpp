// Voice rendering: turns each channel's tick period and tick volume into
// SamplesPerTick stereo frames of its Sample, resampled with linear
// interpolation, and writes them into the channel's buffer at PendingFrames.
// Positions and steps are single precision between ticks and double within.
// Owns the voices queued for the tick, which are rendered together once all
// are set up: four at a time in lanes (voice_lanes.cpp) where the lanes give
// the same numbers, otherwise by the plain loops here, which are also the
// reference. The plain loops render looping voices frame by frame side by
// side, because each one's position is a chain of dependent operations and
// the processor can only overlap independent chains.
#include <algorithm>
#include <cstring>

#include "replayer/channel.h"
#include "replayer/replayer.h"
#include "replayer/voice_lanes.h"

namespace {

// The voices of the tick, in channel order.
QueuedVoice queued_voices[kMaxChannels];
int32_t queued_voice_count = 0;

int16_t* tick_frames(int32_t channel) {
    return channel_buffers[channel] + 2 * PendingFrames;
}

// The channel's gain: volume 0..63 scaled by MasterVolume, over 64, so the
// loudest gain is 63/64.
double voice_gain(int32_t tick_volume) {
    int32_t v = std::clamp(tick_volume, 0, 63);
    v = static_cast<int32_t>(v * static_cast<double>(MasterVolume));
    v = std::clamp(v, 0, 63);
    return v / 64.0;
}

// At the centre, s x 0.5 truncated is s / 2 truncated: the same, cheaper.
template <bool Centred>
void write_frame(int16_t* out, int32_t s, double pan) {
    const int32_t left = Centred ? s / 2 : static_cast<int32_t>(s * pan);
    out[0] = static_cast<int16_t>(left);
    out[1] = static_cast<int16_t>(s - left);
}

// One frame of a looping voice; gives the next position. Once past the loop
// start every frame is folded back into the loop, keeping its fraction
// rounded to single precision.
template <bool Centred>
inline double render_looping_frame(const QueuedVoice& voice, double position, int16_t* out) {
    int32_t i = static_cast<int32_t>(position);
    const float f = static_cast<float>(position - i);
    position += voice.step;
    if (i > voice.loop_start) {
        // Within the loop the fold leaves i as it is; only the rounding stays.
        if (i - voice.loop_start >= voice.loop_length) {
            i = voice.loop_start + (i - voice.loop_start) % voice.loop_length;
        }
        position = i + static_cast<double>(f) + voice.step;
    }
    int32_t j = i + 1;
    if (j >= voice.loop_end) j = voice.loop_start;
    if (j >= voice.length) j = j - 1;
    const int32_t a = voice.data[i];
    const int32_t b = voice.data[j];
    write_frame<Centred>(
        out, static_cast<int32_t>((a + (b - a) * static_cast<double>(f)) * voice.gain), voice.pan);
    return position;
}

// N voices side by side, about 35 operations per voice and frame.
template <int N, bool Centred>
void render_looping_voices(const QueuedVoice* voices, int32_t frames) {
    double position[N];
    for (int v = 0; v < N; ++v) position[v] = voices[v].channel->position;
    for (int32_t k = 0; k < frames; ++k) {
        for (int v = 0; v < N; ++v) {
            position[v] =
                render_looping_frame<Centred>(voices[v], position[v], voices[v].out + 2 * k);
        }
    }
    for (int v = 0; v < N; ++v) voices[v].channel->position = static_cast<float>(position[v]);
}

// Reads up to the first padding value; the first frame whose whole position
// is past the end silences the channel until a new note sets a period.
template <bool Centred>
void render_one_shot(const QueuedVoice& voice, int32_t frames) {
    Channel& state = *voice.channel;
    int16_t* out = voice.out;
    double position = state.position;
    for (int32_t k = 0; k < frames; ++k, out += 2) {
        const int32_t i = static_cast<int32_t>(position);
        const double f = position - i;
        position += voice.step;
        if (i > voice.length) {
            state.period = 0;
            std::memset(out, 0, sizeof(int16_t) * 2 * (frames - k));
            break;
        }
        const int32_t j = i + 1 >= voice.length ? i : i + 1;
        const int32_t a = voice.data[i];
        const int32_t b = voice.data[j];
        write_frame<Centred>(out, static_cast<int32_t>((a + (b - a) * f) * voice.gain), voice.pan);
    }
    state.position = static_cast<float>(position);
}

template <int N>
void render_looping_group(const QueuedVoice* voices, int32_t frames) {
    bool centred = true;
    for (int v = 0; v < N; ++v) centred = centred && voices[v].pan == 0.5;
    if (centred) {
        render_looping_voices<N, true>(voices, frames);
    } else {
        render_looping_voices<N, false>(voices, frames);
    }
}

// The plain loops: looping voices side by side, one-shot voices one by one.
void render_plain_voices(const QueuedVoice* voices, int32_t count, int32_t frames) {
    QueuedVoice looping[kMaxChannels];
    int32_t looping_count = 0;
    for (int32_t v = 0; v < count; ++v) {
        if (voices[v].looping) {
            looping[looping_count++] = voices[v];
        } else if (voices[v].pan == 0.5) {
            render_one_shot<true>(voices[v], frames);
        } else {
            render_one_shot<false>(voices[v], frames);
        }
    }
    const QueuedVoice* group = looping;
    int32_t left = looping_count;
    for (; left >= 4; left -= 4, group += 4) render_looping_group<4>(group, frames);
    switch (left) {
        case 3:
            render_looping_group<3>(group, frames);
            break;
        case 2:
            render_looping_group<2>(group, frames);
            break;
        case 1:
            render_looping_group<1>(group, frames);
            break;
        default:
            break;
    }
}

}  // namespace

void render_silent_tick(int32_t channel) {
    std::memset(tick_frames(channel), 0, sizeof(int16_t) * 2 * SamplesPerTick);
}

void queue_tick_voice(int32_t channel, Channel& state, const Sample& sample, int32_t tick_period,
                      int32_t tick_volume) {
    // A vibrato or slide toward an unset target can leave no pitch at all.
    if (Tick < state.note_delay_tick || tick_period < 1) {
        render_silent_tick(channel);
        return;
    }
    const float step = static_cast<float>(14318181.0 / (2.0 * tick_period) /
                                          static_cast<double>(TickRate) / SamplesPerTick);
    const double gain = voice_gain(tick_volume);
    const double pan = PanTable[channel];
    const bool looping = sample.loop_length != 0 && sample.loop_length != 2;
    queued_voices[queued_voice_count++] = {sample.data,
                                           sample.length,
                                           sample.loop_start,
                                           sample.loop_length,
                                           sample.loop_start + sample.loop_length,
                                           looping,
                                           step,
                                           gain,
                                           pan,
                                           tick_frames(channel),
                                           &state};
}

// Four voices at a time in lanes where the lanes reproduce them exactly.
void render_queued_voices() {
    constexpr int32_t kGroup = 4;
    for (int32_t first = 0; first < queued_voice_count; first += kGroup) {
        const int32_t count = std::min(kGroup, queued_voice_count - first);
        const QueuedVoice* group = queued_voices + first;
        if (use_reference_voice_loops || !render_voice_lanes(group, count, SamplesPerTick)) {
            render_plain_voices(group, count, SamplesPerTick);
        }
    }
    queued_voice_count = 0;
}

void render_tick_voice(int32_t channel, Channel& state, const Sample& sample, int32_t tick_period,
                       int32_t tick_volume) {
    queue_tick_voice(channel, state, sample, tick_period, tick_volume);
    render_queued_voices();
}
