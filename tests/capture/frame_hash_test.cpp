// The hash that stands for a whole run of frames: a frame fed row by row
// hashes as when fed whole, and no byte of it, nor the order of its words,
// goes unnoticed.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "tools/common/image_io.h"

namespace {

uint64_t hash_of(const std::vector<uint8_t>& bytes) {
    WordHash hash;
    hash_words(&hash, bytes.data(), bytes.size());
    return word_hash_value(hash);
}

std::vector<uint8_t> random_bytes(size_t size) {
    std::mt19937 random(7);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = uint8_t(random());
    return bytes;
}

TEST(FrameHash, PiecesOfWholeWordsHashAsTheWhole) {
    const std::vector<uint8_t> bytes = random_bytes(8 * 101);
    // Rows of 1, 3, 5 and 7 words leave the lanes at every phase.
    for (size_t row_words : {1, 3, 5, 7, 13}) {
        SCOPED_TRACE(row_words);
        WordHash hash;
        for (size_t at = 0; at < bytes.size(); at += 8 * row_words) {
            const size_t size = std::min(8 * row_words, bytes.size() - at);
            hash_words(&hash, bytes.data() + at, size);
        }
        EXPECT_EQ(word_hash_value(hash), hash_of(bytes));
    }
}

TEST(FrameHash, EveryByteAndTheOrderOfWordsCount) {
    // 8 x 37 + 5: whole groups of four words, single words and loose bytes.
    const std::vector<uint8_t> bytes = random_bytes(8 * 37 + 5);
    const uint64_t original = hash_of(bytes);
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::vector<uint8_t> changed = bytes;
        changed[i] ^= 1;
        EXPECT_NE(hash_of(changed), original) << "byte " << i;
    }
    // Words swapped within a lane (0 and 4) and across lanes (1 and 2).
    for (auto [a, b] : {std::pair{0, 4}, std::pair{1, 2}}) {
        std::vector<uint8_t> swapped = bytes;
        std::swap_ranges(swapped.begin() + 8 * a, swapped.begin() + 8 * a + 8,
                         swapped.begin() + 8 * b);
        EXPECT_NE(hash_of(swapped), original) << "words " << a << " and " << b;
    }
}

}  // namespace
