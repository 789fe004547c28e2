// Owns FinePeriodTable and PitchTable. The first build of the table also
// empties the SongList: the table is built once at start-up, before any song
// is loaded, and again by the audio engine, which must keep the loaded songs.
#include "module/pitch_table.h"

#include "module/song.h"

const int32_t FinePeriodTable[128] = {
    15356, 15245, 15136, 15027, 14919, 14811, 14705, 14599,  //
    14494, 14390, 14286, 14183, 14081, 13980, 13879, 13780,  //
    13680, 13582, 13484, 13387, 13291, 13195, 13100, 13006,  //
    12913, 12820, 12727, 12636, 12545, 12455, 12365, 12276,  //
    12188, 12100, 12013, 11927, 11841, 11756, 11671, 11587,  //
    11504, 11421, 11339, 11257, 11176, 11096, 11016, 10937,  //
    10858, 10780, 10702, 10625, 10549, 10473, 10398, 10323,  //
    10249, 10175, 10102, 10029, 9957,  9885,  9814,  9743,   //
    9673,  9604,  9535,  9466,  9398,  9330,  9263,  9197,   //
    9130,  9065,  8999,  8935,  8870,  8807,  8743,  8680,   //
    8618,  8556,  8494,  8433,  8373,  8312,  8253,  8193,   //
    8134,  8076,  8018,  7960,  7903,  7846,  7789,  7733,   //
    7678,  7622,  7568,  7513,  7459,  7405,  7352,  7299,   //
    7247,  7195,  7143,  7091,  7040,  6990,  6939,  6890,   //
    6840,  6791,  6742,  6693,  6645,  6597,  6550,  6503,   //
    6456,  6410,  6363,  6318,  6272,  6227,  6182,  6138,
};

int32_t PitchTable[kFinetuneRows][kNoteColumns];

bool pitch_table_built = false;

int32_t interpolate_period(int32_t column, int32_t finetune_offset) {
    const int32_t note = column % 12;
    const int32_t octave = column / 12;
    // Odd rows fall half-way between two entries of the fine table.
    // The shift floors: offset -8 lies half-way between whole steps -1 and 0.
    const int32_t whole = finetune_offset >> 4;
    const bool half = (finetune_offset & 15) != 0;
    const int32_t j = 8 + 8 * note + whole;
    int32_t c = FinePeriodTable[j];
    int32_t d = FinePeriodTable[j + 1];
    if (octave == 0) {
        c *= 4;
        d *= 4;
    } else {
        c = (2 * c) >> (octave - 1);
        d = (2 * d) >> (octave - 1);
    }
    return half ? (c + d) / 2 : c;
}

void build_pitch_table() {
    for (int32_t row = 0; row < kFinetuneRows; ++row) {
        for (int32_t column = 0; column < kNoteColumns; ++column) {
            PitchTable[row][column] = interpolate_period(column, 8 * row - 64) / 4;
        }
    }
    if (!pitch_table_built) {
        song_list.count = 0;
        song_list.current_index = 0;
        pitch_table_built = true;
    }
}
