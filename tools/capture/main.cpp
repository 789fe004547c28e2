// demo_capture_rgb and demo_capture_pal: play the whole demo on the virtual
// platform and write it as a video with its soundtrack, through ffmpeg, or
// as PNG frames and a WAV when the output is a folder. The `demo_capture`
// launcher picks one of the two by --pal.
//
//   demo_capture_rgb|demo_capture_pal [--fps N] [--seconds S] [--quality fast|small]
//       -o FILE.mp4|FOLDER/
//   demo_capture_rgb|demo_capture_pal [--fps N] [--seconds S] --hash-only
//
// --seconds ends the capture after S seconds of demo (Escape then ends the
// demo quickly); --hash-only writes nothing. Progress goes to stderr; at the
// end the time taken and the hashes of the frames and of the soundtrack. The
// same program gives the same file, and the same hashes on every platform.
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <direct.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "platform/virtual_clock.h"
#include "platform/virtual_display.h"
#include "platform/virtual_sound.h"
#include "platform/virtual_window.h"
#include "replayer/replayer.h"
#include "scenes/scenes.h"
#include "shell/demo.h"
#include "tools/capture/ffmpeg_pipe.h"
#include "tools/capture/video_slots.h"
#include "tools/capture/yuv420.h"
#include "tools/common/arguments.h"
#include "tools/common/image_io.h"

