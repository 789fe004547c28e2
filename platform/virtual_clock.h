// The virtual platform's clock: time moves only when the program flips a
// frame or sleeps. Counter units are nanoseconds.
#pragma once
#include <cstdint>

constexpr int64_t kVirtualCounterFrequency = 1'000'000'000;

extern int64_t virtual_counter;  // the counter value now

// Moves virtual time forward and lets the devices that follow it (the ideal
// sound card, the audio loops) catch up.
void advance_virtual_clock(int64_t counts);
// Set by the virtual sound device; called after every advance.
extern void (*on_virtual_time_advanced)(int64_t now);
