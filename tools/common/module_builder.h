// Builds module files in memory for tests, tools and benchmarks: 4, 6 or 8
// channels, patterns written cell by cell with classic periods, samples given
// as signed 8-bit points. What it writes is a plain 31-sample module.
#pragma once
#include <cstdint>
#include <vector>

struct ModuleCell {
    int period = 0;  // classic period (856 is a C), 0 = no note
    int sample = 0;  // 0 = none
    int command = 0;
    int parameter = 0;
};

struct ModuleSample {
    std::vector<int8_t> points;  // an odd count is padded with one zero point
    int finetune_byte = 0;
    int volume = 64;
    int loop_start = 0;   // points, even
    int loop_length = 0;  // points, even; 0 or 2 = no loop
};

struct ModuleBuilder {
    int channels = 4;
    int song_length = 1;
    uint8_t orders[128] = {};
    int pattern_count = 1;  // patterns written to the file
    std::vector<ModuleCell> cells;
    ModuleSample samples[32];  // 1..31

    ModuleCell& at(int pattern, int row, int channel) {
        if (pattern >= pattern_count) pattern_count = pattern + 1;
        const size_t index = (static_cast<size_t>(pattern) * 64 + row) * channels + channel;
        if (cells.size() <= index) cells.resize(static_cast<size_t>(pattern_count) * 64 * channels);
        return cells[index];
    }

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> out(1084, 0);
        for (int s = 1; s <= 31; ++s) {
            const ModuleSample& sample = samples[s];
            uint8_t* header = &out[20 + 30 * (s - 1)];
            put_word(header + 22, static_cast<int>((sample.points.size() + 1) / 2));
            header[24] = static_cast<uint8_t>(sample.finetune_byte);
            header[25] = static_cast<uint8_t>(sample.volume);
            put_word(header + 26, sample.loop_start / 2);
            put_word(header + 28, sample.loop_length / 2);
        }
        out[950] = static_cast<uint8_t>(song_length);
        for (int i = 0; i < 128; ++i) out[952 + i] = orders[i];
        const char* signature = channels == 8 ? "8CHN" : channels == 6 ? "6CHN" : "M.K.";
        for (int i = 0; i < 4; ++i) out[1080 + i] = static_cast<uint8_t>(signature[i]);
        for (int p = 0; p < pattern_count; ++p) {
            for (int i = 0; i < 64 * channels; ++i) {
                const size_t index = static_cast<size_t>(p) * 64 * channels + i;
                const ModuleCell cell = index < cells.size() ? cells[index] : ModuleCell{};
                out.push_back(
                    static_cast<uint8_t>((cell.sample & 0xF0) | ((cell.period >> 8) & 15)));
                out.push_back(static_cast<uint8_t>(cell.period & 0xFF));
                out.push_back(
                    static_cast<uint8_t>(((cell.sample & 15) << 4) | (cell.command & 15)));
                out.push_back(static_cast<uint8_t>(cell.parameter));
            }
        }
        for (int s = 1; s <= 31; ++s) {
            for (int8_t point : samples[s].points) out.push_back(static_cast<uint8_t>(point));
            if (samples[s].points.size() % 2 != 0) out.push_back(0);
        }
        return out;
    }

    static void put_word(uint8_t* at, int value) {
        at[0] = static_cast<uint8_t>(value >> 8);
        at[1] = static_cast<uint8_t>(value);
    }
};

// A ramp of `count` points from -100 upward, so neighbouring points differ.
inline std::vector<int8_t> ramp_points(int count) {
    std::vector<int8_t> points(count);
    for (int i = 0; i < count; ++i) points[i] = static_cast<int8_t>(-100 + i % 200);
    return points;
}
