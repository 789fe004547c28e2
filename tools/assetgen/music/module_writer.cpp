// Writes the song and the instruments in the 31-sample, four-channel module
// layout: a zero title, 31 sample headers, song length, restart byte, 128
// order entries, "M.K.", the patterns, then the sample data in slot order.
// Multi-byte values are big-endian; lengths and loops count 16-bit words.
#include <algorithm>
#include <cstring>

#include "tools/assetgen/music/music_module.h"

namespace {

void put_word(std::vector<uint8_t>& out, size_t at, size_t value) {
    out[at] = uint8_t(value >> 8);
    out[at + 1] = uint8_t(value);
}

void put_sample_header(std::vector<uint8_t>& out, size_t at, const SynthSample& s) {
    std::memcpy(&out[at], s.name.data(), std::min<size_t>(s.name.size(), 22));
    put_word(out, at + 22, s.data.size() / 2);
    out[at + 24] = 0;  // finetune
    out[at + 25] = uint8_t(s.volume);
    // A one-shot gets the customary loop of one word at 0, which plays no loop.
    put_word(out, at + 26, s.loop_length ? s.loop_start / 2 : 0);
    put_word(out, at + 28, s.loop_length ? s.loop_length / 2 : 1);
}

// b0: sample high nibble, period bits 11..8; b1: period bits 7..0;
// b2: sample low nibble, command; b3: parameter.
void put_cell(std::vector<uint8_t>& out, size_t at, const NoteCell& c) {
    out[at] = uint8_t((c.sample & 0xF0) | ((c.period >> 8) & 0x0F));
    out[at + 1] = uint8_t(c.period);
    out[at + 2] = uint8_t(((c.sample & 0x0F) << 4) | (c.command & 0x0F));
    out[at + 3] = c.parameter;
}

}  // namespace

std::vector<uint8_t> build_module_bytes(const SongSource& song,
                                        const std::vector<SynthSample>& samples) {
    size_t sample_bytes = 0;
    for (const SynthSample& s : samples) sample_bytes += s.data.size();
    std::vector<uint8_t> out(kHeaderBytes + song.patterns.size() * kPatternBytes + sample_bytes, 0);

    const SynthSample* slots[kSampleSlots + 1] = {};
    for (const SynthSample& s : samples) slots[s.number] = &s;
    for (int n = 1; n <= kSampleSlots; ++n) {
        // An empty slot keeps its 30 bytes at zero: no name, no data, no loop.
        if (slots[n]) put_sample_header(out, 20 + 30 * size_t(n - 1), *slots[n]);
    }
    out[950] = uint8_t(song.order.size());
    out[951] = 0;
    for (size_t p = 0; p < song.order.size(); ++p) out[952 + p] = song.order[p];
    std::memcpy(&out[1080], "M.K.", 4);

    size_t at = kHeaderBytes;
    for (const PatternText& pattern : song.patterns) {
        for (const NoteCell& cell : pattern.cells) {
            put_cell(out, at, cell);
            at += 4;
        }
    }
    for (int n = 1; n <= kSampleSlots; ++n) {
        if (!slots[n]) continue;
        std::memcpy(&out[at], slots[n]->data.data(), slots[n]->data.size());
        at += slots[n]->data.size();
    }
    return out;
}
