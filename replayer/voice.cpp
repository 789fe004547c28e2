// Voice rendering: turns one channel's tick period and tick volume into
// SamplesPerTick stereo frames of its Sample, resampled with linear
// interpolation, and writes them into the channel's buffer at PendingFrames.
// Positions and steps are single precision between ticks and double within.
#include <algorithm>
#include <cstring>

#include "replayer/channel.h"
#include "replayer/replayer.h"

namespace {

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

void write_frame(int16_t* out, int32_t s, double pan) {
    const int32_t left = static_cast<int32_t>(s * pan);
    out[0] = static_cast<int16_t>(left);
    out[1] = static_cast<int16_t>(s - left);
}

// About 12 double operations and two loads per frame. Once past the loop
// start every frame is folded back into the loop, keeping its fraction
// rounded to single precision.
double render_looping(const Sample& sample, double position, double step, double gain, double pan,
                      int16_t* out, int32_t frames) {
    const int16_t* data = sample.data;
    const int32_t loop_start = sample.loop_start;
    const int32_t loop_end = sample.loop_start + sample.loop_length;
    for (int32_t k = 0; k < frames; ++k, out += 2) {
        int32_t i = static_cast<int32_t>(position);
        const float f = static_cast<float>(position - i);
        position += step;
        if (i > loop_start) {
            i = loop_start + (i - loop_start) % sample.loop_length;
            position = i + static_cast<double>(f) + step;
        }
        int32_t j = i + 1;
        if (j >= loop_end) j = loop_start;
        if (j >= sample.length) j = j - 1;
        const int32_t a = data[i];
        const int32_t b = data[j];
        write_frame(out, static_cast<int32_t>((a + (b - a) * static_cast<double>(f)) * gain), pan);
    }
    return position;
}

// Reads up to the first padding value; the first frame whose whole position
// is past the end silences the channel until a new note sets a period.
double render_one_shot(Channel& state, const Sample& sample, double position, double step,
                       double gain, double pan, int16_t* out, int32_t frames) {
    const int16_t* data = sample.data;
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
        write_frame(out, static_cast<int32_t>((a + (b - a) * f) * gain), pan);
    }
    return position;
}

}  // namespace

void render_silent_tick(int32_t channel) {
    std::memset(tick_frames(channel), 0, sizeof(int16_t) * 2 * SamplesPerTick);
}

void render_tick_voice(int32_t channel, Channel& state, const Sample& sample, int32_t tick_period,
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
    int16_t* out = tick_frames(channel);
    double position = state.position;
    if (sample.loop_length != 0 && sample.loop_length != 2) {
        position = render_looping(sample, position, step, gain, pan, out, SamplesPerTick);
    } else {
        position = render_one_shot(state, sample, position, step, gain, pan, out, SamplesPerTick);
    }
    state.position = static_cast<float>(position);
}
