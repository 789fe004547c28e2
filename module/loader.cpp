// The module loader: checks a module's bytes against their length, parses
// the header, order list, patterns and sample data into a Song, repairs what
// real modules get wrong (cut-short sample data, loops past the sample,
// finetune bytes with their upper nibble set, sample numbers above 31) and
// frees a Song again. Owns load_repairs.
#include <cstdlib>
#include <cstring>

#include "module/pitch_table.h"
#include "module/song.h"

LoadRepair load_repairs[kMaxLoadRepairs];
int32_t load_repair_count = 0;

namespace {

constexpr size_t kSampleHeaderSize = 30;
constexpr size_t kSongLengthOffset = 950;
constexpr size_t kOrderTableOffset = 952;
constexpr size_t kSignatureOffset = 1080;

int32_t cleared_sample_numbers = 0;

int32_t read_word(const uint8_t* bytes) {
    return (bytes[0] << 8) | bytes[1];
}

void note_repair(RepairKind kind, int32_t sample, int32_t before, int32_t after) {
    if (load_repair_count < kMaxLoadRepairs) {
        load_repairs[load_repair_count++] = {kind, sample, before, after};
    }
}

int32_t channel_count_of(const uint8_t* module) {
    switch (module[kSignatureOffset]) {
        case '8':
            return 8;
        case '6':
            return 6;
        default:
            return 4;
    }
}

// Only order entries within the song length count; later entries are never
// played, so their patterns are neither counted nor read.
int32_t pattern_count_of(const uint8_t* module) {
    const int32_t song_length = module[kSongLengthOffset];
    int32_t highest = 0;
    for (int32_t i = 0; i < song_length; ++i) {
        if (module[kOrderTableOffset + i] > highest) highest = module[kOrderTableOffset + i];
    }
    return highest + 1;
}

size_t pattern_bytes(int32_t channel_count) {
    return size_t{64} * channel_count * 4;
}

// The first finetune-0 column whose halved period lies within 2 of the
// cell's period; the table holds twice the file's period scale.
int16_t find_note_index(int32_t period) {
    for (int32_t i = 0; i < kNoteColumns; ++i) {
        const int32_t distance = period - PitchTable[kFinetuneZeroRow][i] / 2;
        if (distance >= -2 && distance <= 2) return static_cast<int16_t>(i);
    }
    return -1;
}

// A loop that reaches past the (possibly cut) sample ends at its last point;
// one that starts beyond it, or keeps fewer than 3 points, is dropped.
void clamp_loop(Sample& sample, int32_t number) {
    if (sample.loop_length == 0 || sample.loop_length == 2) return;
    if (sample.loop_start + sample.loop_length <= sample.length) return;
    const int32_t before = sample.loop_length;
    const int32_t room = sample.length - sample.loop_start;
    if (room < 3) {
        sample.loop_length = 0;
        note_repair(RepairKind::LoopDropped, number, before, 0);
    } else {
        sample.loop_length = room;
        note_repair(RepairKind::LoopClamped, number, before, room);
    }
}

}  // namespace

const char* check_module(const uint8_t* module, size_t size) {
    if (module == nullptr || size < kModuleHeaderSize) {
        return "The module is shorter than its 1084-byte header; give a complete module file.";
    }
    const int32_t song_length = module[kSongLengthOffset];
    if (song_length < 1 || song_length > 128) {
        return "The module's song length is outside 1..128; it is not a 31-sample module.";
    }
    const size_t needed =
        kModuleHeaderSize + pattern_count_of(module) * pattern_bytes(channel_count_of(module));
    if (needed > size) {
        return "The module's patterns run past the end of the file; give a complete module file.";
    }
    return nullptr;
}

int32_t read_sample_header(const uint8_t* header, int32_t sample_number, Song* song) {
    Sample& sample = song->samples[sample_number];
    std::memcpy(sample.name, header, sizeof sample.name);
    sample.length = read_word(header + 22) * 2;
    // Only the low nibble is a finetune; the upper one is junk in some files.
    const int32_t byte = header[24];
    const int32_t nibble = byte & 15;
    sample.finetune = nibble >= 8 ? nibble - 16 : nibble;
    if (byte > 15) note_repair(RepairKind::FinetuneMasked, sample_number, byte, sample.finetune);
    sample.volume = static_cast<int8_t>(header[25]);
    sample.loop_start = read_word(header + 26) * 2;
    sample.loop_length = read_word(header + 28) * 2;
    return kSampleHeaderSize;
}

