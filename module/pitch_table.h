// The PitchTable: 16 finetune rows by 108 note columns of periods, built once
// from the FinePeriodTable, and the two entries that bound pitch slides.
// Periods are on twice the classic tracker scale: the C of classic period 856
// is 1710 here, and a period p plays 14318181 / (2p) sample points a second.
#pragma once
#include <cstdint>

constexpr int32_t kFinetuneRows = 16;
constexpr int32_t kNoteColumns = 108;
constexpr int32_t kFinetuneZeroRow = 8;

// Periods in steps of an eighth of a semitone over sixteen semitones.
extern const int32_t FinePeriodTable[128];
// Row = finetune + 8, column = note (column 1 is a C).
extern int32_t PitchTable[kFinetuneRows][kNoteColumns];

void build_pitch_table();
extern bool pitch_table_built;  // set by the first build
// The period of column `column` at finetune offset 8 x finetune, before the
// final division by 4.
int32_t interpolate_period(int32_t column, int32_t finetune_offset);

// Bounds of pitch slides: the lowest pitch of the table and the highest pitch
// a classic three-octave note may slide to.
inline int32_t slide_period_max() {
    return PitchTable[0][0];
}
inline int32_t slide_period_min() {
    return PitchTable[15][71];
}
