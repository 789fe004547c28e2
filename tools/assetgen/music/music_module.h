// The module as the generator builds it: the song read from its pattern
// text, the synthesised instruments, and the 31-sample four-channel layout
// they are written into.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kChannels = 4;
constexpr int kRows = 64;
constexpr int kSampleSlots = 31;
constexpr int kOrderSlots = 128;
constexpr size_t kPatternBytes = kRows * kChannels * 4;
constexpr size_t kHeaderBytes = 1084;  // title, sample headers, order table, signature

// One cell as a tracker shows it: a classic period (0 = no note), a sample
// number (0 = none), an effect command 0..15 and its parameter.
struct NoteCell {
    uint16_t period = 0;
    uint8_t sample = 0;
    uint8_t command = 0;
    uint8_t parameter = 0;
};

struct PatternText {
    std::array<NoteCell, kRows * kChannels> cells;  // row-major, channel 0 first
};

struct SongSource {
    std::vector<uint8_t> order;  // pattern number per position
    std::vector<PatternText> patterns;
};

// The periods of the three classic octaves, C-1 (856) up to B-3 (113).
extern const std::array<uint16_t, 36> kClassicPeriods;

// Reads the pattern text (format described at the top of song.txt). On a
// mistake returns false and says where in `error`.
bool parse_song_text(const char* text, size_t size, SongSource& song, std::string& error);

struct SynthSample {
    int number = 0;  // 1..31
    std::string name;
    int volume = 64;
    std::vector<int8_t> data;  // even length
    size_t loop_start = 0;     // in points; loop_length 0 means no loop
    size_t loop_length = 0;
};

// The instruments, in sample-number order.
std::vector<SynthSample> synthesise_instruments();

// The module bytes: all-zero title, the samples in their slots, "M.K.".
std::vector<uint8_t> build_module_bytes(const SongSource& song,
                                        const std::vector<SynthSample>& samples);

// Song text and instruments together; false with a message on a mistake.
bool build_module_from_source(std::vector<uint8_t>& module, std::string& error);
