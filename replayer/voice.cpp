// Voice rendering: turns each channel's tick period and tick volume into
// SamplesPerTick stereo frames of its Sample, resampled with linear
// interpolation, and writes them into the channel's buffer at PendingFrames.
// Positions and steps are single precision between ticks and double within.
// Owns the voices queued for the tick: looping voices are rendered together,
// frame by frame, because each one's position is a chain of dependent
// operations and the processor can only overlap independent chains.
#include <algorithm>
#include <cstring>

#include "replayer/channel.h"
#include "replayer/replayer.h"
#include "replayer/voice_lanes.h"

namespace {

LoopingVoice queued_voices[kMaxChannels];
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
inline double render_looping_frame(const LoopingVoice& voice, double position, int16_t* out) {
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
void render_looping_voices(const LoopingVoice* voices, int32_t frames) {
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
void render_one_shot(Channel& state, const Sample& sample, double step, double gain, double pan,
                     int16_t* out, int32_t frames) {
    const int16_t* data = sample.data;
    double position = state.position;
    for (int32_t k = 0; k < frames; ++k, out += 2) {
        const int32_t i = static_cast<int32_t>(position);
        const double f = position - i;
        position += step;
        if (i > sample.length) {
            state.period = 0;
            std::memset(out, 0, sizeof(int16_t) * 2 * (frames - k));
            break;
        }
        const int32_t j = i + 1 >= sample.length ? i : i + 1;
        const int32_t a = data[i];
        const int32_t b = data[j];
        write_frame<Centred>(out, static_cast<int32_t>((a + (b - a) * f) * gain), pan);
    }
    state.position = static_cast<float>(position);
}

template <int N>
void render_looping_group(const LoopingVoice* voices, int32_t frames) {
    if (!use_reference_voice_loops && render_voice_lanes(voices, N, frames)) return;
    bool centred = true;
    for (int v = 0; v < N; ++v) centred = centred && voices[v].pan == 0.5;
    if (centred) {
        render_looping_voices<N, true>(voices, frames);
    } else {
        render_looping_voices<N, false>(voices, frames);
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
    if (sample.loop_length == 0 || sample.loop_length == 2) {
        if (pan == 0.5) {
            render_one_shot<true>(state, sample, step, gain, pan, tick_frames(channel),
                                  SamplesPerTick);
        } else {
            render_one_shot<false>(state, sample, step, gain, pan, tick_frames(channel),
                                   SamplesPerTick);
        }
        return;
    }
    queued_voices[queued_voice_count++] = {sample.data,
                                           sample.length,
                                           sample.loop_start,
                                           sample.loop_length,
                                           sample.loop_start + sample.loop_length,
                                           step,
                                           gain,
                                           pan,
                                           tick_frames(channel),
                                           &state};
}

void render_queued_voices() {
    const LoopingVoice* voices = queued_voices;
    int32_t left = queued_voice_count;
    for (; left >= 4; left -= 4, voices += 4) render_looping_group<4>(voices, SamplesPerTick);
    switch (left) {
        case 3:
            render_looping_group<3>(voices, SamplesPerTick);
            break;
        case 2:
            render_looping_group<2>(voices, SamplesPerTick);
            break;
        case 1:
            render_looping_group<1>(voices, SamplesPerTick);
            break;
        default:
            break;
    }
    queued_voice_count = 0;
}

void render_tick_voice(int32_t channel, Channel& state, const Sample& sample, int32_t tick_period,
                       int32_t tick_volume) {
    queue_tick_voice(channel, state, sample, tick_period, tick_volume);
    render_queued_voices();
}
