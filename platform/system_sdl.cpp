// The system seam on SDL: SDL's performance counter and SDL_Delay.
#include <SDL.h>

#include "platform/system.h"

int64_t query_performance_counter() {
    return int64_t(SDL_GetPerformanceCounter());
}
int64_t query_performance_frequency() {
    return int64_t(SDL_GetPerformanceFrequency());
}
void sleep_ms(uint32_t milliseconds) {
    SDL_Delay(milliseconds);
}
