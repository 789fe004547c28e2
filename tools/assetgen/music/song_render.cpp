// Plays a module through the music engine as the demo does (pitch table,
// load, loop on, full volume, engine start state, the song queued), block
// by block, recording the frames and where each row starts.
#include "tools/assetgen/music/song_render.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "replayer/replayer.h"
#include "tools/assetgen/music/music_module.h"

const std::array<SongSection, 8> kSongSections = {{
    {0, 0, "intro (title)"},
    {1, 5, "build and theme A (3D flight)"},
    {6, 8, "theme B, winding down (scene 1)"},
    {9, 12, "half time, grey hits, flashes (scene 2)"},
    {13, 15, "calm (scene 3)"},
    {16, 21, "climax (scene 4)"},
    {22, 23, "ending (final title)"},
    {24, 35, "coda"},
}};

namespace {

SongRender* recording = nullptr;
int64_t block_start = 0;

void record_row(int32_t frame, int32_t position, int32_t row) {
    recording->rows.push_back(RowMark{block_start + frame, position, row});
}

constexpr int64_t kLongestSong = 600 * 44100 / kMixBlockFrames;

}  // namespace

bool render_song(const uint8_t* module, size_t size, SongRender& out, std::string& error) {
    out = SongRender();
    build_pitch_table();
    if (load_song(module, size) != 0) {
        error = std::string("the engine refuses the module: ") + load_error;
        free_all_songs();
        return false;
    }
    if (!allocate_mixdown()) {
        error = "out of memory";
        free_all_songs();
        return false;
    }
    set_song_loop(1);
    set_fade_mode(FadeCommand::full_volume);
    reset_replayer_for_start();
    queue_song(0);

    recording = &out;
    block_start = 0;
    row_start_observer = record_row;
    const int32_t ends_before = SongEndCount;
    out.pcm.reserve(size_t(300 * 44100) * 2);
    for (int64_t b = 0; b < kLongestSong && SongEndCount == ends_before; ++b) {
        const int16_t* block = render_block(kMixBlockFrames);
        out.pcm.insert(out.pcm.end(), block, block + 2 * kMixBlockFrames);
        block_start += kMixBlockFrames;
    }
    row_start_observer = nullptr;
    recording = nullptr;
    free_mixdown();
    free_all_songs();
    if (SongEndCount == ends_before) {
        error = "the song did not come round to its start within 600 s";
        return false;
    }
    return true;
}

std::vector<uint8_t> solo_channel(const uint8_t* module, size_t size, int channel) {
    std::vector<uint8_t> solo(module, module + size);
    int patterns = 0;
    for (int p = 0; p < solo[950]; ++p) patterns = std::max(patterns, solo[952 + p] + 1);
    for (int p = 0; p < patterns; ++p) {
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kChannels; ++c) {
                uint8_t* cell = &solo[kHeaderBytes + p * kPatternBytes + (r * kChannels + c) * 4];
                if (c == channel) continue;
                bool timing = (cell[2] & 0x0F) == 0xF;
                cell[0] = cell[1] = 0;
                cell[2] = timing ? 0x0F : 0;
                if (!timing) cell[3] = 0;
            }
        }
    }
    return solo;
}

Loudness measure(const SongRender& r, int64_t first_frame, int64_t end_frame) {
    Loudness l;
    double sum = 0.0;
    end_frame = std::min<int64_t>(end_frame, int64_t(r.pcm.size() / 2));
    for (int64_t i = first_frame * 2; i < end_frame * 2; ++i) {
        int v = r.pcm[size_t(i)];
        l.peak = std::max(l.peak, std::abs(v));
        sum += double(v) * v;
    }
    int64_t values = (end_frame - first_frame) * 2;
    double rms = values > 0 ? std::sqrt(sum / double(values)) : 0.0;
    l.rms_db = rms > 0.0 ? 20.0 * std::log10(rms / 32767.0) : -200.0;
    return l;
}

int64_t position_start(const SongRender& r, int position) {
    for (const RowMark& m : r.rows)
        if (m.position == position && m.row == 0) return m.frame;
    return int64_t(r.pcm.size() / 2);
}
