#include "module/pitch_table.h"

#include <gtest/gtest.h>

namespace {

TEST(PitchTable, HoldsTheTellingValues) {
    build_pitch_table();
    struct Entry {
        int row, column, period;
    };
    const Entry entries[] = {
        {8, 0, 14494}, {8, 12, 7247}, {8, 24, 3623},  {8, 36, 1811}, {8, 37, 1710},
        {8, 48, 905},  {8, 49, 855},  {8, 60, 452},   {8, 61, 427},  {8, 72, 226},
        {8, 84, 113},  {8, 96, 56},   {8, 107, 29},   {0, 37, 1760}, {1, 37, 1753},
        {7, 37, 1716}, {9, 37, 1703}, {15, 37, 1667}, {0, 0, 14919}, {15, 71, 233},
    };
    for (const Entry& e : entries) {
        EXPECT_EQ(PitchTable[e.row][e.column], e.period)
            << "row " << e.row << " column " << e.column;
    }
    EXPECT_EQ(slide_period_max(), 14919);
    EXPECT_EQ(slide_period_min(), 233);
}

TEST(PitchTable, RowsRiseEvenlyAndNoEntryIsZero) {
    build_pitch_table();
    for (int column = 0; column < kNoteColumns; ++column) {
        for (int row = 0; row + 1 < kFinetuneRows; ++row) {
            EXPECT_LE(PitchTable[row + 1][column], PitchTable[row][column]) << row << " " << column;
        }
        // Finetune -1 is its own half-step, not a copy of finetune +1.
        if (column <= 72) {
            EXPECT_GT(PitchTable[7][column], PitchTable[9][column]) << column;
        }
    }
    for (int row = 0; row < kFinetuneRows; ++row) {
        EXPECT_GE(PitchTable[row][107], 29);
        EXPECT_LE(PitchTable[row][107], 30);
        for (int column = 0; column < kNoteColumns; ++column) EXPECT_GT(PitchTable[row][column], 0);
    }
}

}  // namespace
