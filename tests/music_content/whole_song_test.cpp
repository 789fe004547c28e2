// The committed song played whole through the music engine, started as the
// demo starts it: its peak keeps 1 dB of headroom, every channel is heard in
// every position, and the hit of every flash and drain row stands 3 dB above
// the median onset of its section, in level and above 2 kHz (50 ms windows).
#include <gtest/gtest.h>

#include <algorithm>

#include "assets/embedded.h"
#include "tools/assetgen/music/song_analysis.h"
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

TEST(WholeSong, EveryFlashAndDrainRowHitsThreeDecibelsAboveTheOtherOnsets) {
    const SongRender& r = whole_song();
    std::vector<AccentMargin> margins =
        accent_margins(r, embedded_module_mod, embedded_module_mod_size);
    // Rows 1, 16, 34 and 46 of positions 10 to 12 and 16 to 21.
    ASSERT_EQ(margins.size(), 36u);
    for (const AccentMargin& m : margins) {
        EXPECT_GE(m.full_db, 3.0) << "position " << m.position << " row " << m.row;
        EXPECT_GE(m.high_db, 3.0) << "above 2 kHz, position " << m.position << " row " << m.row;
    }
}
