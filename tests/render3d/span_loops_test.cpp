// The fast span loops against the plain ones: every RenderMode, on random
// spans over random frames, depths, textures and colour tables, must leave
// the same pixels and the same depths. Each test runs the fast loops at four
// pixels a step and, where the processor has them, at eight. The golden
// views are held the same way in golden_frames_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <random>
#include <vector>

#include "assets/colour_tables.h"
#include "render3d/rasteriser.h"
#include "render3d/scene_objects.h"
#include "render3d/span_setup.h"
#include "tests/render3d/render_test_support.h"

namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;

class SpanLoopsTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam() && !wide_span_loops_available()) GTEST_SKIP() << "no eight-pixel loops here";
        allow_wide_span_loops = GetParam();
        for (uint8_t& b : screen.texture) b = uint8_t(rng());
#if BP_PIXEL_PAL
        for (uint8_t& b : shade) b = uint8_t(rng());
        for (uint8_t& b : add) b = uint8_t(rng());
        ShadeTable = shade.data();
        AddTable = add.data();
#else
        for (auto& channel : ColourLookup)
            for (uint8_t& c : channel) c = uint8_t(rng());
#endif
        load_span_colours();
    }
    void TearDown() override {
        allow_wide_span_loops = true;
#if BP_PIXEL_PAL
        ShadeTable = AddTable = nullptr;
#endif
    }

    // Frame and depths at random; a third of the depths cleared, so that
    // long runs pass.
    void scramble_screen() {
        for (Pixel& p : screen.frame) p = Pixel(rng());
        for (uint16_t& d : screen.depth) d = rng() % 3 == 0 ? 0xFFFF : uint16_t(rng());
    }

    float uniform(float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(rng);
    }

    // Ends anywhere from well left of the screen to well right of it, at
    // camera depths from almost 0 to beyond depth_far (4000), shades a
    // little outside 0..128, texture coordinates over several wraps.
    SpanPoint random_end(int32_t y, int32_t x_low, int32_t x_high) {
        int32_t x = std::uniform_int_distribution<int32_t>(x_low, x_high)(rng);
        float z = std::exp(uniform(std::log(0.05f), std::log(9000.0f)));
        return span_end(x, y, uniform(-700, 700), uniform(-700, 700), z, uniform(-20, 150));
    }

    std::mt19937 rng{20261207};
    TestScreen screen{kWidth, kHeight, 0};
    std::vector<uint8_t> shade = std::vector<uint8_t>(65536);
    std::vector<uint8_t> add = std::vector<uint8_t>(65536);
};

// Both loops on the same span from the same screen; each result is the
// span's pixels and depths and a margin either side, where neither loop may
// write.
struct LoopResults {
    std::vector<Pixel> frame_plain, frame_fast;
    std::vector<uint16_t> depth_plain, depth_fast;
};

LoopResults run_both(TestScreen& screen, const SpanSetup& span, uint8_t mode) {
    constexpr int32_t kMargin = 8;
    const auto first = size_t(std::max(span.p - kMargin, 0));
    const auto end = std::min(size_t(span.p + span.n + kMargin), screen.frame.size());
    auto frame_window = [&] {
        return std::vector<Pixel>(screen.frame.begin() + first, screen.frame.begin() + end);
    };
    auto depth_window = [&] {
        return std::vector<uint16_t>(screen.depth.begin() + first, screen.depth.begin() + end);
    };
    LoopResults r;
    const std::vector<Pixel> frame = frame_window();
    const std::vector<uint16_t> depth = depth_window();
    fill_span_pixels_reference(span, mode);
    r.frame_plain = frame_window();
    r.depth_plain = depth_window();
    std::copy(frame.begin(), frame.end(), screen.frame.begin() + first);
    std::copy(depth.begin(), depth.end(), screen.depth.begin() + first);
    fill_span_pixels(span, mode);
    r.frame_fast = frame_window();
    r.depth_fast = depth_window();
    return r;
}

