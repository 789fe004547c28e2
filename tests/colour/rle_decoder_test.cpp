// The run-length decoder: every record kind, the longest runs, and streams
// that would overrun the buffer or the packed bytes. Packed bytes live in
// exact-size vectors so the address sanitizer sees any read past them.
#include "assets/rle_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {
using Bytes = std::vector<uint8_t>;

TEST(RleDecoder, DecodesRecordsAndRefusesOverruns) {
    Bytes high = {127};  // the longest literal run, of bytes 128..254: data, not control
    for (int32_t n = 0; n < 127; ++n) high.push_back(uint8_t(128 + n));
    struct Case {
        const char* name;
        Bytes packed;
        int32_t size;
        Bytes expected;
        RleResult result;
    } cases[] = {
        {"literal bytes of 128 and above",
         {3, 0x80, 0xFF, 0x81},
         3,
         {0x80, 0xFF, 0x81},
         RleResult::complete},
        {"longest literal run", high, 127, Bytes(high.begin() + 1, high.end()),
         RleResult::complete},
        {"zero runs of 1 and 127", {129, 1, 7, 255}, 129, {}, RleResult::complete},
        {"no-ops write nothing", {128, 0, 2, 5, 6, 128, 0}, 2, {5, 6}, RleResult::complete},
        {"stream of no-ops only", {128, 0, 128}, 2, {0, 0}, RleResult::short_stream},
        {"zero run past the end", {2, 7, 8, 131}, 4, {7, 8, 0, 0}, RleResult::write_overrun},
        {"literal past the end", {1, 9, 3, 1, 2, 3, 1, 5}, 3, {9, 0, 0}, RleResult::write_overrun},
        {"literal one past the packed bytes",
         {130, 3, 1, 2},
         5,
         {0, 0, 0, 0, 0},
         RleResult::read_overrun},
    };
    cases[2].expected = Bytes(129, 0);
    cases[2].expected[1] = 7;
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t* image = nullptr;
        RleResult result =
            decode_rle_image(c.packed.data(), &image, int32_t(c.packed.size()), c.size);
        EXPECT_EQ(result, c.result);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(Bytes(image, image + c.size), c.expected);
        std::free(image);
    }
}

TEST(RleDecoder, EmbeddedCountIsCheckedAgainstTheAsset) {
    const std::pair<Bytes, RleResult> cases[] = {
        {{2, 0, 0, 0, 1, 42}, RleResult::complete},
        {{3, 0, 0, 0, 1, 42}, RleResult::read_overrun},     // count beyond the asset
        {{2, 0}, RleResult::read_overrun},                  // count cut short
        {{2, 0, 0, 0x80, 1, 42}, RleResult::read_overrun},  // count above 2^31
    };
    for (const auto& [asset, expected] : cases) {
        uint8_t* image = nullptr;
        EXPECT_EQ(decode_embedded_image(asset.data(), asset.size(), &image, 1), expected);
        EXPECT_EQ(image[0], expected == RleResult::complete ? 42 : 0);
        std::free(image);
    }
}

}  // namespace
