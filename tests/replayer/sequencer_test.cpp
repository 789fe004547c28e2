#include "tests/replayer/engine_fixture.h"

namespace {

using Sequencer = EngineTest;

TEST_F(Sequencer, FSetsSpeedUpTo32AndATempoAbove) {
    struct Case {
        int parameter, speed;
        double tick_rate;
        int samples_per_tick;
    };
    const Case cases[] = {{0x00, 0, 50.0, 882}, {0x20, 32, 50.0, 882}, {0x21, 6, 13.2, 3340},
                          {0x7D, 6, 50.0, 881}, {0x81, 6, 51.6, 854},  {0xFF, 6, 102.0, 432}};
    for (const Case& c : cases) {
        ModuleBuilder builder;
        builder.at(0, 0, 2) = {0, 0, 0xF, c.parameter};
        start(builder);
        ticks(1);
        EXPECT_EQ(Speed, c.speed) << c.parameter;
        EXPECT_NEAR(TickRate, c.tick_rate, 1e-5) << c.parameter;
        EXPECT_EQ(SamplesPerTick, c.samples_per_tick) << c.parameter;
    }
}

// At speed 1 every tick starts a row; the rows listed are those the ticks
// play, in order.
TEST_F(Sequencer, PlaysRowsInTheOrderBreaksJumpsAndLoopsGive) {
    struct Effect {
        int position, row, channel, command, parameter;
    };
    struct Case {
        int song_length;
        std::vector<Effect> effects;
        std::vector<std::pair<int, int>> rows;
        int song_ends;
    };
    const Case cases[] = {
        // D10 breaks to row 16 of the next position.
        {2, {{0, 2, 0, 0xD, 0x10}}, {{0, 0}, {0, 1}, {0, 2}, {1, 16}, {1, 17}}, 0},
        // D at the last position wraps and ends the song.
        {1, {{0, 1, 3, 0xD, 0x03}}, {{0, 0}, {0, 1}, {0, 3}, {0, 4}}, 1},
        // B05 plays row 0 of position 5 in the same tick.
        {6, {{0, 2, 1, 0xB, 5}}, {{0, 0}, {0, 1}, {5, 0}, {5, 1}}, 0},
        // E60 then E62 plays the rows between three times.
        {1,
         {{0, 1, 0, 0xE, 0x60}, {0, 3, 1, 0xE, 0x62}},
         {{0, 0}, {0, 1}, {0, 2}, {0, 1}, {0, 2}, {0, 1}, {0, 2}, {0, 3}, {0, 4}},
         0},
        // A D above 63 skips one more position.
        {3, {{0, 1, 0, 0xD, 70}}, {{0, 0}, {0, 1}, {2, 0}, {2, 1}}, 0},
        // A B beyond the song ends it and plays position 0.
        {2, {{0, 1, 0, 0xB, 0x7F}}, {{0, 0}, {0, 0}, {0, 0}}, 2},
        // The last row of the last position wraps to 0.
        {1, {}, {{0, 62}, {0, 63}, {0, 0}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        ModuleBuilder builder;
        builder.song_length = c.song_length;
        for (int p = 0; p < c.song_length; ++p) builder.orders[p] = static_cast<uint8_t>(p);
        builder.at(c.song_length - 1, 0, 0) = {};
        for (const Effect& e : c.effects)
            builder.at(e.position, e.row, e.channel) = {0, 0, e.command, e.parameter};
        start(builder);
        Speed = 1;
        SongRow = c.rows.front().second;
        const int32_t ends_before = SongEndCount;
        ticks(static_cast<int>(c.rows.size()));
        std::vector<std::pair<int, int>> played;
        for (const RowStart& r : row_starts) played.emplace_back(r.position, r.row);
        EXPECT_EQ(played, c.rows);
        EXPECT_EQ(SongEndCount - ends_before, c.song_ends);
    }
}

TEST_F(Sequencer, PatternDelayLengthensItsRowAndKeepsItsNotesPlaying) {
    ModuleBuilder builder;
    builder.samples[1] = flat_sample(4000, 40, 0, 4000);
    builder.at(0, 0, 0) = {428, 1, 0xC, 16};
    builder.at(0, 1, 0) = {428, 1, 0xE, 0xE3};
    start(builder);
    ticks(6);
    const float position = Channels[0].position;
    ticks(1);  // the EE3 row: neither restarted nor set back to the sample's volume
    EXPECT_GT(Channels[0].position, position);
    EXPECT_EQ(Channels[0].volume, 16);
    ticks(8);
    EXPECT_EQ(row_starts.size(), 2u);
    ticks(1);
    EXPECT_EQ(row_starts.size(), 3u);
}

}  // namespace
