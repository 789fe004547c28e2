// A busy four-channel module for the golden test and the benchmark: every
// channel plays all the time, on looping and one-shot samples, through most
// effect commands, over eight positions.
#pragma once
#include <cmath>

#include "tools/common/module_builder.h"

inline ModuleBuilder busy_module() {
    ModuleBuilder builder;
    std::vector<int8_t> square(64), sine(32), saw(128), noise(2000), pad(4000);
    uint32_t seed = 7;
    for (int i = 0; i < 64; ++i) square[i] = i < 32 ? 90 : -90;
    for (int i = 0; i < 32; ++i) sine[i] = static_cast<int8_t>(120 * std::sin(i * 2 * M_PI / 32));
    for (int i = 0; i < 128; ++i) saw[i] = static_cast<int8_t>(i * 2 - 128);
    for (int i = 0; i < 2000; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise[i] =
            static_cast<int8_t>(static_cast<int>((seed >> 16) % 256 - 128) * (2000 - i) / 2000);
    }
    for (int i = 0; i < 4000; ++i)
        pad[i] = static_cast<int8_t>(60 * std::sin(i * 0.05) + 40 * std::sin(i * 0.0731));
    builder.samples[1] = {square, 0, 48, 0, 64};
    builder.samples[2] = {sine, 0, 64, 0, 32};
    builder.samples[3] = {noise, 0, 64, 0, 0};
    builder.samples[4] = {saw, 3, 40, 32, 96};
    builder.samples[5] = {pad, 13, 56, 1000, 3000};

    const int scale[] = {856, 762, 678, 640, 570, 508, 453, 428, 381, 339, 320, 285, 254, 226};
    // One effect per entry: command, parameter.
    const int effects[][2] = {{0x0, 0x37}, {0x1, 0x03}, {0x2, 0x02}, {0x3, 0x08}, {0x4, 0x46},
                              {0x5, 0x02}, {0x6, 0x03}, {0x7, 0x54}, {0x9, 0x02}, {0xA, 0x04},
                              {0xA, 0x30}, {0xC, 0x28}, {0xE, 0x12}, {0xE, 0x21}, {0xE, 0xA3},
                              {0xE, 0xB2}, {0xE, 0xC3}, {0xE, 0xD2}, {0x0, 0x00}, {0x8, 0x00}};
    builder.song_length = 8;
    const uint8_t orders[] = {0, 1, 2, 3, 1, 4, 5, 2};
    for (int i = 0; i < 8; ++i) builder.orders[i] = orders[i];
    for (int p = 0; p < 6; ++p) {
        for (int row = 0; row < 64; ++row) {
            for (int c = 0; c < 4; ++c) {
                seed = seed * 1103515245u + 12345u;
                const uint32_t r = seed >> 12;
                ModuleCell& cell = builder.at(p, row, c);
                const bool note = (row + c) % (c + 2) == 0;
                if (note) {
                    cell.period = scale[(r + p * 3 + c * 5) % 14];
                    cell.sample = c == 3 ? 3 + (r >> 8) % 3 : 1 + (c + p) % 5;
                }
                const int* effect = effects[(r >> 4) % 20];
                cell.command = effect[0];
                cell.parameter = effect[1];
            }
        }
    }
    builder.at(0, 0, 3) = {856, 3, 0xF, 0x05};
    builder.at(2, 0, 3) = {0, 0, 0xF, 0x7D};
    builder.at(3, 16, 2) = {0, 0, 0xE, 0x60};
    builder.at(3, 19, 2) = {0, 0, 0xE, 0x62};
    builder.at(4, 40, 1) = {0, 0, 0xE, 0xE2};
    builder.at(5, 48, 0) = {0, 0, 0xD, 0x08};
    return builder;
}
