// The synthesised instruments: their deterministic maths, and loops and
// endings that do not click.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "tools/assetgen/music/music_module.h"
#include "tools/assetgen/music/synth_math.h"

TEST(SynthMath, SineAndExpMatchTheLibraryClosely) {
    for (double x = -40.0; x <= 40.0; x += 0.0137) {
        EXPECT_NEAR(synth_sine(x), std::sin(x), 1e-12) << x;
        EXPECT_NEAR(synth_exp(x / 4) / std::exp(x / 4), 1.0, 1e-14) << x;
    }
}

TEST(Instruments, LoopsJoinAndOneShotsEndInSilence) {
    for (const SynthSample& s : synthesise_instruments()) {
        const std::vector<int8_t>& d = s.data;
        if (s.loop_length == 0) {
            EXPECT_EQ(d.back(), 0) << s.name;
            continue;
        }
        ASSERT_LE(s.loop_start + s.loop_length, d.size()) << s.name;
        // The point before the loop start is where the loop end leads back to.
        int seam = d[s.loop_start - 1] - d[s.loop_start + s.loop_length - 1];
        EXPECT_LE(std::abs(seam), 2) << s.name;
        int peak = 0;
        for (int8_t v : d) peak = std::max(peak, std::abs(int(v)));
        EXPECT_GE(peak, 100) << s.name << " wastes its 8 bits";
    }
}