namespace {

constexpr int64_t kSoundRate = 44'100;
// The virtual display's mode, which the video keeps.
constexpr int32_t kVideoWidth = 640;
constexpr int32_t kVideoHeight = 480;
// ffmpeg gets each video frame only once the sound is this many frames
// ahead of it, so it never waits for sound this program has not made yet.
constexpr size_t kVideoHeldBack = 30;
// Pictures that may wait for ffmpeg beyond those: 9 s of video at 60 fps,
// 250 MB.
constexpr size_t kVideoBacklog = 540;
// The demo renders one frame per video frame; below 1 there is no video,
// above 240 the capture takes hours for no visible gain.
constexpr double kMinFps = 1;
constexpr double kMaxFps = 240;
constexpr double kMinSeconds = 1;
constexpr double kMaxSeconds = 3600;  // longer than the demo: the whole of it

const char kUsage[] =
    "usage: demo_capture [--pal] [--fps N] [--seconds S] [--quality fast|small] "
    "-o FILE.mp4|FOLDER/ | --hash-only | --help\n";
const char kHelp[] =
    "demo_capture: plays the whole demo on the virtual platform and writes it.\n"
    "  --pal      capture demo_pal instead of demo_rgb\n"
    "  --fps N    video rate and render rate, a whole number from 1 to 240 (the\n"
    "             demo draws every frame; higher rates take hours for nothing)\n"
    "  --seconds S  end after S seconds of demo, a whole number from 1 to 3600\n"
    "  --quality fast|small  x264 ultrafast (default) or the slower, smaller file\n"
    "  -o FILE.mp4 through ffmpeg, or -o FOLDER/ for PNG frames and a WAV\n"
    "  --hash-only  write nothing; print the frame and soundtrack hashes\n"
    "Exit 0 written, 1 refused value or failed output, 2 malformed command line.\n";

struct Options {
    int32_t fps = 60;
    EncoderSetting encoding = kFastEncoding;
    std::string out;
    bool to_folder = false;
    bool hash_only = false;
    int64_t seconds = 0;  // 0: the whole demo
};

Options options;
VideoSlots slots;
bool output_failed = false;

std::deque<std::vector<uint8_t>> held_frames;  // slots not yet sent to ffmpeg
size_t front_bytes_sent = 0;                   // of held_frames.front(), already in the pipe
std::vector<std::vector<uint8_t>> spare_frames;
int64_t frames_written = 0;
WordHash frames_hash;  // of every slot of the video, in order

int64_t sound_frames_written = 0;  // silence before the music included
bool capture_over = false;         // --seconds reached: the rest is not captured
int64_t captured_until = 0;        // the virtual time the video and sound reach
bool music_started = false;
uint64_t soundtrack_hash = 0xcbf29ce484222325ull;
std::vector<int16_t> wav_sound;  // folder output: the whole sound

std::chrono::steady_clock::time_point started;
std::chrono::steady_clock::time_point last_progress;

void send_sound(const int16_t* values, size_t count) {
    if (options.hash_only) {
        // counted below, nothing written
    } else if (options.to_folder) {
        wav_sound.insert(wav_sound.end(), values, values + count);
    } else {
        queue_sound(values, count);
    }
    sound_frames_written += int64_t(count / 2);
}

void send_silence(int64_t frames) {
    static const std::vector<int16_t> silence(2 * 4096, 0);
    while (frames > 0) {
        const int64_t n = std::min<int64_t>(frames, 4096);
        send_sound(silence.data(), size_t(n) * 2);
        frames -= n;
    }
}

// Silence until the music starts, then what the card has played: the sound
// stays in step with virtual time, frame for frame of the card. At the end
// of a short capture (`cut`) the sound played past `now` is left out.
void send_sound_until(int64_t now, bool cut = false) {
    const int64_t due = now * kSoundRate / kVirtualCounterFrequency;
    if (!music_started) {
        if (virtual_soundtrack.empty()) {
            send_silence(due - sound_frames_written);
            return;
        }
        music_started = true;
        send_silence(due - int64_t(virtual_soundtrack.size() / 2) - sound_frames_written);
    }
    size_t values = virtual_soundtrack.size();
    if (cut) {
        const int64_t frames_due = std::max<int64_t>(due - sound_frames_written, 0);
        values = std::min(values, size_t(frames_due) * 2);
    }
    soundtrack_hash = fnv1a64(virtual_soundtrack.data(), values * 2, soundtrack_hash);
    send_sound(virtual_soundtrack.data(), values);
    virtual_soundtrack.clear();
}

// Hands ffmpeg the held pictures older than the newest `keep`. What the
// pipe takes without waiting goes now and the rest waits for the next
// frame, so the demo renders on while the encoder is busy and the encoder
// works through the backlog while a heavy scene renders; only beyond
// kVideoBacklog waiting pictures, or at the end (`keep` 0), this waits.
void send_held_frames(size_t keep) {
    while (held_frames.size() > keep && !output_failed) {
        std::vector<uint8_t>& picture = held_frames.front();
        const uint8_t* rest = picture.data() + front_bytes_sent;
        const size_t rest_bytes = picture.size() - front_bytes_sent;
        if (keep == 0 || held_frames.size() > keep + kVideoBacklog) {
            output_failed = !send_video_frame(rest, rest_bytes);
        } else {
            const int64_t sent = offer_video_bytes(rest, rest_bytes);
            output_failed = sent < 0;
            if (sent >= 0 && size_t(sent) < rest_bytes) {
                front_bytes_sent += size_t(sent);
                return;
            }
        }
        front_bytes_sent = 0;
        spare_frames.push_back(std::move(picture));
        held_frames.pop_front();
    }
}

void write_slot(const uint8_t* rgb, int64_t slot) {
    const size_t bytes = slots.screen.size();
    hash_words(&frames_hash, rgb, bytes);
    ++frames_written;
    if (options.hash_only) return;
    if (options.to_folder) {
        char path[1024];
        std::snprintf(path, sizeof path, "%s/frame_%06lld.png", options.out.c_str(),
                      static_cast<long long>(slot));
        if (!write_png_rgb(path, kVideoWidth, kVideoHeight, rgb)) output_failed = true;
        return;
    }
    std::vector<uint8_t> picture;
    if (!spare_frames.empty()) {
        picture = std::move(spare_frames.back());
        spare_frames.pop_back();
    }
    picture.resize(yuv420_bytes(kVideoWidth, kVideoHeight));
    rgb_to_yuv420(rgb, kVideoWidth, kVideoHeight, picture.data());
    held_frames.push_back(std::move(picture));
}

// Rewritten in place four times a second on a terminal; a line every five
// seconds into a log.
void show_progress(bool last) {
    static const bool terminal = isatty(2);
    const auto now = std::chrono::steady_clock::now();
    const auto interval = std::chrono::milliseconds(terminal ? 250 : 5000);
    if (!last && now - last_progress < interval) return;
    last_progress = now;
    const double real = std::chrono::duration<double>(now - started).count();
    const double demo = double(virtual_counter) / double(kVirtualCounterFrequency);
    std::fprintf(stderr,
                 "\r%-11s  position %2d row %2d  frames %6lld  %5.1f s of demo  %4.1fx real time",
                 demo_phase_name(demo_phase), SongPosition.load(), SongRow.load(),
                 static_cast<long long>(frames_written), demo, real > 0 ? demo / real : 0.0);
    if (last || !terminal) std::fputc('\n', stderr);
}

bool finish_output();

// Where a short capture ends on the virtual clock. The flip that passes it
// can come much later, after a wait in which the demo did not flip.
int64_t capture_end() {
    return options.seconds * kVirtualCounterFrequency;
}

// Past the end of a short capture every frame presses Escape, which ends the
// phases one after another; nothing more is captured.
void capture_frame(const PresentedFrame& frame) {
    if (capture_over) {
        virtual_soundtrack.clear();
        virtual_press_key(key_escape);
        return;
    }
    if (options.seconds > 0 && virtual_counter >= capture_end()) {
        if (!finish_output()) output_failed = true;
        capture_over = true;
        virtual_press_key(key_escape);
        return;
    }
    send_sound_until(virtual_counter);
    feed_presented_frame(&slots, frame, virtual_counter);
    send_held_frames(kVideoHeldBack);
    show_progress(false);
}

// A whole number from low to high after an option: kExitUsage when it is
// not a number, kExitRefused (having said why) when it is out of its limits.
int take_whole_number(const char* option, const char* text, double low, double high,
                      int64_t* value) {
    double number = 0;
    NumberCheck check = parse_bounded_number(text, low, high, &number);
    if (check == NumberCheck::not_a_number || number != std::floor(number)) return kExitUsage;
    if (check == NumberCheck::out_of_range) {
        std::fprintf(stderr, "%s: %s %s is outside %g to %g; see --help.\n", kProgramName, option,
                     text, low, high);
        return kExitRefused;
    }
    *value = int64_t(number);
    return 0;
}

// kExitUsage for a malformed command line, kExitRefused (having said why)
// for a value out of its limits, else 0.
int parse(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--hash-only") {
            options.hash_only = true;
            continue;
        }
        if (i + 1 == argc) return kExitUsage;
        const char* value = argv[++i];
        int64_t number = 0;
        int refused = 0;
        if (arg == "--fps") {
            refused = take_whole_number("--fps", value, kMinFps, kMaxFps, &number);
            options.fps = int32_t(number);
        } else if (arg == "--seconds") {
            refused = take_whole_number("--seconds", value, kMinSeconds, kMaxSeconds, &number);
            options.seconds = number;
        } else if (arg == "--quality") {
            const std::string quality = value;
            if (quality == kFastEncoding.name) {
                options.encoding = kFastEncoding;
            } else if (quality == kSmallEncoding.name) {
                options.encoding = kSmallEncoding;
            } else {
                return kExitUsage;
            }
        } else if (arg == "-o") {
            options.out = value;
        } else {
            return kExitUsage;
        }
        if (refused != 0) return refused;
    }
    // Exactly one of a file or folder and --hash-only.
    return options.hash_only == options.out.empty() ? 0 : kExitUsage;
}

