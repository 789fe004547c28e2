// The loaded module: the Song with its order list, patterns of decoded cells
// and 16-bit samples; the SongList of up to 32 loaded songs; the loader that
// fills them from module bytes and the log of what it had to repair. A loaded
// Song does not change during play except its sample finetunes (effect E5x).
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int32_t kMaxSongs = 32;
constexpr int32_t kMaxChannels = 8;
constexpr int32_t kRowsPerPattern = 64;
constexpr int32_t kModuleHeaderSize = 1084;
// Zero values after a sample's last point, which interpolation may read.
constexpr int32_t kSamplePadding = 10;

struct PatternCell {
    int16_t note_index;     // PitchTable column 0..107, -1 = no note
    uint8_t sample_number;  // 0 = none, 1..31
    uint8_t command;        // 0..15
    uint8_t parameter;      // 0..255
};

struct Pattern {
    PatternCell* channels[32];  // 64 cells for each used channel, null beyond
    intptr_t row_count;         // 64
};

struct Sample {
    char name[22];
    int32_t length;       // points
    int32_t finetune;     // -8..7
    int32_t volume;       // 0..64
    int32_t loop_start;   // points
    int32_t loop_length;  // points; 0 or 2 = no loop
    int16_t* data;        // length + 10 values, the points x 128; null when empty
};

struct Song {
    int32_t format;  // always 0: the 31-sample layout
    int32_t channel_count;
    int32_t order_list[256];  // entries 0..127 from the file
    int32_t pattern_count;
    Pattern* patterns;
    int32_t song_length;  // 1..128
    char title[20];
    Sample samples[32];  // by sample number; 0 is unused
};

struct SongList {
    Song* songs[kMaxSongs];
    int32_t count;
    int32_t current_index;
    Song* current;
    int32_t songs_loaded;  // 1 once any song has been loaded
    int32_t song_ended;    // raised by the sequencer, cleared by song control
};
extern SongList song_list;

// Builds the PitchTable; the first build also empties the SongList.
void build_pitch_table();

// Loads a module of `size` bytes into the SongList; returns its index, or -1
// (with a message in load_error) when the module is refused. A refused module
// leaves nothing allocated.
int32_t load_song(const uint8_t* module, size_t size);
extern const char* load_error;

// The loader's steps. parse_module expects a module that check_module accepts
// and returns false only when memory runs out.
const char* check_module(const uint8_t* module, size_t size);
bool parse_module(const uint8_t* module, size_t size, Song* song);
int32_t read_sample_header(const uint8_t* header, int32_t sample_number, Song* song);
int32_t unpack_pattern(const uint8_t* bytes, int32_t pattern_number, Song* song,
                       int32_t channel_count);
int32_t load_sample_data(const uint8_t* bytes, size_t available, int32_t sample_number, Song* song);
void free_song(Song* song);
// Frees every loaded song and empties the SongList.
void free_all_songs();

// What the last load_song changed in the module so that it plays safely.
enum class RepairKind : int32_t {
    SampleDataCut,       // sample: points declared (before) and kept (after)
    LoopClamped,         // sample: loop length before and after
    LoopDropped,         // sample: loop start beyond the sample; loop length before, 0 after
    FinetuneMasked,      // sample: finetune byte before, finetune after
    SampleNumberCleared  // before: how many cells named a sample above 31
};
struct LoadRepair {
    RepairKind kind;
    int32_t sample;
    int32_t before;
    int32_t after;
};
constexpr int32_t kMaxLoadRepairs = 3 * 31 + 1;
extern LoadRepair load_repairs[kMaxLoadRepairs];
extern int32_t load_repair_count;
