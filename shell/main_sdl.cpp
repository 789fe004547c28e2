// The SDL entry point of demo_rgb and demo_pal: it stands where the Windows
// entry point stands, and hands over to demo_main.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include "shell/demo.h"

int main(int, char**) {
    SDL_SetMainReady();
    // Ctrl+C and kill end the program at once, as they do any other; left to
    // SDL they would become a close request, which only ends the current scene.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Subsystems are started by the devices that need them; this only makes
    // SDL ready, and SDL_Quit closes whatever they left open.
    SDL_Init(0);
    int exit_code = demo_main(10);  // show the window the default way
    SDL_Quit();
    return exit_code;
}
