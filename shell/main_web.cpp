// The browser's entry point of demo_rgb and demo_pal: the page loads the
// program after the start click (sound needs the user's gesture, and the
// page has made the audio context in it), and the program hands over to
// demo_main. Its blocking loops run through Asyncify: every flip and sleep
// gives the browser its turn. The page hears when the demo has ended.
#include <emscripten.h>

#include "shell/demo.h"

namespace {
// clang-format off
EM_JS(void, tell_page_demo_ended, (int exit_code), {
    if (Module.demoEnded) Module.demoEnded(exit_code);
});
// clang-format on
}  // namespace

int main() {
    const int exit_code = demo_main(10);  // show the window the default way
    tell_page_demo_ended(exit_code);
    return exit_code;
}
