// The song played through the music engine, started as the demo starts its
// music, until it first comes round to its beginning: the preview WAV, the
// figures of the section map, and the whole-song test use it.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct RowMark {
    int64_t frame;  // where the row starts in the rendered frames
    int32_t position;
    int32_t row;
};

struct SongRender {
    std::vector<int16_t> pcm;  // 44,100 Hz stereo, left first
    std::vector<RowMark> rows;
};

bool render_song(const uint8_t* module, size_t size, SongRender& out, std::string& error);

// The module with every channel but `channel` silenced; speed and tempo
// commands stay, so the timing is the whole song's.
std::vector<uint8_t> solo_channel(const uint8_t* module, size_t size, int channel);

// The parts of the song as the picture uses them.
struct SongSection {
    int first, last;  // positions
    const char* name;
};
extern const std::array<SongSection, 8> kSongSections;

struct Loudness {
    int peak = 0;         // largest |value| of either side
    double rms_db = 0.0;  // RMS in dB of full scale (32,767); -200 for silence
};
// Frames [first_frame, end_frame) of the render.
Loudness measure(const SongRender& r, int64_t first_frame, int64_t end_frame);
// First frame of `position` (row 0), or the end of the render when it is not played.
int64_t position_start(const SongRender& r, int position);
