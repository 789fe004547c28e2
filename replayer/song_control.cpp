// Song control. Owns MasterVolume, FadeMode, QueuedSong and SongLoop: the
// commands the timeline gives, the fade step run before every tick, the song
// switch run after every tick, and the replayer's start state.
#include "replayer/channel.h"
#include "replayer/replayer.h"
#include "replayer/tick_places.h"

float MasterVolume = 1.0f;
std::atomic<int32_t> FadeMode{int32_t(FadeCommand::none)};
std::atomic<int32_t> QueuedSong{kNoSongQueued};
std::atomic<int32_t> SongLoop{0};

namespace {

constexpr std::memory_order relaxed = std::memory_order_relaxed;
constexpr float FadeStep = 0.1f;
constexpr float MasterVolumeMax = 1.0f;

// Clears a carried-out command unless a new one has been given meanwhile.
void finish_command(std::atomic<int32_t>& command, int32_t done, int32_t none) {
    command.compare_exchange_strong(done, none, relaxed);
}

void finish_fade_command(int32_t done) {
    finish_command(FadeMode, done, int32_t(FadeCommand::none));
}

void restart_song_timing() {
    TickRate = kStartTickRate;
    SamplesPerTick = kStartSamplesPerTick;
    reset_channels();
    Speed = kStartSpeed;
}

void rewind_song() {
    SongPosition.store(0, relaxed);
    SongRow.store(0, relaxed);
    Tick = 0;
    song_list.song_ended = 0;
}

}  // namespace

void set_fade_mode(FadeCommand command) {
    FadeMode.store(int32_t(command), relaxed);
}
void queue_song(int32_t index) {
    QueuedSong.store(index, relaxed);
}
void set_song_loop(int32_t flag) {
    SongLoop.store(flag, relaxed);
}

// A fade of 0.1 a tick takes 10 ticks each way in single precision.
void apply_fade_command() {
    const int32_t mode = FadeMode.load(relaxed);
    switch (FadeCommand(mode)) {
        case FadeCommand::fade_out:
            MasterVolume -= FadeStep;
            if (MasterVolume < 0.0f) {
                MasterVolume = 0.0f;
                finish_fade_command(mode);
            }
            break;
        case FadeCommand::fade_in:
            MasterVolume += FadeStep;
            if (MasterVolume > MasterVolumeMax) {
                MasterVolume = MasterVolumeMax;
                finish_fade_command(mode);
            }
            break;
        case FadeCommand::silence:
            MasterVolume = 0.0f;
            finish_fade_command(mode);
            break;
        case FadeCommand::full_volume:
            MasterVolume = MasterVolumeMax;
            finish_fade_command(mode);
            break;
        default:
            break;
    }
    if (MasterVolume > MasterVolumeMax) MasterVolume = MasterVolumeMax;
}

// The switch keeps the loop and delay counters, the channels' volumes and
// effect memories, and the old song's frames already rendered.
void apply_song_switch() {
    if (song_list.songs_loaded != 1) return;
    const int32_t queued = QueuedSong.load(relaxed);
    if (queued != kNoSongQueued) {
        finish_command(QueuedSong, queued, kNoSongQueued);
        // A queued index that names no loaded song is dropped.
        if (queued >= 0 && queued < song_list.count) {
            restart_song_timing();
            song_list.current_index = queued;
            song_list.current = song_list.songs[queued];
            rewind_song();
            return;
        }
    }
    if (song_list.song_ended == 1) {
        restart_song_timing();
        if (SongLoop.load(relaxed) != 1) {
            song_list.current_index = (song_list.current_index + 1) % song_list.count;
        }
        song_list.current = song_list.songs[song_list.current_index];
        rewind_song();
    }
}

void reset_replayer_for_start() {
    PendingFrames = 0;
    reset_tick_places();
    restart_song_timing();
    song_list.song_ended = 0;
    SongPosition.store(0, relaxed);
    SongRow.store(0, relaxed);
    Tick = 0;
    QueuedSong.store(kNoSongQueued, relaxed);
}