TEST_P(SpanLoopsTest, FastLoopsMatchThePlainOnesOnRandomSpans) {
    // Long spans across and beyond the screen, and short ones that leave
    // every remainder after the whole groups of pixels.
    struct Kind {
        const char* name;
        int32_t x_low, x_high, max_width;
    };
    const Kind kinds[] = {{"long", -200 * 256, 840 * 256, 1000 * 256},
                          {"short", -4 * 256, 644 * 256, 9 * 256}};
    for (uint8_t mode = 0; mode <= 4; ++mode) {
        for (const Kind& kind : kinds) {
            SCOPED_TRACE(testing::Message() << "mode " << int(mode) << ", " << kind.name);
            scramble_screen();
            int32_t drawn = 0;
            for (int32_t trial = 0; trial < 300; ++trial) {
                int32_t y = std::uniform_int_distribution<int32_t>(0, kHeight - 1)(rng);
                SpanPoint left = random_end(y, kind.x_low, kind.x_high);
                int32_t width = std::uniform_int_distribution<int32_t>(0, kind.max_width)(rng);
                SpanPoint right = random_end(y, left.x + width, left.x + width);
                SpanSetup span;
                if (!set_up_span(left, right, mode, &span)) continue;
                ++drawn;
                LoopResults r = run_both(screen, span, mode);
                ASSERT_EQ(r.frame_fast, r.frame_plain) << "span " << trial << " at row " << y;
                ASSERT_EQ(r.depth_fast, r.depth_plain) << "span " << trial << " at row " << y;
            }
            EXPECT_GT(drawn, 100);
        }
    }
}

// A depth sum that crosses powers of two, where its rounding changes, and
// depths at both ends of the range, on the last rows, where the spans end at
// the buffers' end.
TEST_P(SpanLoopsTest, FastLoopsMatchThePlainOnesAtTheDepthLimits) {
    const float depths[][2] = {{0.01f, 1.2f},      {0.9f, 5.0f},       {3.0f, 3000.0f},
                               {4000.0f, 3999.0f}, {3990.0f, 4200.0f}, {9000.0f, 1.0f}};
    for (uint8_t mode = 0; mode <= 4; ++mode) {
        for (const auto& ends : depths) {
            SCOPED_TRACE(testing::Message()
                         << "mode " << int(mode) << ", z " << ends[0] << " to " << ends[1]);
            scramble_screen();
            for (int32_t row = 0; row < 8; ++row) {
                int32_t y = kHeight - 8 + row;
                SpanPoint left = span_end(-37 + row * 256, y, 5, 9, ends[0], 128);
                SpanPoint right = span_end((kWidth + 8 - row) * 256, y, 600, -300, ends[1], 0);
                SpanSetup span;
                if (!set_up_span(left, right, mode, &span)) continue;
                LoopResults r = run_both(screen, span, mode);
                ASSERT_EQ(r.frame_fast, r.frame_plain) << "row " << y;
                ASSERT_EQ(r.depth_fast, r.depth_plain) << "row " << y;
            }
        }
    }
}

// Texture coordinates held on the last texel and the half beyond it, and
// just below 0, where the sample blends column 255 with column 0 and row
// 255 with row 0 (demo_pal: where the dither steps across the wrap).
TEST_P(SpanLoopsTest, FastLoopsMatchThePlainOnesAcrossTheTextureWrap) {
    const float coordinates[][2] = {{255.5f, 3.25f}, {3.25f, 255.5f},    {255.5f, 255.5f},
                                    {-0.5f, -0.5f},  {255.99f, 255.01f}, {511.5f, -256.5f}};
    for (uint8_t mode = 0; mode <= 4; ++mode) {
        scramble_screen();
        for (int32_t i = 0; i < int32_t(std::size(coordinates)); ++i) {
            const float u = coordinates[i][0], v = coordinates[i][1];
            SCOPED_TRACE(testing::Message() << "mode " << int(mode) << ", u " << u << ", v " << v);
            // z a power of two keeps u and v exact; 37 pixels leave a part quad.
            SpanPoint left = span_end(3 * 256, 10 + i, u, v, 1024, 100);
            SpanPoint right = span_end(40 * 256, 10 + i, u, v, 1024, 100);
            SpanSetup span;
            ASSERT_TRUE(set_up_span(left, right, mode, &span));
            LoopResults r = run_both(screen, span, mode);
            ASSERT_EQ(r.frame_fast, r.frame_plain);
            ASSERT_EQ(r.depth_fast, r.depth_plain);
        }
    }
}

#if BP_PIXEL_PAL
// demo_pal's fast loops have one width.
INSTANTIATE_TEST_SUITE_P(PixelsAStep, SpanLoopsTest, ::testing::Values(false),
#else
INSTANTIATE_TEST_SUITE_P(PixelsAStep, SpanLoopsTest, ::testing::Values(false, true),
#endif
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Eight" : "Four";
                         });

}  // namespace