int32_t unpack_pattern(const uint8_t* bytes, int32_t pattern_number, Song* song,
                       int32_t channel_count) {
    Pattern& pattern = song->patterns[pattern_number];
    for (PatternCell*& slot : pattern.channels) slot = nullptr;
    for (int32_t c = 0; c < channel_count; ++c) {
        pattern.channels[c] =
            static_cast<PatternCell*>(std::malloc(kRowsPerPattern * sizeof(PatternCell)));
        if (pattern.channels[c] == nullptr) return -1;
    }
    const uint8_t* cell_bytes = bytes;
    for (int32_t row = 0; row < kRowsPerPattern; ++row) {
        for (int32_t c = 0; c < channel_count; ++c, cell_bytes += 4) {
            PatternCell& cell = pattern.channels[c][row];
            const int32_t period = ((cell_bytes[0] & 15) << 8) | cell_bytes[1];
            int32_t sample_number = (cell_bytes[0] & 0xF0) | (cell_bytes[2] >> 4);
            // There are 31 samples; a higher number names none of them.
            if (sample_number > 31) {
                sample_number = 0;
                ++cleared_sample_numbers;
            }
            cell.note_index = find_note_index(period);
            cell.sample_number = static_cast<uint8_t>(sample_number);
            cell.command = cell_bytes[2] & 15;
            cell.parameter = cell_bytes[3];
        }
    }
    pattern.row_count = kRowsPerPattern;
    return static_cast<int32_t>(pattern_bytes(channel_count));
}

int32_t load_sample_data(const uint8_t* bytes, size_t available, int32_t sample_number,
                         Song* song) {
    Sample& sample = song->samples[sample_number];
    sample.data = nullptr;
    if (sample.length <= 0) return 0;
    if (static_cast<size_t>(sample.length) > available) {
        // The file ends inside this sample: keep the points that are there.
        note_repair(RepairKind::SampleDataCut, sample_number, sample.length,
                    static_cast<int32_t>(available));
        sample.length = static_cast<int32_t>(available);
        if (sample.length == 0) return 0;
    }
    sample.data = static_cast<int16_t*>(
        std::calloc(static_cast<size_t>(sample.length) + kSamplePadding, sizeof(int16_t)));
    if (sample.data == nullptr) return -1;
    for (int32_t i = 0; i < sample.length; ++i) {
        sample.data[i] = static_cast<int16_t>(static_cast<int8_t>(bytes[i]) * 128);
    }
    return sample.length;
}

bool parse_module(const uint8_t* module, size_t size, Song* song) {
    load_repair_count = 0;
    cleared_sample_numbers = 0;
    song->format = 0;
    std::memcpy(song->title, module, sizeof song->title);
    for (int32_t s = 1; s <= 31; ++s) {
        read_sample_header(module + 20 + kSampleHeaderSize * (s - 1), s, song);
    }
    song->song_length = module[kSongLengthOffset];
    for (int32_t i = 0; i < 128; ++i) song->order_list[i] = module[kOrderTableOffset + i];
    const int32_t channel_count = channel_count_of(module);

    song->pattern_count = pattern_count_of(module);
    song->patterns = static_cast<Pattern*>(std::calloc(song->pattern_count, sizeof(Pattern)));
    if (song->patterns == nullptr) return false;
    size_t offset = kModuleHeaderSize;
    for (int32_t p = 0; p < song->pattern_count; ++p) {
        const int32_t consumed = unpack_pattern(module + offset, p, song, channel_count);
        if (consumed < 0) return false;
        offset += consumed;
    }

    for (Sample& sample : song->samples) sample.data = nullptr;
    for (int32_t s = 1; s <= 31; ++s) {
        const int32_t consumed = load_sample_data(module + offset, size - offset, s, song);
        if (consumed < 0) return false;
        offset += consumed;
    }
    for (int32_t s = 1; s <= 31; ++s) clamp_loop(song->samples[s], s);
    if (cleared_sample_numbers > 0) {
        note_repair(RepairKind::SampleNumberCleared, 0, cleared_sample_numbers, 0);
    }
    song->channel_count = channel_count;
    return true;
}

void free_song(Song* song) {
    if (song == nullptr) return;
    if (song->patterns != nullptr) {
        for (int32_t p = 0; p < song->pattern_count; ++p) {
            for (PatternCell* cells : song->patterns[p].channels) std::free(cells);
        }
        std::free(song->patterns);
    }
    for (int32_t s = 1; s <= 31; ++s) std::free(song->samples[s].data);
    std::free(song);
}
