// Holds the whole output of a busy module, started as the demo starts its
// music, by hash: the audio and the rows it plays. Run with BP_PRINT_GOLDEN=1
// to print the hashes after a deliberate change of the arithmetic, and say
// why in the commit.
#include <cstdlib>

#include "tests/replayer/engine_fixture.h"
#include "tools/common/busy_module.h"
#include "tools/common/image_io.h"

namespace {

using Golden = EngineTest;

TEST_F(Golden, BusyModuleRendersBitExactly) {
    start(busy_module());
    set_song_loop(1);
    set_fade_mode(FadeCommand::full_volume);
    queue_song(0);
    uint64_t audio = fnv1a64(nullptr, 0);
    for (int block = 0; block < 400; ++block) {
        audio = fnv1a64(render_block(kMixBlockFrames), 4 * kMixBlockFrames, audio);
    }
    const uint64_t rows = fnv1a64(row_starts.data(), row_starts.size() * sizeof(RowStart));
    if (std::getenv("BP_PRINT_GOLDEN") != nullptr) {
        std::printf("audio %s rows %s\n", hex64(audio).c_str(), hex64(rows).c_str());
    }
    EXPECT_EQ(hex64(audio), "f1d2c6f50943d0ee");
    EXPECT_EQ(hex64(rows), "a1e1d50676466352");
}

}  // namespace
