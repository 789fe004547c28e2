#include "tests/replayer/engine_fixture.h"

namespace {

using Effects = EngineTest;

// Sample 1 loops over all its points at volume 40; sample 2 plays once.
ModuleBuilder two_samples() {
    ModuleBuilder builder;
    builder.samples[1] = flat_sample(10000, 40, 0, 10000);
    builder.samples[2] = flat_sample(100, 40);
    return builder;
}

TEST_F(Effects, NoteCutSilencesAtItsTick) {
    for (int cut_tick : {0, 3}) {
        ModuleBuilder builder = two_samples();
        builder.at(0, 0, 0) = {428, 1, 0xE, 0xC0 | cut_tick};
        start(builder);
        for (int t = 0; t < 6; ++t) {
            ticks(1);
            EXPECT_EQ(Channels[0].volume, t < cut_tick ? 40 : 0) << cut_tick << " " << t;
        }
    }
}

TEST_F(Effects, NoteDelayStartsTheNoteAtItsTickAndED0NeverDoes) {
    ModuleBuilder builder = two_samples();
    builder.at(0, 0, 0) = {428, 1, 0, 0};
    builder.at(0, 0, 1) = {428, 1, 0xE, 0xD2};
    builder.at(0, 0, 2) = {428, 1, 0xE, 0xD0};
    start(builder);
    ticks(2);
    EXPECT_TRUE(tick_is_silent(1));
    EXPECT_EQ(Channels[1].position, 0.0f);
    ticks(1);
    EXPECT_FALSE(tick_is_silent(1));
    // Started from the sample's start at tick 2: one tick's way in.
    EXPECT_NEAR(Channels[1].position, Channels[0].position / 3, 1e-3);
    ticks(9);
    EXPECT_EQ(Channels[2].volume, 0);
    EXPECT_TRUE(tick_is_silent(2));
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
        // 5xy slides at the speed 3xx left, none here.
        EXPECT_EQ(Channels[0].period, 855 + (c.command == 3 ? 5 * 8 : 0)) << c.command << c.sample;
        EXPECT_EQ(Channels[0].volume, c.volume_after) << c.command << c.sample;
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
        ticks(8);
        EXPECT_EQ(Channels[0].volume, c.after_two_ticks) << std::hex << c.parameter;
    }
}

TEST_F(Effects, SampleOffsetBeyondAOneShotSampleSilencesAtOnce) {
    ModuleBuilder builder = two_samples();
    builder.at(0, 0, 0) = {428, 2, 0x9, 0x01};
    builder.at(0, 0, 1) = {428, 1, 0x9, 0x01};  // a looping sample folds the offset into its loop
    start(builder);
    ticks(1);
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
    for (int row : {8, 11, 15, 8}) {
        ticks(1);
        EXPECT_EQ(Channels[0].period, PitchTable[row][49]);
    }
}

}  // namespace
