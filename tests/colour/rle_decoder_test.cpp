// The run-length decoder: every record kind, the longest runs, and streams
// that would overrun the buffer or the packed bytes. Packed bytes live in
// exact-size vectors so the address sanitizer sees any read past them.
#include "assets/rle_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "assets/embedded.h"
#include "assets/textures.h"

namespace {
using Bytes = std::vector<uint8_t>;

struct DecodeCase {
    const char* name;
    Bytes packed;
    int32_t size;
    Bytes expected;
    RleResult result;
};

Bytes run_of(int32_t count, uint8_t first, uint8_t step) {
    Bytes bytes;
    for (int32_t n = 0; n < count; ++n) bytes.push_back(uint8_t(first + n * step));
    return bytes;
}

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<DecodeCase> decode_cases() {
    const Bytes high_literals = run_of(127, 128, 1);  // 128..254: data, not control
    return {
        {"literal bytes of 128 and above",
         {3, 0x80, 0xFF, 0x81},
         3,
         {0x80, 0xFF, 0x81},
         RleResult::complete},
        {"longest literal run", cat({{127}, high_literals}), 127, high_literals,
         RleResult::complete},
        {"shortest zero run",
         {9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 129},
         10,
         cat({run_of(9, 1, 1), {0}}),
         RleResult::complete},
        {"longest zero run", {1, 7, 255}, 128, cat({{7}, Bytes(127, 0)}), RleResult::complete},
        {"no-ops write nothing", {128, 0, 2, 5, 6, 128, 0}, 2, {5, 6}, RleResult::complete},
        {"stream of no-ops only", {128, 0, 128}, 4, {0, 0, 0, 0}, RleResult::short_stream},
        {"zero run past the end refused",
         {2, 7, 8, 131},
         4,
         {7, 8, 0, 0},
         RleResult::write_overrun},
        {"literal past the end refused",
         {1, 9, 3, 1, 2, 3},
         3,
         {9, 0, 0},
         RleResult::write_overrun},
        {"literal past the packed bytes refused",
         {130, 5, 1, 2},
         6,
         {0, 0, 0, 0, 0, 0},
         RleResult::read_overrun},
        {"records after a refusal are ignored",
         {2, 4, 4, 200, 1, 3},
         3,
         {4, 4, 0},
         RleResult::write_overrun},
    };
}

TEST(RleDecoder, DecodesRecordsAndRefusesOverruns) {
    for (const DecodeCase& c : decode_cases()) {
        SCOPED_TRACE(c.name);
        uint8_t* image = nullptr;
        RleResult result =
            decode_rle_image(c.packed.data(), &image, int32_t(c.packed.size()), c.size);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(Bytes(image, image + c.size), c.expected);
        std::free(image);
    }
}

TEST(RleDecoder, EmbeddedCountIsCheckedAgainstTheAsset) {
    struct Case {
        const char* name;
        Bytes asset;
        RleResult result;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        {"count and stream", {2, 0, 0, 0, 1, 42}, RleResult::complete, {42}},
        {"count beyond the asset", {9, 0, 0, 0, 1, 42}, RleResult::read_overrun, {0}},
        {"count field cut short", {2, 0}, RleResult::read_overrun, {0}},
        {"count above 2^31", {2, 0, 0, 0x80, 1, 42}, RleResult::read_overrun, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t* image = nullptr;
        EXPECT_EQ(decode_embedded_image(c.asset.data(), c.asset.size(), &image, 1), c.result);
        EXPECT_EQ(Bytes(image, image + 1), c.expected);
        std::free(image);
    }
}

TEST(RleDecoder, EmbeddedPicturesFillTheirBuffersExactly) {
    if (embedded_picture_sheet_rle_size == 0 || embedded_small_texture_rle_size == 0) {
        GTEST_SKIP() << "the pictures have not been generated yet";
    }
    uint8_t* sheet = nullptr;
    uint8_t* small = nullptr;
    EXPECT_EQ(decode_embedded_image(embedded_picture_sheet_rle, embedded_picture_sheet_rle_size,
                                    &sheet, kPictureSheetSize),
              RleResult::complete);
    EXPECT_EQ(decode_embedded_image(embedded_small_texture_rle, embedded_small_texture_rle_size,
                                    &small, kSmallTextureSize),
              RleResult::complete);
    for (int32_t n = 0; n < kSmallTextureSize; ++n) ASSERT_LE(small[n], 63) << "texel " << n;
    std::free(sheet);
    std::free(small);
}
}  // namespace
