// What the virtual platform's ideal sound card offers tests and the capture
// tool: the soundtrack it played, its ring, and faults to inject. The card
// plays exactly 44,100 frames per second of virtual time from the moment the
// ring starts; nothing about it depends on the machine.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/ring_drain.h"

// Interleaved stereo the card has played, from the start of the ring on.
// Readers may take what they need and clear it.
extern std::vector<int16_t> virtual_soundtrack;

// Faults, back to their defaults with reset_virtual_sound().
extern int32_t virtual_sound_device_count;     // devices reported; 1
extern bool virtual_sound_refuse_open;         // the device does not open
extern bool virtual_sound_refuse_priority;     // priority level is refused
extern int32_t virtual_sound_lost_locks;       // the next n locks find the ring lost
extern int32_t virtual_sound_failed_locks;     // the next n locks fail outright
extern int32_t virtual_sound_play_cursor_pin;  // >= 0: the play cursor reads this value
extern int32_t virtual_sound_threads_given;    // audio loops that may start; 2

// The card goes away now, as a card unplugged or a sound server ended: it
// plays no more, its cursor stands still, sound_device_lost() says so, and
// the device count drops to 0. Setting virtual_sound_device_count back to 1
// lets a new device open.
void virtual_remove_sound_device();

// What the card saw.
extern int32_t virtual_sound_restores;  // restores asked for
bool virtual_sound_device_open();
bool virtual_sound_ring_playing();
const RingDrain& virtual_sound_ring();
int64_t virtual_sound_underruns();  // over every ring since the reset

// Holds audio loop `index` (0 streaming, 1 mixing) back so its next step
// comes no earlier than `counts` from now, like a thread left unscheduled.
void delay_virtual_audio_loop(int32_t index, int64_t counts);
// Closes the card and puts every value above back to its default.
void reset_virtual_sound();
