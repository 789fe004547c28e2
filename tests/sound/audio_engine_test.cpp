// The audio engine on the virtual platform, with a stand-in renderer: what
// the ideal card plays, the hand-off between the loops, and a stop that
// always returns and leaves nothing behind.
#include "sound/audio_engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>
#include <vector>

#include "replayer/replayer.h"
#include "shell/virtual_clock.h"
#include "sound/audio_loops.h"
#include "sound/sound_device.h"
#include "sound/sound_virtual.h"
#include "sound/stream_ring.h"
#include "tests/sound/stub_replayer.h"

namespace {

constexpr int64_t kMs = kVirtualCounterFrequency / 1000;
constexpr size_t kSilentFrames = 28'224;  // the first pass of the ring, 640 ms
constexpr size_t kBlockValues = 3'528 * 2;

class AudioEngine : public testing::Test {
protected:
    void SetUp() override {
        reset_virtual_sound();
        virtual_counter = 0;
        ASSERT_EQ(open_sound_device(nullptr), 1);
    }
    void TearDown() override {
        close_sound_device();
        reset_virtual_sound();
    }
};

// Runs the engine for `ms` of virtual time advanced in steps of `step` and
// returns what the card played.
std::vector<int16_t> play_for(int64_t ms, int64_t step) {
    virtual_soundtrack.clear();
    start_audio_engine();
    for (int64_t t = 0; t < ms * kMs; t += step) advance_virtual_clock(step);
    stop_audio_engine();
    return virtual_soundtrack;
}

TEST_F(AudioEngine, TheCardPlaysSilenceFor640MsThenEveryBlockWholeAndInOrder) {
    std::vector<int16_t> played = play_for(3000, 16'666'667);
    ASSERT_GE(played.size(), (kSilentFrames + 25 * 3'528) * 2);
    for (size_t i = 0; i < kSilentFrames * 2; ++i) ASSERT_EQ(played[i], 0) << "value " << i;
    size_t blocks = (played.size() - kSilentFrames * 2) / kBlockValues;
    for (size_t k = 0; k < blocks; ++k) {
        const int16_t* heard = played.data() + kSilentFrames * 2 + k * kBlockValues;
        for (size_t i = 0; i < kBlockValues; ++i) {
            ASSERT_EQ(heard[i], stub_block_value(int32_t(k), int32_t(i)))
                << "block " << k << " value " << i;
        }
    }
    EXPECT_EQ(virtual_sound_underruns(), 0);
}

TEST_F(AudioEngine, WhatIsHeardDoesNotDependOnHowTheMainThreadPassesTime) {
    // Flips at 60 Hz, at 50 Hz, millisecond sleeps, one long wait: the loops
    // act at their own moments, so the sound is the same.
    const int64_t steps[] = {16'666'667, 20 * kMs, kMs, 2500 * kMs};
    std::vector<int16_t> first = play_for(2500, steps[0]);
    ASSERT_GE(first.size(), 2500u * 44'100 / 1000 * 2);
    first.resize(2500 * 44'100 / 1000 * 2);
    for (int64_t step : steps) {
        SCOPED_TRACE(step);
        std::vector<int16_t> again = play_for(2500, step);
        ASSERT_GE(again.size(), first.size());
        again.resize(first.size());
        EXPECT_TRUE(again == first);
    }
}

TEST_F(AudioEngine, OneBlockIsInFlightAndTheWriterStaysHalfARingAhead) {
    start_audio_engine();
    int32_t most_rendered_ahead = 0;
    for (int t = 0; t < 4000; ++t) {
        advance_virtual_clock(kMs);
        if (virtual_soundtrack.size() <= kSilentFrames * 2) continue;
        // Blocks rendered but not yet heard: at most the queue plus the one in hand.
        int32_t heard = int32_t((virtual_soundtrack.size() / 2 - kSilentFrames) / 3'528);
        most_rendered_ahead = std::max(most_rendered_ahead, stub_blocks_rendered - heard);
        uint32_t ahead = (write_position + kStreamRingBytes - virtual_sound_ring().read_position) %
                         kStreamRingBytes;
        ASSERT_LE(ahead, 400u * 176'400 / 1000) << "at " << t << " ms";
    }
    stop_audio_engine();
    EXPECT_LE(most_rendered_ahead, 7);
    EXPECT_GE(most_rendered_ahead, 4);
    EXPECT_EQ(virtual_sound_underruns(), 0);
}

TEST(StreamLoop, TheWaitForABlockEndsWhenTheEngineQuits) {
    struct Case {
        int32_t block_ready, quit;
        LoopWaitKind expected;
        StreamLoopState then;
    };
    const Case cases[] = {
        {0, 0, LoopWaitKind::sleep, StreamLoopState::wait_block},
        {0, 1, LoopWaitKind::exited, StreamLoopState::exited},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "block_ready " << c.block_ready << " quit " << c.quit);
        stream_loop_state = StreamLoopState::wait_block;
        block_ready = c.block_ready;
        audio_quit = c.quit;
        exited_threads = 0;
        LoopWait wait = step_stream_loop();
        EXPECT_EQ(wait.kind, c.expected);
        EXPECT_EQ(stream_loop_state, c.then);
        EXPECT_EQ(exited_threads.load(), c.quit);
    }
    audio_quit = 0;
}

// Runs stop_audio_engine on a helper thread and reports whether it came back
// within a generous real-time limit; a hung stop ends the test binary.
bool stop_returns() {
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    std::thread stopper([&done] {
        stop_audio_engine();
        done.set_value();
    });
    if (finished.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "stop_audio_engine did not return";
        std::_Exit(1);
    }
    stopper.join();
    return true;
}

TEST_F(AudioEngine, StopReturnsWhileTheStreamingLoopWaitsForABlockThatNeverComes) {
    start_audio_engine();
    advance_virtual_clock(1000 * kMs);
    int32_t rendered = stub_blocks_rendered;
    // The mixing loop is held back, so within two blocks the streaming loop
    // asks for a block and then waits for one that nobody is making.
    delay_virtual_audio_loop(1, 500 * kMs);
    advance_virtual_clock(200 * kMs);
    ASSERT_EQ(stream_loop_state, StreamLoopState::wait_block);
    ASSERT_EQ(render_request.load(), 1);
    ASSERT_EQ(block_ready.load(), 0);

    ASSERT_TRUE(stop_returns());
    EXPECT_EQ(exited_threads.load(), 2);
    EXPECT_EQ(stub_blocks_rendered, rendered);  // the mixing loop saw the quit first
}

TEST_F(AudioEngine, StopReturnsAtEveryMomentOfTheLoops) {
    // Stopping 0, 1, ..., 799 ms after the start catches every state the
    // loops pass through, the start-up wait included.
    for (int64_t ms = 0; ms < 800; ms += 7) {
        SCOPED_TRACE(ms);
        start_audio_engine();
        advance_virtual_clock(ms * kMs);
        ASSERT_TRUE(stop_returns());
        EXPECT_EQ(exited_threads.load(), 2);
    }
}

TEST_F(AudioEngine, StopFreesTheMixingResourcesTheRingAndTheSongs) {
    stub_songs_loaded = 1;
    start_audio_engine();
    EXPECT_NE(mix_block, nullptr);
    EXPECT_NE(virtual_sound_ring().ring, nullptr);
    advance_virtual_clock(1000 * kMs);
    stop_audio_engine();
    EXPECT_EQ(mix_block, nullptr);
    EXPECT_EQ(clip_table, nullptr);
    for (int16_t* buffer : channel_buffers) EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(virtual_sound_ring().ring, nullptr);
    EXPECT_FALSE(virtual_sound_ring_playing());
    EXPECT_EQ(stub_songs_loaded, 0);
    // Time going on after the stop plays nothing more.
    size_t played = virtual_soundtrack.size();
    advance_virtual_clock(200 * kMs);
    EXPECT_EQ(virtual_soundtrack.size(), played);
}

TEST(SoundDevice, ARefusedDeviceLeavesNothingOpenAndSaysWhy) {
    struct Case {
        const char* what;
        int32_t devices;
        bool refuse_open, refuse_priority;
        int32_t result;
    };
    const Case cases[] = {
        {"a device", 1, false, false, 1},
        {"no device", 0, false, false, -1},
        {"open refused", 1, true, false, -1},
        {"priority level refused", 1, false, true, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reset_virtual_sound();
        virtual_sound_device_count = c.devices;
        virtual_sound_refuse_open = c.refuse_open;
        virtual_sound_refuse_priority = c.refuse_priority;
        EXPECT_EQ(open_sound_device(nullptr), c.result);
        EXPECT_EQ(virtual_sound_device_open(), c.result == 1);
        EXPECT_EQ(sound_device_error()[0] != '\0', c.result != 1);
        close_sound_device();
        EXPECT_FALSE(virtual_sound_device_open());
    }
    reset_virtual_sound();
}

}  // namespace
