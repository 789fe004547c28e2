#include "tests/replayer/engine_fixture.h"

namespace {

using SongControl = EngineTest;

TEST_F(SongControl, FadesTakeTenTicksAndThenEnd) {
    struct Case {
        int mode;
        float from, to;
    };
    for (const Case& c : {Case{1, 1.0f, 0.0f}, Case{2, 0.0f, 1.0f}}) {
        MasterVolume = c.from;
        set_fade_mode(c.mode);
        for (int t = 0; t < 9; ++t) apply_fade_command();
        EXPECT_NEAR(MasterVolume, c.to, 0.1001f) << c.mode;
        EXPECT_NE(MasterVolume, c.to) << c.mode;
        EXPECT_EQ(FadeMode, c.mode);
        apply_fade_command();
        EXPECT_EQ(MasterVolume, c.to) << c.mode;
        EXPECT_EQ(FadeMode, -1) << c.mode;
        apply_fade_command();
        EXPECT_EQ(MasterVolume, c.to) << c.mode;
    }
}

TEST_F(SongControl, SilenceAndFullVolumeActAtTheNextTickAndOtherModesWait) {
    set_fade_mode(3);
    apply_fade_command();
    EXPECT_EQ(MasterVolume, 0.0f);
    set_fade_mode(7);
    apply_fade_command();
    EXPECT_EQ(MasterVolume, 0.0f);
    EXPECT_EQ(FadeMode, 7);
    set_fade_mode(4);
    apply_fade_command();
    EXPECT_EQ(MasterVolume, 1.0f);
    EXPECT_EQ(FadeMode, -1);
}

TEST_F(SongControl, QueuingTheCurrentSongRestartsItWithStartTiming) {
    ModuleBuilder builder;
    builder.song_length = 2;
    builder.orders[1] = 1;
    builder.at(0, 0, 0) = {0, 0, 0xF, 0x81};
    builder.at(0, 1, 0) = {0, 0, 0xB, 1};
    builder.at(1, 0, 0) = {};
    start(builder);
    ticks(8);
    ASSERT_EQ(SongPosition, 1);
    queue_song(0);
    apply_song_switch();
    EXPECT_EQ(SongPosition, 0);
    EXPECT_EQ(SongRow, 0);
    EXPECT_EQ(Tick, 0);
    EXPECT_EQ(Speed, 6);
    EXPECT_EQ(TickRate, 50.0f);
    EXPECT_EQ(SamplesPerTick, 882);
    EXPECT_EQ(QueuedSong, -1);
    // An index that names no loaded song is dropped.
    queue_song(5);
    apply_song_switch();
    EXPECT_EQ(QueuedSong, -1);
    EXPECT_EQ(song_list.current, song_list.songs[0]);
}

TEST_F(SongControl, AnEndedSongLoopsOrGivesWayToTheNext) {
    for (int loop : {0, 1}) {
        for (int i = 0; i < 3; ++i) start(ModuleBuilder{});
        set_song_loop(loop);
        queue_song(2);
        apply_song_switch();
        Speed = 1;
        SongRow = 63;
        tick();
        EXPECT_EQ(song_list.song_ended, 1);
        apply_song_switch();
        EXPECT_EQ(song_list.current_index, loop == 1 ? 2 : 0);
        EXPECT_EQ(song_list.current, song_list.songs[song_list.current_index]);
        EXPECT_EQ(song_list.song_ended, 0);
        EXPECT_EQ(Speed, 6);
        free_all_songs();
    }
}

}  // namespace
