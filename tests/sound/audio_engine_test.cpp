// The audio engine on the virtual platform: what the ideal card plays, the
// pacing of the loops, and a stop that always returns and leaves nothing
// behind.
#include "sound/audio_engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>
#include <vector>

#include "module/song.h"
#include "platform/virtual_clock.h"
#include "platform/virtual_sound.h"
#include "platform/virtual_window.h"
#include "replayer/replayer.h"
#include "sound/audio_loops.h"
#include "sound/heard_song.h"
#include "sound/stream_ring.h"
#include "tools/sound_probe/test_song.h"

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

// Starts the engine as the demo does: song loaded, engine started, song queued.
void start_test_music() {
    load_test_song();
    start_audio_engine();
    queue_song(0);
}

// Runs the engine for `ms` of virtual time advanced in steps of `step` and
// returns what the card played.
std::vector<int16_t> play_for(int64_t ms, int64_t step) {
    virtual_soundtrack.clear();
    start_test_music();
    for (int64_t t = 0; t < ms * kMs; t += step) advance_virtual_clock(step);
    stop_audio_engine();
    return virtual_soundtrack;
}

TEST_F(AudioEngine, TheCardPlaysSilenceFor640MsThenRenderBlockOutputBlockByBlock) {
    std::vector<int16_t> played = play_for(3000, 16'666'667);
    ASSERT_GE(played.size(), (kSilentFrames + 25 * 3'528) * 2);
    for (size_t i = 0; i < kSilentFrames * 2; ++i) ASSERT_EQ(played[i], 0) << "value " << i;
    EXPECT_EQ(virtual_sound_underruns(), 0);

    // The same calls without the loops: every block render_block makes is
    // heard whole and in order.
    load_test_song();
    reset_replayer_for_start();
    ASSERT_TRUE(allocate_mixdown());
    queue_song(0);
    size_t blocks = (played.size() - kSilentFrames * 2) / kBlockValues;
    bool any_sound = false;
    for (size_t k = 0; k < blocks; ++k) {
        const int16_t* made = render_block(3'528);
        const int16_t* heard = played.data() + kSilentFrames * 2 + k * kBlockValues;
        for (size_t i = 0; i < kBlockValues; ++i) {
            ASSERT_EQ(heard[i], made[i]) << "block " << k << " value " << i;
            any_sound |= made[i] != 0;
        }
    }
    EXPECT_TRUE(any_sound);
    free_all_songs();
    free_mixdown();
}

TEST_F(AudioEngine, WhatIsHeardDoesNotDependOnHowTheMainThreadPassesTime) {
    // Two runs alike; then flips at 50 Hz, millisecond sleeps, one long wait:
    // the loops act at their own moments, so the sound is the same.
    const int64_t steps[] = {16'666'667, 16'666'667, 20 * kMs, kMs, 2500 * kMs};
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

TEST_F(AudioEngine, StopReturnsWhateverTheStreamingLoopWaitsFor) {
    struct Case {
        const char* what;
        int64_t ms;       // when the trouble starts
        bool hold_mixer;  // the mixing loop is held back: the block asked for never comes
        bool freeze;      // the device stops playing: the cursor never moves again
        StreamLoopState waiting;
    };
    const Case cases[] = {
        {"no block", 1000, true, false, StreamLoopState::wait_block},
        {"device stuck before it starts", 0, false, true, StreamLoopState::start_wait},
        {"device stuck in the start-up wait", 200, false, true, StreamLoopState::start_wait},
        {"device stuck while streaming", 1500, false, true, StreamLoopState::wait_room},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        start_test_music();
        advance_virtual_clock(c.ms * kMs);
        if (c.hold_mixer) delay_virtual_audio_loop(1, 500 * kMs);
        if (c.freeze) virtual_sound_play_cursor_pin = int32_t(virtual_sound_ring().read_position);
        advance_virtual_clock(200 * kMs);
        EXPECT_EQ(stream_loop_state, c.waiting);
        const int32_t row = SongRow.load(), tick = Tick;
        ASSERT_TRUE(stop_returns());
        EXPECT_EQ(exited_threads.load(), 2);
        if (c.hold_mixer) {  // the mixing loop saw the quit first and rendered nothing more
            EXPECT_EQ(SongRow.load(), row);
            EXPECT_EQ(Tick, tick);
        }
        virtual_sound_play_cursor_pin = -1;
    }
}

TEST_F(AudioEngine, StopFreesTheMixingResourcesTheRingAndTheSongs) {
    load_test_song();
    const std::vector<uint8_t> second = busy_module().bytes();
    load_song(second.data(), second.size());
    ASSERT_EQ(song_list.count, 2);
    start_audio_engine();
    EXPECT_NE(mix_block, nullptr);
    EXPECT_NE(virtual_sound_ring().ring, nullptr);
    advance_virtual_clock(1000 * kMs);
    stop_audio_engine();
    EXPECT_EQ(mix_block, nullptr);
    for (int16_t* buffer : channel_buffers) EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(virtual_sound_ring().ring, nullptr);
    EXPECT_FALSE(virtual_sound_ring_playing());
    EXPECT_EQ(song_list.count, 0);
    for (Song* song : song_list.songs) EXPECT_EQ(song, nullptr);
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

// The song's place in rows from the start, to compare runs by.
int32_t rows_played() {
    return SongPosition.load() * 64 + SongRow.load();
}

// The system gives no thread, or only one: the engine says so, leaves no
// loop running (the one that started ends, so a stop does not wait for
// ever), and a stop frees what it made.
TEST_F(AudioEngine, WithoutItsTwoThreadsTheEngineRefusesToStartAndLeavesNothingRunning) {
    for (int32_t given : {0, 1}) {
        SCOPED_TRACE(given);
        virtual_sound_threads_given = given;
        load_test_song();
        EXPECT_FALSE(start_audio_engine());
        EXPECT_EQ(exited_threads.load(), given);
        stop_audio_engine();
        EXPECT_EQ(mix_block, nullptr);
        EXPECT_EQ(song_list.count, 0);
        EXPECT_FALSE(stream_ring_exists);
    }
    virtual_sound_threads_given = 2;
    load_test_song();
    EXPECT_TRUE(start_audio_engine());
    stop_audio_engine();
}

// The rows of the song the picture is told are being heard.
int32_t rows_heard() {
    const SongPlace place = heard_song_place();
    return place.position * 64 + place.row;
}

// The device goes away 2 s in, or its cursor stops there without a word;
// sometimes a device comes back 2 s later. Each time the user hears of it
// in one line, and the song keeps the time an undisturbed card would give
// it: at 8 s it stands where it stands in a run without trouble, both as
// rendered and as the picture is told it is heard (a gone card hears
// nothing, so the heard place must run on the silent clock, and on a new
// card count on from there).
TEST_F(AudioEngine, ALostDeviceLeavesTheSongOnTimeAndComesBackWhenADeviceDoes) {
    constexpr int64_t kStep = 16'666'667;  // one video frame
    start_test_music();
    for (int64_t t = 0; t < 8000 * kMs; t += kStep) advance_virtual_clock(kStep);
    const int32_t undisturbed_rows = rows_played();
    const int32_t undisturbed_heard_rows = rows_heard();
    stop_audio_engine();

    struct Case {
        const char* what;
        bool removed;     // the device says it is gone; else only its cursor stops
        bool comes_back;  // a device can be opened again from 4 s on
    };
    const Case cases[] = {
        {"device removed", true, false},
        {"cursor stopped", false, false},
        {"device removed, another comes back", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reset_virtual_sound();
        reset_virtual_window();
        virtual_counter = 0;
        ASSERT_EQ(open_sound_device(nullptr), 1);
        start_test_music();
        int64_t t = 0;
        for (; t < 2000 * kMs; t += kStep) advance_virtual_clock(kStep);
        if (c.removed) {
            virtual_remove_sound_device();
        } else {
            virtual_sound_play_cursor_pin = int32_t(virtual_sound_ring().read_position);
            virtual_sound_device_count = 0;
        }
        const int64_t trouble_at = t;
        bool came_back = false;
        size_t heard_before_return = 0;
        for (; t < 8000 * kMs; t += kStep) {
            if (c.comes_back && !came_back && t >= 4000 * kMs) {
                virtual_sound_device_count = 1;
                heard_before_return = virtual_soundtrack.size();
                came_back = true;
            }
            advance_virtual_clock(kStep);
            // A cursor that stops is given a second before it counts as lost.
            if (t - trouble_at < 900 * kMs && !c.removed) {
                EXPECT_FALSE(playing_silently);
            }
        }
        EXPECT_STREQ(virtual_error_message,
                     c.comes_back ? "sound: a sound device is back; the sound goes on"
                                  : "sound: the sound device went away; the demo goes on "
                                    "without sound");
        EXPECT_NEAR(rows_played(), undisturbed_rows, 1);
        EXPECT_NEAR(rows_heard(), undisturbed_heard_rows, 1);
        EXPECT_EQ(playing_silently, !c.comes_back);
        if (c.comes_back) {
            // The new card plays the song again, not only silence.
            bool sound = false;
            for (size_t i = heard_before_return; i < virtual_soundtrack.size(); ++i) {
                sound = sound || virtual_soundtrack[i] != 0;
            }
            EXPECT_TRUE(sound);
            EXPECT_TRUE(virtual_sound_ring_playing());
        }
        ASSERT_TRUE(stop_returns());
        virtual_sound_play_cursor_pin = -1;
        close_sound_device();
    }
}

}  // namespace
