#include "tests/replayer/engine_fixture.h"

namespace {

using SongControl = EngineTest;

TEST_F(SongControl, FadesTakeTenTicksAndOtherModesActAtOnceOrWait) {
    constexpr int32_t kNone = int32_t(FadeCommand::none);
    for (FadeCommand fade : {FadeCommand::fade_out, FadeCommand::fade_in}) {
        const float from = fade == FadeCommand::fade_out ? 1.0f : 0.0f;
        const float to = 1.0f - from;
        MasterVolume = from;
        set_fade_mode(fade);
        for (int t = 0; t < 9; ++t) apply_fade_command();
        EXPECT_NEAR(MasterVolume, to, 0.1001f) << int(fade);
        EXPECT_NE(MasterVolume, to) << int(fade);
        apply_fade_command();
        EXPECT_EQ(MasterVolume, to) << int(fade);
        EXPECT_EQ(FadeMode, kNone) << int(fade);
    }
    struct Step {
        FadeCommand command;
        float volume;
        int32_t pending;
    };
    const FadeCommand unnamed = FadeCommand(7);
    for (const Step& s : {Step{FadeCommand::silence, 0.0f, kNone}, Step{unnamed, 0.0f, 7},
                          Step{FadeCommand::full_volume, 1.0f, kNone}}) {
        set_fade_mode(s.command);
        apply_fade_command();
        EXPECT_EQ(MasterVolume, s.volume) << int(s.command);
        EXPECT_EQ(FadeMode, s.pending) << int(s.command);
    }
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
    EXPECT_EQ(SongPosition + SongRow + Tick, 0);
    EXPECT_EQ(Speed, 6);
    EXPECT_EQ(TickRate, 50.0f);
    EXPECT_EQ(SamplesPerTick, 882);
    EXPECT_EQ(QueuedSong, kNoSongQueued);
    queue_song(5);  // names no loaded song: dropped
    apply_song_switch();
    EXPECT_EQ(QueuedSong, kNoSongQueued);
    EXPECT_EQ(song_list.current, song_list.songs[0]);
}

TEST_F(SongControl, AnEndedSongLoopsOrGivesWayToTheNext) {
    for (int loop : {0, 1}) {
        start(ModuleBuilder{});
        const std::vector<uint8_t> bytes = ModuleBuilder{}.bytes();
        load_song(bytes.data(), bytes.size());
        load_song(bytes.data(), bytes.size());
        set_song_loop(loop);
        queue_song(2);
        apply_song_switch();
        Speed = 1;
        SongRow = 63;
        ticks(1);
        EXPECT_EQ(song_list.song_ended, 1);
        apply_song_switch();
        EXPECT_EQ(song_list.current_index, loop == 1 ? 2 : 0);
        EXPECT_EQ(song_list.current, song_list.songs[song_list.current_index]);
        EXPECT_EQ(song_list.song_ended, 0);
        EXPECT_EQ(Speed, 6);
    }
}

}  // namespace
