// The packer of assetgen: shortest streams that unpack to their input, and
// exact lengths reached with no-op bytes.
#include "tools/assetgen/visual/rle_pack.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint8_t> unpack(const std::vector<uint8_t>& stream) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < stream.size();) {
        uint8_t c = stream[i++];
        if (c < 128)
            out.insert(out.end(), stream.begin() + i, stream.begin() + i + c), i += c;
        else if (c > 128)
            out.insert(out.end(), c - 128, 0);
    }
    return out;
}

std::vector<uint8_t> run(size_t n, uint8_t value) {
    return std::vector<uint8_t>(n, value);
}
std::vector<uint8_t> join(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(RlePack, GivesTheShortestStreamThatUnpacksToItsInput) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        size_t shortest;
    };
    const Case cases[] = {
        {"nothing", {}, 0},
        {"one zero", {0}, 1},
        {"127 zeros", run(127, 0), 1},
        {"128 zeros", run(128, 0), 2},
        {"300 zeros", run(300, 0), 3},
        {"127 bytes of 200", run(127, 200), 128},
        {"128 bytes of 1", run(128, 1), 130},
        {"lone zeros stay in the literal", {5, 0, 6, 0, 7}, 6},
        {"three zeros split the literal", join(join({9}, run(3, 0)), {9}), 5},
        {"control-like data", {128, 129, 255, 0, 0, 0, 0, 127}, 7},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> packed = pack_rle(c.bytes);
        EXPECT_EQ(unpack(packed), c.bytes) << c.name;
        EXPECT_EQ(packed.size(), c.shortest) << c.name;
    }
}

TEST(RlePack, ReachesAnExactLengthWithNoOpsOrRefuses) {
    std::vector<uint8_t> bytes = join(run(40, 3), run(200, 0));
    std::vector<uint8_t> packed;
    ASSERT_TRUE(pack_rle_to_length(bytes, 50, packed));
    EXPECT_EQ(packed.size(), 50u);
    EXPECT_EQ(unpack(packed), bytes);
    EXPECT_EQ(packed.back(), kRleNoOp);
    EXPECT_FALSE(pack_rle_to_length(bytes, 42, packed));
}
