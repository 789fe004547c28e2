// A stand-in music engine for the sound tests: render_block writes a block
// whose every value names the block and its place in it, so a test can tell
// which block it hears and whether it arrived whole.
#include "tests/sound/stub_replayer.h"

#include <cstdlib>

#include "module/song.h"
#include "replayer/replayer.h"

int16_t* channel_buffers[8];
int32_t channel_buffer_length;
int16_t* clip_table;
int16_t* mix_block;
int32_t PendingFrames;

int32_t stub_blocks_rendered = 0;
int32_t stub_songs_loaded = 0;

int16_t stub_block_value(int32_t block, int32_t index) {
    return int16_t((block * 7919 + index * 31) % 65521 - 32760);
}

bool allocate_mixdown() {
    clip_table = static_cast<int16_t*>(std::malloc(131072 * sizeof(int16_t)));
    mix_block = static_cast<int16_t*>(std::malloc(3528 * 4));
    for (auto& buffer : channel_buffers) buffer = static_cast<int16_t*>(std::calloc(31894, 2));
    channel_buffer_length = 30870;
    return true;
}

void free_mixdown() {
    std::free(clip_table);
    std::free(mix_block);
    for (auto& buffer : channel_buffers) std::free(buffer);
    clip_table = mix_block = nullptr;
    for (auto& buffer : channel_buffers) buffer = nullptr;
}

void reset_replayer_for_start() {
    PendingFrames = 0;
    stub_blocks_rendered = 0;
}

void build_pitch_table() {}

void free_all_songs() {
    stub_songs_loaded = 0;
}

int16_t* render_block(int32_t frames) {
    for (int32_t i = 0; i < frames * 2; ++i)
        mix_block[i] = stub_block_value(stub_blocks_rendered, i);
    ++stub_blocks_rendered;
    return mix_block;
}
