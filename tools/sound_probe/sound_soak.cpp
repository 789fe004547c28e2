// Runs the threaded audio engine on the SDL platform for a number of seconds
// (first argument, default 3) while the main thread does to the music what
// the demo's main thread does: reads the song clock, published and heard,
// and steers fades and song restarts. Meant for SDL's dummy audio driver under ThreadSanitizer;
// exits non-zero when the song clock stalls.
#include <cstdio>
#include <cstdlib>

#include "platform/system.h"
#include "sound/audio_engine.h"
#include "sound/heard_song.h"
#include "sound/stream_ring.h"
#include "tools/sound_probe/test_song.h"

namespace {
// A soak longer than a day is a slip on the command line, not a plan.
constexpr long kMaxSeconds = 86'400;
}  // namespace

int main(int argc, char** argv) {
    long seconds = 3;
    if (argc > 2) {
        std::fprintf(stderr, "usage: sound_soak [SECONDS]\n");
        return 2;
    }
    if (argc == 2) {
        char* end = nullptr;
        seconds = std::strtol(argv[1], &end, 10);
        if (end == argv[1] || *end != '\0') {
            std::fprintf(stderr, "usage: sound_soak [SECONDS]\n");
            return 2;
        }
        if (seconds < 1 || seconds > kMaxSeconds) {
            std::fprintf(stderr, "sound_soak: %s seconds is outside 1 to 86400 (a day)\n", argv[1]);
            return 1;
        }
    }
    if (open_sound_device(nullptr) != 1) {
        std::fprintf(stderr, "%s\n", sound_device_error());
        return 1;
    }
    load_test_song();
    if (!start_audio_engine()) {
        std::fprintf(stderr, "sound_soak: the sound engine cannot start (no memory or thread)\n");
        stop_audio_engine();
        close_sound_device();
        return 1;
    }
    queue_song(0);
    int64_t frequency = query_performance_frequency();
    int64_t start = query_performance_counter();
    int rows_seen = 0, last_row = -1, polls = 0;
    int heard_rows = 0, last_heard = -1;
    while (query_performance_counter() - start < int64_t(seconds) * frequency) {
        sleep_ms(5);
        int row = SongPosition.load() * 64 + SongRow.load();
        if (row != last_row) ++rows_seen;
        last_row = row;
        const SongPlace heard = heard_song_place();
        if (heard.position * 64 + heard.row != last_heard) ++heard_rows;
        last_heard = heard.position * 64 + heard.row;
        ++polls;
        if (polls % 40 == 0)
            set_fade_mode(polls % 80 == 0 ? FadeCommand::fade_in : FadeCommand::fade_out);
        if (polls % 700 == 0) queue_song(0);
    }
    set_fade_mode(FadeCommand::silence);
    stop_audio_engine();
    close_sound_device();
    // A row lasts 120 ms at the start-up speed; rendering runs up to 400 ms
    // ahead of the sound, which starts after 640 ms.
    int64_t expected = (int64_t(seconds) * 1000 - 640) / 120;
    std::printf("%ld seconds, %d rows seen, %d heard\n", seconds, rows_seen, heard_rows);
    if (rows_seen < expected / 2 || heard_rows < expected / 2) {
        std::fprintf(stderr,
                     "the song clock stalled: %d rows seen and %d heard, about %lld expected\n",
                     rows_seen, heard_rows, static_cast<long long>(expected));
        return 1;
    }
    return 0;
}
