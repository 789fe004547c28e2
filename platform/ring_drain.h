// The playing side of a looping ring, shared by the backends that keep the
// ring in memory themselves (SDL, virtual): the read position a card has
// reached, which frames were written since they were last played, and the
// underruns, reads that met a frame not written since it last played.
#pragma once
#include <cstdint>

#include "platform/sound_device.h"

struct RingDrain {
    uint8_t* ring = nullptr;   // the ring's bytes
    uint8_t* fresh = nullptr;  // one flag per 4-byte frame: written, not yet played
    uint32_t bytes = 0;
    uint32_t read_position = 0;  // the play cursor
    int64_t frames_read = 0;     // over every wrap since the ring was made
    int64_t underruns = 0;
};

// Allocates a silent ring of `bytes` bytes (a multiple of 4) with every frame
// stale; returns false when out of memory.
bool create_ring_drain(RingDrain* drain, uint32_t bytes);
void free_ring_drain(RingDrain* drain);
// Marks `bytes` bytes from `offset` (wrapping) as written.
void mark_ring_written(RingDrain* drain, uint32_t offset, uint32_t bytes);
// Plays `bytes` bytes (a multiple of 4) from the read position into `out`,
// wrapping, and moves the read position on. A read that meets any stale
// frame counts one underrun.
void drain_ring(RingDrain* drain, uint8_t* out, uint32_t bytes);
// The regions a lock of `bytes` bytes from `offset` hands out (the whole ring
// when `entire`), split where the span wraps; empty when there is no ring.
void regions_of_ring_drain(const RingDrain& drain, uint32_t offset, uint32_t bytes, bool entire,
                           SoundRegions* regions);
// Marks what an unlock hands back as written.
void mark_regions_written(RingDrain* drain, const SoundRegions& regions);
