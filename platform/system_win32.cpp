// The system seam on Windows: the performance counter and Sleep. The timer
// period is set to 1 ms for the run by the entry point, so Sleep(1) waits
// about a millisecond instead of a whole scheduler tick.
#include <windows.h>

#include "platform/system.h"

int64_t query_performance_counter() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

int64_t query_performance_frequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

void sleep_ms(uint32_t milliseconds) {
    Sleep(milliseconds);
}
