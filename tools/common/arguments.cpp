// Number and input-file checks shared by the tools.
#include "tools/common/arguments.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

NumberCheck parse_bounded_number(const char* text, double low, double high, double* value) {
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text, &end);
    if (end == text || *end != '\0') return NumberCheck::not_a_number;
    // strtod gives +-HUGE_VAL with ERANGE for 1e999; isfinite catches it too.
    if (!std::isfinite(parsed) || parsed < low || parsed > high) return NumberCheck::out_of_range;
    *value = parsed;
    return NumberCheck::ok;
}

bool read_input_file(const char* tool, const std::string& path, size_t max_bytes,
                     std::vector<uint8_t>* bytes) {
    const char* name = path.c_str();
    struct stat info;
    if (stat(name, &info) != 0) {
        std::fprintf(stderr, "%s: cannot read %s (%s); check the path.\n", tool, name,
                     std::strerror(errno));
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        std::fprintf(stderr, "%s: %s is a directory; give a file.\n", tool, name);
        return false;
    }
    if (!S_ISREG(info.st_mode) || uint64_t(info.st_size) > max_bytes) {
        std::fprintf(stderr, "%s: %s is not a regular file of at most %zu bytes.\n", tool, name,
                     max_bytes);
        return false;
    }
    std::FILE* file = std::fopen(name, "rb");
    if (!file) {
        std::fprintf(stderr, "%s: cannot read %s (%s); check its permissions.\n", tool, name,
                     std::strerror(errno));
        return false;
    }
    bytes->resize(size_t(info.st_size));
    const size_t got = std::fread(bytes->data(), 1, bytes->size(), file);
    const bool failed = std::ferror(file) != 0 || got != bytes->size();
    std::fclose(file);
    if (failed) {
        std::fprintf(stderr, "%s: reading %s failed part way; check the disk.\n", tool, name);
        return false;
    }
    return true;
}

bool help_asked(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
    }
    return false;
}
