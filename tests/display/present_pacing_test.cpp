// Pacing where the display does not hold presents to 60 Hz: flips keep to a
// grid of one video frame, early ones wait, late ones catch up, and one that
// fell more than a frame behind starts the grid afresh.
#include "platform/present_pacing.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PresentPacing, FlipWaitsOnlyWhenClearlyEarly) {
    const PresentPacing pacing{1000, 16, 6000};
    struct Case {
        int64_t now;
        int64_t due;
    } cases[] = {
        {5000, 6000},                // at once after the previous flip
        {5983, 6000},                // just outside the leeway
        {5984, 5984},                // within the leeway: on time
        {6000, 6000}, {9000, 9000},  // late flips never wait
    };
    for (const Case& c : cases) EXPECT_EQ(present_due(pacing, c.now), c.due) << c.now;
    EXPECT_EQ(present_due(PresentPacing{1000, 16, 0}, 12345), 12345) << "the first flip";
}

// Flips arrive at the given times; each waits as told and is booked.
std::vector<int64_t> flip_times(std::vector<int64_t> arrivals) {
    PresentPacing pacing{1000, 16, 0};
    std::vector<int64_t> flips;
    for (int64_t now : arrivals) {
        now = present_due(pacing, now);
        book_present(pacing, now);
        flips.push_back(now);
    }
    return flips;
}

TEST(PresentPacing, FlipsKeepToTheFrameGrid) {
    struct Case {
        const char* name;
        std::vector<int64_t> arrivals, flips;
    } cases[] = {
        {"fast renderer waits for every slot", {100, 110, 120, 130}, {100, 1100, 2100, 3100}},
        {"on time within the leeway keeps the grid", {100, 1090, 2050}, {100, 1090, 2100}},
        {"a late flip is made up by the next", {100, 1600, 1700}, {100, 1600, 2100}},
        {"more than a frame behind starts afresh", {100, 2200, 2300}, {100, 2200, 3200}},
    };
    for (const auto& c : cases) EXPECT_EQ(flip_times(c.arrivals), c.flips) << c.name;
}

}  // namespace
