#include "tests/replayer/engine_fixture.h"

namespace {

// Sample 1 loops over all its points at volume 40; sample 2 plays once.
ModuleBuilder two_samples() {
    ModuleBuilder builder;
    builder.samples[1] = flat_sample(10000, 40, 0, 10000);
    builder.samples[2] = flat_sample(100, 40);
    return builder;
}

struct Effects : EngineTest {
    // Plays row 0 and then `count` ticks of row 1.
    static void play_row_1_ticks(int count) { ticks(6 + count); }
};

TEST_F(Effects, NoteCutSilencesAtItsTick) {
    for (int cut_tick : {0, 3}) {
        ModuleBuilder builder = two_samples();
        builder.at(0, 0, 0) = {428, 1, 0xE, 0xC0 | cut_tick};
        start(builder);
        for (int t = 0; t < 6; ++t) {
            tick();
            EXPECT_EQ(Channels[0].volume, t < cut_tick ? 40 : 0) << cut_tick << " " << t;
        }
        free_all_songs();
    }
}

TEST_F(Effects, NoteDelayStartsTheNoteAtItsTickFromTheSampleStart) {
    ModuleBuilder builder = two_samples();
    builder.at(0, 0, 0) = {428, 1, 0, 0};
    builder.at(0, 0, 1) = {428, 1, 0xE, 0xD2};
    start(builder);
    ticks(2);
    EXPECT_TRUE(tick_is_silent(1));
    EXPECT_EQ(Channels[1].position, 0.0f);
    ticks(1);
    EXPECT_FALSE(tick_is_silent(1));
    EXPECT_EQ(Channels[1].volume, 40);
    // Channel 1 now stands where channel 0 stood after its first tick.
    EXPECT_NEAR(Channels[1].position, Channels[0].position / 3, 1e-3);
}

TEST_F(Effects, NoteDelayOfZeroLeavesTheChannelAtVolumeZero) {
    ModuleBuilder builder = two_samples();
    builder.at(0, 0, 0) = {428, 1, 0xE, 0xD0};
    start(builder);
    ticks(12);
    EXPECT_EQ(Channels[0].volume, 0);
    EXPECT_TRUE(tick_is_silent(0));
}

TEST_F(Effects, TonePortamentoSlidesWithoutRestartingTheSample) {
    struct Case {
        int command, sample, parameter, volume_after;
    };
    // With a sample number, 3xx applies the sample's volume and 5xy does not.
    const Case cases[] = {{3, 0, 4, 16}, {3, 1, 4, 40}, {5, 0, 0, 16}, {5, 1, 0, 16}};
    for (const Case& c : cases) {
        ModuleBuilder builder = two_samples();
        builder.at(0, 0, 0) = {428, 1, 0xC, 16};
        builder.at(0, 1, 0) = {856, c.sample, c.command, c.parameter};
        start(builder);
        ticks(6);
        const float position = Channels[0].position;
        ticks(6);
        EXPECT_GT(Channels[0].position, 1.5f * position) << c.command << c.sample;
        EXPECT_EQ(Channels[0].portamento_target, 1710);
        // 5xy slides toward the target at the speed 3xx left: 4 here, or 0.
        const int speed = c.command == 3 ? 4 : 0;
        EXPECT_EQ(Channels[0].period, 855 + 5 * 2 * speed) << c.command << c.sample;
        EXPECT_EQ(Channels[0].volume, c.volume_after) << c.command << c.sample;
        free_all_songs();
        for (Channel& ch : Channels) ch = Channel{};
    }
}

TEST_F(Effects, VolumeSlidesOneWayAndStopsAt63) {
    struct Case {
        int start_volume, parameter, after_two_ticks;
    };
    const Case cases[] = {
        {32, 0x0F, 17}, {32, 0xFF, 32}, {32, 0x00, 32}, {60, 0xF0, 63}, {10, 0x0F, 0}};
    for (const Case& c : cases) {
        ModuleBuilder builder = two_samples();
        builder.at(0, 0, 0) = {428, 1, 0xC, c.start_volume};
        builder.at(0, 1, 0) = {0, 0, 0xA, c.parameter};
        start(builder);
        play_row_1_ticks(2);
        EXPECT_EQ(Channels[0].volume, c.after_two_ticks) << std::hex << c.parameter;
        free_all_songs();
    }
}

TEST_F(Effects, SampleOffsetBeyondAOneShotSampleSilencesAtOnce) {
    ModuleBuilder builder = two_samples();
    builder.at(0, 0, 0) = {428, 2, 0x9, 0x01};
    builder.at(0, 0, 1) = {428, 1, 0x9, 0x01};  // a looping sample folds the offset into its loop
    start(builder);
    tick();
    EXPECT_TRUE(tick_is_silent(0));
    EXPECT_EQ(Channels[0].period, 0);
    EXPECT_FALSE(tick_is_silent(1));
}

TEST_F(Effects, VibratoOnANoteRowWaitsForTheNextRow) {
    ModuleBuilder builder = two_samples();
    builder.at(0, 0, 0) = {428, 1, 0x4, 0x48};
    builder.at(0, 1, 0) = {0, 0, 0x4, 0x00};
    builder.at(0, 2, 0) = {0, 0, 0x4, 0x48};
    start(builder);
    ticks(12);
    EXPECT_EQ(Channels[0].vibrato_depth, 0);
    EXPECT_EQ(Channels[0].vibrato_position, 0);
    ticks(6);
    EXPECT_EQ(Channels[0].vibrato_depth, 8);
    EXPECT_EQ(Channels[0].vibrato_position, 24);
    EXPECT_EQ(Channels[0].period, 855);
}

TEST_F(Effects, ArpeggioStepsAlongTheFinetuneRows) {
    ModuleBuilder builder = two_samples();
    builder.at(0, 0, 0) = {428, 1, 0x0, 0x3F};
    start(builder);
    const int expected[] = {PitchTable[8][49], PitchTable[11][49], PitchTable[15][49],
                            PitchTable[8][49]};
    for (int period : expected) {
        tick();
        EXPECT_EQ(Channels[0].period, period);
    }
}

}  // namespace
