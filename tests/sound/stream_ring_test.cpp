// The streaming ring on the virtual card: where blocks land, when there is
// room for one, and what happens to a block whose lock fails.
#include "sound/stream_ring.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/virtual_sound.h"

namespace {

class StreamRing : public testing::Test {
protected:
    void SetUp() override {
        reset_virtual_sound();
        write_position = 4444;  // whatever a previous ring left
        create_stream_buffer(kStreamRingFrames);
        block.resize(kStreamBlockBytes);
        for (size_t i = 0; i < block.size(); ++i) block[i] = uint8_t(i * 7 + 3);
    }
    void TearDown() override {
        release_stream_buffer();
        reset_virtual_sound();
    }
    const uint8_t* ring() const { return virtual_sound_ring().ring; }
    bool ring_holds(uint32_t offset, const uint8_t* bytes, uint32_t count) const {
        return std::memcmp(ring() + offset, bytes, count) == 0;
    }
    bool ring_is_silent(uint32_t offset, uint32_t count) const {
        for (uint32_t i = 0; i < count; ++i) {
            if (ring()[offset + i] != 0) return false;
        }
        return true;
    }
    // Puts the play cursor exactly half a ring ahead of the writer.
    void give_room() {
        virtual_play_cursor_pin =
            int32_t((write_position + kStreamRingBytes / 2) % kStreamRingBytes);
    }
    std::vector<uint8_t> block;
};

TEST_F(StreamRing, FreeDistanceDecidesWhetherABlockMayBeWritten) {
    struct Case {
        uint32_t writer, cursor, distance;
        bool fits;
    };
    const Case cases[] = {
        {0, 56'448, 56'448, true},        // exactly half a ring ahead
        {0, 56'447, 56'447, false},       // one byte short
        {0, 0, 112'896, true},            // equal positions: the whole ring is free
        {70'560, 70'560, 112'896, true},  //
        {98'784, 42'336, 56'448, true},   // the cursor has wrapped, the writer not
        {98'784, 42'332, 56'444, false},  //
        {56'448, 0, 56'448, true},        //
        {14'112, 0, 98'784, true},        //
        {70'560, 0, 42'336, false},       // 400 ms already queued
        {0, 112'892, 112'892, true},      //
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "writer " << c.writer << " cursor " << c.cursor);
        EXPECT_EQ(stream_free_distance(c.writer, c.cursor), c.distance);
        write_position = c.writer;
        virtual_play_cursor_pin = int32_t(c.cursor);
        std::memset(virtual_sound_ring().ring, 0, kStreamRingBytes);
        EXPECT_EQ(write_stream_block(block.data(), kStreamBlockBytes), c.fits);
        EXPECT_EQ(write_position,
                  c.fits ? (c.writer + kStreamBlockBytes) % kStreamRingBytes : c.writer);
        uint32_t first = std::min(kStreamBlockBytes, kStreamRingBytes - c.writer);
        EXPECT_EQ(ring_holds(c.writer, block.data(), first), c.fits);
    }
}

TEST_F(StreamRing, EightBlocksLandWholeAndTheWriterComesBackToZero) {
    // A new ring is silent and written from 0, whatever the last one left.
    ASSERT_TRUE(ring_is_silent(0, kStreamRingBytes));
    for (uint32_t k = 0; k < 8; ++k) {
        ASSERT_EQ(write_position, k * kStreamBlockBytes);
        block[0] = uint8_t(k + 1);
        give_room();
        ASSERT_TRUE(write_stream_block(block.data(), kStreamBlockBytes));
        EXPECT_TRUE(ring_holds(k * kStreamBlockBytes, block.data(), kStreamBlockBytes)) << k;
    }
    EXPECT_EQ(write_position, 0u);
    for (uint32_t k = 0; k < 8; ++k) EXPECT_EQ(ring()[k * kStreamBlockBytes], k + 1);
}

TEST_F(StreamRing, ABlockPastTheEndContinuesAtTheStart) {
    constexpr uint32_t start = 105'000;
    constexpr uint32_t head = kStreamRingBytes - start;  // 7,896
    write_position = start;
    give_room();
    ASSERT_TRUE(write_stream_block(block.data(), kStreamBlockBytes));
    EXPECT_TRUE(ring_holds(start, block.data(), head));
    EXPECT_TRUE(ring_holds(0, block.data() + head, kStreamBlockBytes - head));
    EXPECT_TRUE(ring_is_silent(kStreamBlockBytes - head, start - (kStreamBlockBytes - head)));
    EXPECT_EQ(write_position, kStreamBlockBytes - head);
}

TEST_F(StreamRing, ALostRingIsRestoredOnceAndAStillFailingBlockIsDroppedInPlace) {
    struct Case {
        const char* what;
        int32_t lost, failed, restores;
        bool written;
    };
    const Case cases[] = {
        {"lost once", 1, 0, 1, true},         {"lost twice", 2, 0, 1, false},
        {"lost three times", 3, 0, 1, false}, {"lost, then refused", 1, 1, 1, false},
        {"refused", 0, 1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::memset(virtual_sound_ring().ring, 0, kStreamRingBytes);
        virtual_sound_restores = 0;
        virtual_sound_lost_locks = c.lost;
        virtual_sound_failed_locks = c.failed;
        write_position = 2 * kStreamBlockBytes;
        give_room();
        EXPECT_TRUE(write_stream_block(block.data(), kStreamBlockBytes));
        EXPECT_EQ(virtual_sound_restores, c.restores);
        EXPECT_EQ(ring_holds(2 * kStreamBlockBytes, block.data(), kStreamBlockBytes), c.written);
        if (!c.written) {
            EXPECT_TRUE(ring_is_silent(0, kStreamRingBytes));
        }
        EXPECT_EQ(write_position, 3 * kStreamBlockBytes);  // the timing goes on either way
        virtual_sound_lost_locks = virtual_sound_failed_locks = 0;
    }
}

}  // namespace
