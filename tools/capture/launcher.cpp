// demo_capture [--pal] ...: runs demo_capture_pal (with --pal) or
// demo_capture_rgb from the same folder with the other arguments. Each
// program's pixel code is its own build, so one process cannot hold both.
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

#ifdef _WIN32
// Windows hands a child one command line, split again at spaces: an argument
// with a space goes in quotes.
std::string quoted(const char* arg) {
    if (!std::strchr(arg, ' ')) return arg;
    return std::string("\"") + arg + "\"";
}
#endif

}  // namespace

int main(int argc, char** argv) {
    std::string format = "rgb";
    std::vector<std::string> rest;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pal") == 0) {
            format = "pal";
        } else {
            rest.push_back(argv[i]);
        }
    }
    std::string self(argv[0]);
    size_t slash = self.find_last_of("/\\");
    std::string program =
        (slash == std::string::npos ? std::string("./") : self.substr(0, slash + 1)) +
        "demo_capture_" + format;
    std::vector<char*> args{program.data()};
    for (std::string& arg : rest) args.push_back(arg.data());
    args.push_back(nullptr);
#ifdef _WIN32
    // No exec on Windows: the child runs while this process waits for it.
    std::vector<std::string> quoted_args;
    for (char* arg : args) {
        if (arg) quoted_args.push_back(quoted(arg));
    }
    std::vector<const char*> child_args;
    for (const std::string& arg : quoted_args) child_args.push_back(arg.c_str());
    child_args.push_back(nullptr);
    intptr_t exit_code = _spawnv(_P_WAIT, program.c_str(), child_args.data());
    if (exit_code != -1) return int(exit_code);
#else
    execv(program.c_str(), args.data());
#endif
    std::fprintf(stderr, "demo_capture: cannot start %s; build the demo_capture_%s target\n",
                 program.c_str(), format.c_str());
    return 1;
}
