// What every tool does with what it is given on the command line: numbers
// that must be finite and inside the tool's limits, and input files that
// must be readable regular files of a sane size. Each check tells the user
// in one line what is wrong; the tool then exits with kExitRefused.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kExitRefused = 1;  // an input or a value the tool cannot use
constexpr int kExitUsage = 2;    // the command line itself is malformed

enum class NumberCheck { ok, not_a_number, out_of_range };

// Reads all of `text` as a decimal number; NaN and infinities are out of
// range, as is anything outside [low, high].
NumberCheck parse_bounded_number(const char* text, double low, double high, double* value);

// Reads `path` whole into `bytes`. A missing or unreadable file, a directory
// and a file above `max_bytes` are refused with one line on stderr that
// starts with `tool`.
bool read_input_file(const char* tool, const std::string& path, size_t max_bytes,
                     std::vector<uint8_t>* bytes);

// True when `argv` holds --help or -h.
bool help_asked(int argc, char** argv);
