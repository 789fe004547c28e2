// The channel mixdown. Owns channel_buffers, channel_buffer_length,
// clip_table, mix_block and PendingFrames: render_block runs ticks until the
// channel buffers hold a block, adds the channels with clip_table's clamp into
// mix_block and keeps the frames rendered beyond the block for the next call.
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
int32_t channel_buffer_length = 0;
int16_t* clip_table = nullptr;
int16_t* mix_block = nullptr;
int32_t PendingFrames = 0;

namespace {

constexpr int32_t kClipOffset = 65536;

// Entry k holds k - 65536 clamped to -32767..32767; the last entry is never read.
void fill_clip_table() {
    for (int32_t k = 0; k < kClipTableSize - 1; ++k) {
        clip_table[k] = static_cast<int16_t>(std::clamp(k - kClipOffset, -32767, 32767));
    }
    clip_table[kClipTableSize - 1] = 0;
}

// Adds one channel into the block: the sum is clamped to -32767..32767 after
// every channel, exactly what a look-up of clip_table at (sum + value +
// 65536) gives. A saturating 16-bit add followed by a floor of -32767 is the
// same clamp, eight values at a time.
void add_channel(const int16_t* in, int32_t values) {
    int32_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i floor = _mm_set1_epi16(-32767);
    for (; i + 8 <= values; i += 8) {
        const __m128i sum =
            _mm_adds_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(mix_block + i)),
                           _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(mix_block + i), _mm_max_epi16(sum, floor));
    }
#endif
    for (; i < values; ++i) {
        mix_block[i] = static_cast<int16_t>(std::clamp(mix_block[i] + in[i], -32767, 32767));
    }
}

// Channel by channel over the whole block, about one operation per eight
// values and channel.
void mix_channels(int32_t channel_count, int32_t values) {
    std::memset(mix_block, 0, sizeof(int16_t) * values);
    for (int32_t c = 0; c < channel_count; ++c) add_channel(channel_buffers[c], values);
}

}  // namespace

bool allocate_mixdown() {
    clip_table = static_cast<int16_t*>(std::malloc(kClipTableSize * sizeof(int16_t)));
    mix_block = static_cast<int16_t*>(std::malloc(2 * kMixBlockFrames * sizeof(int16_t)));
    bool ok = clip_table != nullptr && mix_block != nullptr;
    for (int16_t*& buffer : channel_buffers) {
        buffer = static_cast<int16_t*>(std::calloc(kChannelBufferValues, sizeof(int16_t)));
        ok = ok && buffer != nullptr;
    }
    if (!ok) {
        free_mixdown();
        return false;
    }
    fill_clip_table();
    std::memset(mix_block, 0, 2 * kMixBlockFrames * sizeof(int16_t));
    channel_buffer_length = 30870;
    return true;
}

void free_mixdown() {
    std::free(clip_table);
    std::free(mix_block);
    clip_table = nullptr;
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
