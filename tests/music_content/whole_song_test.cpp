// The committed song played whole through the music engine, started as the
// demo starts it: its peak keeps 1 dB of headroom, every channel is heard in
// every position, and the hits of the flash rows stand out.
#include <gtest/gtest.h>

#include <algorithm>

#include "assets/embedded.h"
#include "tools/assetgen/music/song_render.h"

namespace {

constexpr int kMinusOneDbfs = 29204;  // 32,767 x 10^(-1/20)

const SongRender& whole_song() {
    static SongRender render;
    static bool done = false;
    if (!done) {
        std::string error;
        EXPECT_TRUE(render_song(embedded_module_mod, embedded_module_mod_size, render, error))
            << error;
        done = true;
    }
    return render;
}

}  // namespace

TEST(WholeSong, PlaysAllPositionsWithItsPeakAtOrBelowMinusOneDbfs) {
    const SongRender& r = whole_song();
    for (int p = 0; p < 36; ++p)
        EXPECT_LT(position_start(r, p), int64_t(r.pcm.size() / 2)) << "position " << p;
    Loudness all = measure(r, 0, int64_t(r.pcm.size() / 2));
    EXPECT_LE(all.peak, kMinusOneDbfs);
    EXPECT_GT(all.rms_db, -20.0) << "the song is mixed far too quietly";
}

TEST(WholeSong, EveryChannelIsHeardInEveryPosition) {
    for (int channel = 0; channel < 4; ++channel) {
        std::vector<uint8_t> solo =
            solo_channel(embedded_module_mod, embedded_module_mod_size, channel);
        SongRender r;
        std::string error;
        ASSERT_TRUE(render_song(solo.data(), solo.size(), r, error)) << error;
        for (int p = 0; p < 36; ++p) {
            Loudness l = measure(r, position_start(r, p), position_start(r, p + 1));
            EXPECT_GT(l.rms_db, -42.0) << "channel " << channel << " at position " << p;
        }
    }
}

TEST(WholeSong, FlashRowsHitHarderThanTheRowsAround) {
    const SongRender& r = whole_song();
    const int flash_positions[] = {10, 11, 12, 16, 17, 18, 19, 20, 21};
    for (int position : flash_positions) {
        double flash[64] = {};
        std::vector<double> others;
        for (size_t i = 0; i + 1 < r.rows.size(); ++i) {
            const RowMark& m = r.rows[i];
            if (m.position != position) continue;
            double level = measure(r, m.frame, r.rows[i + 1].frame).rms_db;
            bool is_flash = m.row == 1 || m.row == 16 || m.row == 34 || m.row == 46;
            if (is_flash)
                flash[m.row] = level;
            else
                others.push_back(level);
        }
        ASSERT_FALSE(others.empty()) << "position " << position;
        std::nth_element(others.begin(), others.begin() + others.size() / 2, others.end());
        double median = others[others.size() / 2];
        for (int row : {1, 16, 34, 46})
            EXPECT_GT(flash[row], median + 2.0) << "position " << position << " row " << row;
    }
}
