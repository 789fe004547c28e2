// Pacing where vsync does not hold presents back: a flip waits only when it
// comes more than the leeway ahead of one video frame after the previous.
#include <gtest/gtest.h>

#include "display/present_pacing.h"

namespace {

TEST(PresentPacing, FlipWaitsOnlyWhenClearlyEarly) {
    const PresentPacing pacing{1000, 16, 5000};  // due at 6000
    struct Case {
        int64_t now;
        int64_t due;
    } cases[] = {
        {5000, 6000},  // at once after the previous flip
        {5983, 6000},  // just outside the leeway
        {5984, 5984},  // within the leeway: on time
        {6000, 6000},
        {9000, 9000},  // late frames never wait
    };
    for (const Case& c : cases) EXPECT_EQ(present_due(pacing, c.now), c.due) << c.now;
}

TEST(PresentPacing, FirstFlipNeverWaits) {
    EXPECT_EQ(present_due(PresentPacing{1000, 16, 0}, 12345), 12345);
}

}  // namespace