bool make_folder(const std::string& path) {
#ifdef _WIN32
    return _mkdir(path.c_str()) == 0;
#else
    return mkdir(path.c_str(), 0777) == 0;
#endif
}

// A folder is an existing directory or a name ending in '/', made if missing.
bool choose_output() {
    if (options.hash_only) return true;
    struct stat info;
    const bool is_directory = stat(options.out.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    options.to_folder = is_directory || options.out.back() == '/';
    if (options.to_folder && !is_directory && !make_folder(options.out)) {
        std::fprintf(stderr, "%s: cannot make the folder %s; check the path\n", kProgramName,
                     options.out.c_str());
        return false;
    }
    if (!options.to_folder &&
        !start_ffmpeg(options.out, kVideoWidth, kVideoHeight, options.fps, options.encoding)) {
        std::fprintf(stderr, "%s: %s\n", kProgramName, ffmpeg_error.c_str());
        return false;
    }
    return true;
}

// Once: at the end of the demo, or earlier at the end of a short capture.
bool finish_output() {
    if (capture_over) return !output_failed;
    const bool short_capture = options.seconds > 0 && virtual_counter >= capture_end();
    const int64_t end = short_capture ? capture_end() : virtual_counter;
    captured_until = end;
    send_sound_until(end, short_capture);
    finish_video_slots(&slots, end);
    if (options.hash_only) return true;
    if (options.to_folder) {
        const std::string wav = options.out + "/soundtrack.wav";
        return !output_failed &&
               write_wav_16(wav, int(kSoundRate), 2, wav_sound.data(), wav_sound.size() / 2);
    }
    send_held_frames(0);
    const bool ok = finish_ffmpeg() && !output_failed;
    if (!ok) std::fprintf(stderr, "%s: %s\n", kProgramName, ffmpeg_error.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (help_asked(argc, argv)) {
        std::printf("%s%s", kUsage, kHelp);
        return 0;
    }
    const int refused = parse(argc, argv);
    if (refused == kExitUsage) std::fprintf(stderr, "%s", kUsage);
    if (refused != 0) return refused;
    if (!choose_output()) return 1;
    slots.rate = options.fps;
    slots.write = write_slot;
    virtual_refresh_rate = options.fps;
    virtual_frame_sink = capture_frame;
    started = last_progress = std::chrono::steady_clock::now();

    const int exit_code = demo_main(10);
    const bool written = finish_output();
    show_progress(true);

    const double real =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const double demo = double(captured_until) / double(kVirtualCounterFrequency);
    std::printf("%s: %lld frames at %d fps and %.1f s of sound written to %s\n", kProgramName,
                static_cast<long long>(frames_written), options.fps,
                double(sound_frames_written) / double(kSoundRate),
                options.hash_only ? "no file (hashes only)" : options.out.c_str());
    std::printf("%s: %.1f s of demo captured in %.1f s, %.2fx real time\n", kProgramName, demo,
                real, demo / real);
    std::printf("frames hash %s\nsoundtrack hash %s\n", hex64(word_hash_value(frames_hash)).c_str(),
                hex64(soundtrack_hash).c_str());
    return exit_code != 0 ? exit_code : (written ? 0 : 1);
}
