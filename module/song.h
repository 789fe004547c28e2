// The loaded module: Song, Sample, Pattern and PatternCell records, the
// SongList, and the loader. Filled in by the music engine.
#pragma once
#include <cstddef>
#include <cstdint>

struct Song;

// Builds the PitchTable; also empties the SongList.
void build_pitch_table();
// Loads a module of `size` bytes into the SongList; returns its index, or -1
// (with a message in load_error) when the module is refused.
int32_t load_song(const uint8_t* module, size_t size);
void free_song(Song* song);
extern const char* load_error;
