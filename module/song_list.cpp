// Owns the SongList and load_error: load_song checks a module, parses it into
// a new Song at the end of the list and makes the first song current;
// free_all_songs empties the list again.
#include <cstdlib>

#include "module/pitch_table.h"
#include "module/song.h"

SongList song_list;
const char* load_error = nullptr;

int32_t load_song(const uint8_t* module, size_t size) {
    if (song_list.count >= kMaxSongs) {
        load_error = "The song list already holds 32 songs; free them before loading another.";
        return -1;
    }
    load_error = check_module(module, size);
    if (load_error != nullptr) return -1;
    // The note search reads the finetune-0 row of the PitchTable.
    if (!pitch_table_built) build_pitch_table();

    Song* song = static_cast<Song*>(std::calloc(1, sizeof(Song)));
    if (song == nullptr || !parse_module(module, size, song)) {
        free_song(song);
        load_error = "There was not enough memory to load the module.";
        return -1;
    }
    const int32_t index = song_list.count;
    song_list.songs[index] = song;
    song_list.count = index + 1;
    song_list.songs_loaded = 1;
    song_list.current = song_list.songs[0];
    song_list.song_ended = 0;
    return index;
}

void free_all_songs() {
    for (int32_t i = 0; i < song_list.count; ++i) {
        free_song(song_list.songs[i]);
        song_list.songs[i] = nullptr;
    }
    song_list.count = 0;
    song_list.current_index = 0;
    song_list.current = nullptr;
    song_list.songs_loaded = 0;
    song_list.song_ended = 0;
}
