// demo_capture [--pal] ...: runs demo_capture_pal (with --pal) or
// demo_capture_rgb from the same folder with the other arguments. Each
// program's pixel code is its own build, so one process cannot hold both.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::string format = "rgb";
    std::vector<char*> args(1);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pal") == 0) {
            format = "pal";
        } else {
            args.push_back(argv[i]);
        }
    }
    std::string self(argv[0]);
    size_t slash = self.rfind('/');
    std::string program =
        (slash == std::string::npos ? std::string("./") : self.substr(0, slash + 1)) +
        "demo_capture_" + format;
    args[0] = program.data();
    args.push_back(nullptr);
    execv(program.c_str(), args.data());
    std::fprintf(stderr, "demo_capture: cannot start %s; build the demo_capture_%s target\n",
                 program.c_str(), format.c_str());
    return 1;
}
