// Reads raw 44,100 Hz 16-bit little-endian stereo (a recording of the sound
// device) and prints how long it is, how loud it gets and when the first
// sound comes: "seconds=.. peak=.. rms=.. first_sound_ms=..". Exit 1 when
// the file cannot be read, 2 for a malformed command line.
#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pcm_level RECORDING.raw\n");
        return 2;
    }
    // A directory opens for reading on Linux and reads as nothing.
    struct stat info;
    std::FILE* file = nullptr;
    if (stat(argv[1], &info) == 0 && !S_ISDIR(info.st_mode)) file = std::fopen(argv[1], "rb");
    if (!file) {
        std::fprintf(stderr, "pcm_level: cannot read %s as a recording; check the path\n", argv[1]);
        return 1;
    }
    int64_t values = 0, first = -1;
    int32_t peak = 0;
    double energy = 0;
    uint8_t bytes[2];
    while (std::fread(bytes, 1, 2, file) == 2) {
        int32_t v = int16_t(uint16_t(bytes[0] | bytes[1] << 8));
        int32_t magnitude = v < 0 ? -v : v;
        if (magnitude > peak) peak = magnitude;
        if (magnitude != 0 && first < 0) first = values;
        energy += double(v) * v;
        ++values;
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        std::fprintf(stderr, "pcm_level: reading %s failed part way\n", argv[1]);
        return 1;
    }
    double rms = values ? std::sqrt(energy / double(values)) : 0;
    std::printf("seconds=%.3f peak=%d rms=%.1f first_sound_ms=%.1f\n", double(values) / 88'200,
                peak, rms, first < 0 ? -1.0 : double(first) / 88.2);
    return 0;
}
