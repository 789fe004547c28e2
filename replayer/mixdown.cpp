// The channel mixdown. Owns channel_buffers, mix_block and PendingFrames:
// render_block runs ticks until the channel buffers hold a block, adds the
// channels into mix_block with the sum clamped after every channel, and
// keeps the frames rendered beyond the block for the next call.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "replayer/channel.h"
#include "replayer/replayer.h"
#include "replayer/tick_places.h"

int16_t* channel_buffers[8] = {};
int16_t* mix_block = nullptr;
int32_t PendingFrames = 0;

namespace {

// The running sum stays in -32767..32767: -32768 is never produced.
constexpr int32_t kMixFloor = -32767;
constexpr int32_t kMixCeiling = 32767;

// One value of the block: the channels added in channel order, the sum
// clamped to kMixFloor .. kMixCeiling after every channel.
int16_t mix_value(int32_t channel_count, int32_t i) {
    int32_t sum = 0;
    for (int32_t c = 0; c < channel_count; ++c) {
        sum = std::clamp(sum + channel_buffers[c][i], kMixFloor, kMixCeiling);
    }
    return static_cast<int16_t>(sum);
}

// All channels in one pass over the block, eight values at a time: a
// saturating 16-bit add followed by a floor of kMixFloor is the clamp.
// About three operations per eight values and channel; Channels is fixed
// for the common four-channel song so that the channel loop unrolls.
template <int Channels>
void mix_channels_of(int32_t channel_count, int32_t values) {
    const int32_t count = Channels > 0 ? Channels : channel_count;
    const int16_t* in[kMaxChannels];
    for (int32_t c = 0; c < count; ++c) in[c] = channel_buffers[c];
    int32_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i floor = _mm_set1_epi16(int16_t(kMixFloor));
    for (; i + 8 <= values; i += 8) {
        __m128i sum = _mm_setzero_si128();
        for (int32_t c = 0; c < count; ++c) {
            const __m128i value = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in[c] + i));
            sum = _mm_max_epi16(_mm_adds_epi16(sum, value), floor);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(mix_block + i), sum);
    }
#endif
    for (; i < values; ++i) mix_block[i] = mix_value(count, i);
}

constexpr int kFourChannels = 4;

void mix_channels(int32_t channel_count, int32_t values) {
    if (channel_count == kFourChannels) {
        mix_channels_of<kFourChannels>(channel_count, values);
    } else {
        mix_channels_of<0>(channel_count, values);
    }
}

}  // namespace

bool allocate_mixdown() {
    mix_block = static_cast<int16_t*>(std::malloc(2 * kMixBlockFrames * sizeof(int16_t)));
    bool ok = mix_block != nullptr;
    for (int16_t*& buffer : channel_buffers) {
        buffer = static_cast<int16_t*>(std::calloc(kChannelBufferValues, sizeof(int16_t)));
        ok = ok && buffer != nullptr;
    }
    if (!ok) {
        free_mixdown();
        return false;
    }
    std::memset(mix_block, 0, 2 * kMixBlockFrames * sizeof(int16_t));
    return true;
}

void free_mixdown() {
    std::free(mix_block);
    mix_block = nullptr;
    for (int16_t*& buffer : channel_buffers) {
        std::free(buffer);
        buffer = nullptr;
    }
}

int16_t* render_block(int32_t frames) {
    frames = std::clamp(frames, 0, kMixBlockFrames);
    const Song* song = song_list.current;
    const int32_t channel_count = song != nullptr ? std::min(song->channel_count, kMaxChannels) : 0;
    while (PendingFrames < frames) {
        apply_fade_command();
        replay_tick(song_list.current);
        apply_song_switch();
    }
    mix_channels(channel_count, 2 * frames);
    const int32_t rest = PendingFrames - frames;
    for (int32_t c = 0; c < channel_count; ++c) {
        std::memmove(channel_buffers[c], channel_buffers[c] + 2 * frames,
                     sizeof(int16_t) * 2 * rest);
    }
    PendingFrames = rest;
    MixedFrames += frames;
    return mix_block;
}
