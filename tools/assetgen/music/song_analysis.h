// Listening to the rendered song through figures: loudness per section,
// how far the hits of the flash rows stand above the other rows, clicks
// where a channel is cut by its next note, and a spectrogram picture. The
// preview, the song probe and the whole-song test share them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/music/song_render.h"

// Loudness in LUFS of frames [first, end), K-weighted, ungated (a section
// of a song has no silence worth gating).
double loudness_lufs(const SongRender& r, int64_t first_frame, int64_t end_frame);

// The mono sum of the render, and the same high-passed at 2 kHz, as the
// onset measures read them.
struct OnsetSignals {
    std::vector<float> full;
    std::vector<float> high;
};
OnsetSignals onset_signals(const SongRender& r);

// RMS in dBFS of the 50 ms that start at `frame`.
double onset_db(const std::vector<float>& signal, int64_t frame);

// The rows the picture flashes or drains on: 1, 16, 34 and 46 of positions
// 10 to 12 (half time) and 16 to 21 (climax).
bool is_flash_row(int position, int row);

// One flash row against the other rows of its section on which a note
// starts: the row's 50 ms onset minus the median of theirs, full band and
// above 2 kHz.
struct AccentMargin {
    int position = 0;
    int row = 0;
    double full_db = 0.0;
    double high_db = 0.0;
};
std::vector<AccentMargin> accent_margins(const SongRender& r, const uint8_t* module, size_t size);

// A note that cuts a sounding channel with a step larger than the channel
// moved just before: counted per channel when the step reaches `threshold`
// (1,036 = -30 dBFS).
struct ClickCount {
    int per_channel[4] = {};
    int total = 0;
    int worst = 0;  // largest step
};
ClickCount count_retrigger_clicks(const uint8_t* module, size_t size, int threshold = 1036);

// The whole render as a spectrogram: time left to right, 0 to 16 kHz bottom
// to top on a warped scale, with the section starts marked.
bool write_spectrogram_png(const SongRender& r, const std::string& path);

// The figures above as text: section table, climax against theme A, accent
// margins, click count.
void print_song_figures(const SongRender& r, const uint8_t* module, size_t size);
