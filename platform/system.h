// The system seam: the high-resolution counter and sleeping. One backend per
// platform (system_sdl.cpp, system_virtual.cpp, system_win32.cpp,
// system_web.cpp) provides these; portable code calls nothing else for time.
#pragma once
#include <cstdint>

int64_t query_performance_counter();
int64_t query_performance_frequency();
void sleep_ms(uint32_t milliseconds);
