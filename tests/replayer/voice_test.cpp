#include <cstdlib>

#include "tests/replayer/engine_fixture.h"

namespace {

// A hand-made sample: point i holds 1000 x (i + 1), then the ten zero values.
struct TestSample {
    std::vector<int16_t> data;
    Sample sample{};
    TestSample(int length, int loop_start, int loop_length) : data(length + kSamplePadding, 0) {
        for (int i = 0; i < length; ++i) data[i] = static_cast<int16_t>(1000 * (i + 1));
        sample = {{}, length, 0, 64, loop_start, loop_length, data.data()};
    }
};

struct Voice : EngineTest {
    // Renders `frames` frames of channel 0 from `position` at a step of
    // about 1.002 points a frame.
    static void render(const TestSample& voice, float position, int frames, int volume = 63,
                       int period = 162) {
        SamplesPerTick = frames;
        TickRate = 50.0f * 882 / frames;
        PendingFrames = 0;
        Channels[0].position = position;
        Channels[0].period = 162;
        render_tick_voice(0, Channels[0], voice.sample, period, volume);
    }
    // Left plus right of a frame: the channel's value before the pan.
    static int32_t sum(int frame) {
        return channel_buffers[0][2 * frame] + channel_buffers[0][2 * frame + 1];
    }
};

TEST_F(Voice, PeriodOf1710StepsAbout0point0949PointsAFrame) {
    ModuleBuilder builder;
    builder.samples[1] = flat_sample(2000);
    builder.at(0, 0, 0) = {856, 1, 0, 0};
    start(builder);
    ticks(1);
    EXPECT_NEAR(Channels[0].position, 882 * 14318181.0 / 3420 / 44100, 1e-4);
}

TEST_F(Voice, TheLastPointOfALoopInterpolatesTowardTheLoopStart) {
    render(TestSample(12, 4, 8), 11.5f, 2);
    EXPECT_EQ(sum(0), static_cast<int>((12000 + 5000) / 2.0 * 63 / 64));
    // The next frame has folded back to point 4, between 5000 and 6000.
    EXPECT_GT(sum(1), 4900);
    EXPECT_LT(sum(1), 5600);
    EXPECT_GE(Channels[0].position, 4.0f);
    EXPECT_LT(Channels[0].position, 12.0f);
}

TEST_F(Voice, AOneShotSampleEndsOnItsLastPointThenZeroThenSilence) {
    struct Case {
        float position;
        int expected_sum, period_after;
    };
    const Case cases[] = {{10.5f, static_cast<int>(11500 * 63 / 64.0), 162},
                          {11.5f, static_cast<int>(12000 * 63 / 64.0), 162},  // no padding read
                          {12.5f, 0, 162},
                          {13.5f, 0, 0}};
    for (int loop_length : {0, 2}) {
        const TestSample voice(12, 0, loop_length);
        for (const Case& c : cases) {
            render(voice, c.position, 1);
            EXPECT_EQ(sum(0), c.expected_sum) << c.position;
            EXPECT_EQ(Channels[0].period, c.period_after) << c.position;
        }
    }
}

TEST_F(Voice, VolumeStopsAt63AndNoPitchOrNoMasterVolumeIsSilence) {
    const TestSample voice(100, 0, 0);
    render(voice, 3.0f, 1, 63);
    const int32_t loudest = sum(0);
    for (int volume : {64, 200}) {
        render(voice, 3.0f, 1, volume);
        EXPECT_EQ(sum(0), loudest) << volume;
    }
    render(voice, 5.0f, 4, 63, -20);  // a period below 1 stays where it is
    EXPECT_EQ(sum(0) | sum(3), 0);
    EXPECT_EQ(Channels[0].position, 5.0f);
    MasterVolume = 0.0f;
    render(voice, 3.0f, 4);
    EXPECT_EQ(sum(0) | sum(3), 0);
    EXPECT_GT(Channels[0].position, 7.0f);  // while the position moves on
    MasterVolume = 1.0f;
}

TEST_F(Voice, LeftAndRightDifferByAtMostOnePerChannel) {
    ModuleBuilder builder;
    builder.samples[1] = {ramp_points(3000), 0, 64, 1000, 2000};
    const int periods[] = {428, 453, 480, 508};
    for (int c = 0; c < 4; ++c) {
        builder.at(0, 0, c) = {periods[c], 1, 0xC, 17 + 13 * c};
        builder.at(0, 8, c) = {0, 0, 0x4, 0x8F};
    }
    start(builder);
    for (int t = 0; t < 60; ++t) {
        ticks(1);
        for (int i = 0; i < 4 * 2 * SamplesPerTick; i += 2) {
            const int16_t* frame =
                channel_buffers[i / (2 * SamplesPerTick)] + i % (2 * SamplesPerTick);
            ASSERT_LE(std::abs(frame[0] - frame[1]), 1);
        }
    }
}

}  // namespace
