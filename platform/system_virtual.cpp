// The system seam on the virtual platform: a counter that reads virtual time,
// and sleeps that advance it instead of waiting.
#include "platform/system.h"
#include "platform/virtual_clock.h"

int64_t virtual_counter = 0;
void (*on_virtual_time_advanced)(int64_t now) = nullptr;

void advance_virtual_clock(int64_t counts) {
    virtual_counter += counts;
    if (on_virtual_time_advanced) on_virtual_time_advanced(virtual_counter);
}

int64_t query_performance_counter() {
    return virtual_counter;
}
int64_t query_performance_frequency() {
    return kVirtualCounterFrequency;
}
void sleep_ms(uint32_t milliseconds) {
    advance_virtual_clock(int64_t(milliseconds) * 1'000'000);
}
