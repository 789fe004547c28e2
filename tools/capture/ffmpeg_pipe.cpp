// ffmpeg as a child process with two pipes, and the poll loop that feeds
// them: a frame is written while whatever sound is queued flows too.
#include "tools/capture/ffmpeg_pipe.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <vector>

std::string ffmpeg_error;

namespace {

constexpr int kVideoPipeBytes = 1 << 20;  // two 640 x 480 pictures; the usual limit
constexpr int kSoundPipeBytes = 1 << 18;  // 1.5 s of sound
// ffmpeg runs at a lower priority. Where both processes want both cores,
// the demo's rendering (one thread, and the slower side in the heavy
// scenes) goes first; the encoder catches up from the pictures queued
// meanwhile. Where the system refuses, both run at the same priority.
constexpr int kEncoderNiceness = 10;

pid_t ffmpeg_pid = -1;
int video_fd = -1;
int sound_fd = -1;
std::vector<uint8_t> sound_pending;
size_t sound_sent = 0;  // bytes of sound_pending already written

// One non-blocking write of queued sound; false when the pipe is broken.
bool write_some_sound() {
    if (sound_sent == sound_pending.size()) return true;
    ssize_t n =
        write(sound_fd, sound_pending.data() + sound_sent, sound_pending.size() - sound_sent);
    if (n < 0) return errno == EAGAIN || errno == EINTR;
    sound_sent += size_t(n);
    // Drop what is written once it is all written, or once it is large.
    if (sound_sent == sound_pending.size() || sound_sent >= (size_t(1) << 20)) {
        sound_pending.erase(sound_pending.begin(), sound_pending.begin() + sound_sent);
        sound_sent = 0;
    }
    return true;
}

// Waits until one of the pipes can take bytes: the video pipe when
// `want_video`, the sound pipe when sound is queued.
bool wait_for_room(bool want_video, bool* video_ready) {
    pollfd fds[2] = {{want_video ? video_fd : -1, POLLOUT, 0},
                     {sound_sent < sound_pending.size() ? sound_fd : -1, POLLOUT, 0}};
    if (poll(fds, 2, -1) < 0) return errno == EINTR;
    for (const pollfd& p : fds) {
        if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) return false;
    }
    *video_ready = (fds[0].revents & POLLOUT) != 0;
    return (fds[1].revents & POLLOUT) == 0 || write_some_sound();
}

void close_fd(int* fd) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
}

}  // namespace

bool start_ffmpeg(const std::string& output, int32_t width, int32_t height, int32_t fps,
                  const EncoderSetting& encoding) {
    int video_pipe[2], sound_pipe[2];
    if (pipe(video_pipe) != 0 || pipe(sound_pipe) != 0) {
        ffmpeg_error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string rate = std::to_string(fps);
    std::vector<std::string> args = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-y"};
    auto add = [&args](std::initializer_list<std::string> more) { args.insert(args.end(), more); };
    // The inputs are fully described, so ffmpeg need not read ahead to learn
    // them: left to itself it reads seconds of sound before it takes any
    // more video, sound this program has not made yet.
    add({"-f", "rawvideo", "-pixel_format", "yuv420p", "-video_size", size, "-framerate", rate});
    add({"-probesize", "32", "-analyzeduration", "0", "-i", "pipe:0"});
    add({"-f", "s16le", "-ar", "44100", "-ac", "2"});
    add({"-probesize", "32", "-analyzeduration", "0", "-i", "pipe:3"});
    add({"-c:v", "libx264", "-preset", encoding.preset, "-crf", encoding.crf, "-pix_fmt",
         "yuv420p"});
    // The fast AAC coder takes half the time of the default at this rate
    // and keeps the sound at least as faithful (signal-to-noise against the
    // lossless soundtrack 32.7 dB, the default 29.9 dB).
    add({"-threads", "2", "-c:a", "aac", "-aac_coder", "fast", "-b:a", "192k"});
    // Bit-exact flags and no metadata: the same capture gives the same file.
    add({"-fflags", "+bitexact", "-flags:v", "+bitexact", "-flags:a", "+bitexact"});
    add({"-map_metadata", "-1", "-movflags", "+faststart", output});
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    // A child that cannot start ffmpeg tells the parent through this pipe.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return false;
    ffmpeg_pid = fork();
    if (ffmpeg_pid == 0) {
        dup2(video_pipe[0], 0);
        dup2(sound_pipe[0], 3);
        for (int fd : {video_pipe[0], video_pipe[1], sound_pipe[0], sound_pipe[1]}) {
            if (fd != 0 && fd != 3) close(fd);
        }
        (void)!nice(kEncoderNiceness);
        execvp("ffmpeg", argv.data());
        int error = errno;
        (void)!write(report[1], &error, sizeof error);
        _exit(127);
    }
    close(report[1]);
    close(video_pipe[0]);
    close(sound_pipe[0]);
    video_fd = video_pipe[1];
    sound_fd = sound_pipe[1];
    int error = 0;
    const bool exec_failed = read(report[0], &error, sizeof error) == sizeof error;
    close(report[0]);
    if (ffmpeg_pid < 0 || exec_failed) {
        ffmpeg_error = "cannot start ffmpeg (" + std::string(std::strerror(error)) +
                       "); install it (scripts/bootstrap does) or give a folder as -o to "
                       "write PNG frames and a WAV";
        close_fd(&video_fd);
        close_fd(&sound_fd);
        if (ffmpeg_pid > 0) waitpid(ffmpeg_pid, nullptr, 0);
        ffmpeg_pid = -1;
        return false;
    }
    signal(SIGPIPE, SIG_IGN);  // a broken pipe shows as a failed write instead
    // A pipe that holds a whole frame or more lets this program render the
    // next frame while ffmpeg reads the last; with the default 64 KB each
    // waits for the other. Where the system refuses, the default stays.
    fcntl(video_fd, F_SETPIPE_SZ, kVideoPipeBytes);
    fcntl(sound_fd, F_SETPIPE_SZ, kSoundPipeBytes);
    fcntl(video_fd, F_SETFL, O_NONBLOCK);
    fcntl(sound_fd, F_SETFL, O_NONBLOCK);
    return true;
}

bool send_video_frame(const uint8_t* yuv, size_t bytes) {
    size_t done = 0;
    while (done < bytes) {
        bool video_ready = false;
        if (!wait_for_room(true, &video_ready)) return false;
        if (!video_ready) continue;
        ssize_t n = write(video_fd, yuv + done, bytes - done);
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        if (n > 0) done += size_t(n);
    }
    return true;
}

int64_t offer_video_bytes(const uint8_t* yuv, size_t bytes) {
    if (!write_some_sound()) return -1;
    const ssize_t n = write(video_fd, yuv, bytes);
    if (n < 0) return errno == EAGAIN || errno == EINTR ? 0 : -1;
    return n;
}

void queue_sound(const int16_t* values, size_t count) {
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(values);
    sound_pending.insert(sound_pending.end(), bytes, bytes + count * sizeof(int16_t));
    write_some_sound();
}

bool finish_ffmpeg() {
    if (ffmpeg_pid < 0) return false;
    close_fd(&video_fd);
    bool ok = true;
    while (ok && sound_sent < sound_pending.size()) {
        bool unused = false;
        ok = wait_for_room(false, &unused);
    }
    close_fd(&sound_fd);
    int status = 0;
    waitpid(ffmpeg_pid, &status, 0);
    ffmpeg_pid = -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ffmpeg_error = "ffmpeg failed; its message is above";
        return false;
    }
    return ok;
}
