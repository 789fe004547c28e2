// The play cursor of a looping ring counted with its wraps, for a backend
// whose device reports only the cursor (DirectSound): how many bytes have
// been played since the ring started, and whether a block came too late,
// after the cursor had already played its place. Not thread-safe: the
// backend guards it.
#pragma once
#include <cstdint>

struct PlayedCount {
    uint32_t ring_bytes = 0;
    uint32_t last_cursor = 0;
    uint64_t played = 0;       // bytes played since the ring started
    uint64_t block_start = 0;  // where the block noted last is heard, in played bytes
    int64_t underruns = 0;
};

// A ring of silence that has not started: the first block, written at
// offset 0, is heard after one whole turn of that silence.
inline void start_played_count(PlayedCount* count, uint32_t ring_bytes) {
    *count = PlayedCount{ring_bytes, 0, 0, ring_bytes, 0};
}

// Read often enough that the cursor never moves a whole ring between two
// reads (the streaming loop reads it every millisecond).
inline void count_play_cursor(PlayedCount* count, uint32_t cursor) {
    if (count->ring_bytes == 0) return;
    count->played += (cursor + count->ring_bytes - count->last_cursor) % count->ring_bytes;
    count->last_cursor = cursor;
}

// A block written at `offset` is heard where the played count next reaches
// that offset: one block on from the last, or the same place again when a
// lost buffer made the writer try twice, or further on when blocks were
// dropped. When the cursor is already past it, the ring ran dry (old sound
// played) and the block is heard a turn later; that counts once.
inline void note_block_written(PlayedCount* count, uint32_t offset) {
    if (count->ring_bytes == 0) return;
    const uint32_t ring = count->ring_bytes;
    count->block_start += (offset + ring - count->block_start % ring) % ring;
    if (count->played > count->block_start) {
        ++count->underruns;
        while (count->played > count->block_start) count->block_start += ring;
    }
}
