// The playing side of a looping ring: reads that wrap, freshness flags per
// frame and the underrun count. The caller serialises writers and readers.
#include "platform/ring_drain.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

bool create_ring_drain(RingDrain* drain, uint32_t bytes) {
    drain->ring = static_cast<uint8_t*>(std::calloc(bytes, 1));
    drain->fresh = static_cast<uint8_t*>(std::calloc(bytes / 4, 1));
    drain->bytes = bytes;
    drain->read_position = 0;
    drain->frames_read = 0;
    drain->underruns = 0;
    if (drain->ring && drain->fresh) return true;
    free_ring_drain(drain);
    return false;
}

void free_ring_drain(RingDrain* drain) {
    std::free(drain->ring);
    std::free(drain->fresh);
    *drain = RingDrain{};
}

void mark_ring_written(RingDrain* drain, uint32_t offset, uint32_t bytes) {
    uint32_t frames = drain->bytes / 4;
    uint32_t frame = offset / 4;
    for (uint32_t n = bytes / 4; n > 0; --n) {
        drain->fresh[frame] = 1;
        if (++frame == frames) frame = 0;
    }
}

void drain_ring(RingDrain* drain, uint8_t* out, uint32_t bytes) {
    drain->frames_read += bytes / 4;
    bool stale = false;
    while (bytes > 0) {
        uint32_t span = std::min(bytes, drain->bytes - drain->read_position);
        std::memcpy(out, drain->ring + drain->read_position, span);
        uint8_t* flags = drain->fresh + drain->read_position / 4;
        for (uint32_t f = 0; f < span / 4; ++f) {
            stale |= flags[f] == 0;
            flags[f] = 0;
        }
        out += span;
        bytes -= span;
        drain->read_position += span;
        if (drain->read_position == drain->bytes) drain->read_position = 0;
    }
    if (stale) ++drain->underruns;
}

void regions_of_ring_drain(const RingDrain& drain, uint32_t offset, uint32_t bytes, bool entire,
                           SoundRegions* regions) {
    *regions = SoundRegions{};
    if (!drain.ring) return;
    if (entire) {
        offset = 0;
        bytes = drain.bytes;
    }
    regions->first = drain.ring + offset;
    regions->first_bytes = std::min(bytes, drain.bytes - offset);
    if (bytes > regions->first_bytes) {
        regions->second = drain.ring;
        regions->second_bytes = bytes - regions->first_bytes;
    }
}

void mark_regions_written(RingDrain* drain, const SoundRegions& regions) {
    if (!drain->ring) return;
    if (regions.first) {
        mark_ring_written(drain, uint32_t(regions.first - drain->ring), regions.first_bytes);
    }
    if (regions.second) mark_ring_written(drain, 0, regions.second_bytes);
}
