// frame --format rgb|pal ...: runs frame_rgb or frame_pal from the same
// folder with the other arguments. Each program's pixel code is its own
// build, so one process cannot hold both.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::string format;
    std::vector<char*> args(1);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--format") == 0 && i + 1 < argc) {
            format = argv[++i];
        } else {
            args.push_back(argv[i]);
        }
    }
    if (format != "rgb" && format != "pal") {
        std::fprintf(stderr,
                     "usage: frame --format rgb|pal --list a|b|c [--key K] [--at S (0..299)] "
                     "[--wave P] [--camera A,B,C,X,Y,Z] -o OUT\n");
        return 2;
    }
    std::string self(argv[0]);
    size_t slash = self.rfind('/');
    std::string program =
        (slash == std::string::npos ? std::string("./") : self.substr(0, slash + 1)) + "frame_" +
        format;
    args[0] = program.data();
    args.push_back(nullptr);
    execv(program.c_str(), args.data());
    std::fprintf(stderr, "frame: cannot start %s; build the frame_%s target\n", program.c_str(),
                 format.c_str());
    return 1;
}
