// The screen effects in the program they are built for (BP_PIXEL_PAL): the
// palette effect, the palette helpers, the fades, the frame clear and the
// picture bands, watched through the fake display.
#include "scenes/effects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "assets/colour_tables.h"
#include "assets/embedded.h"
#include "assets/textures.h"
#include "display/display.h"
#include "platform/frame_clock.h"
#include "replayer/replayer.h"
#include "shell/preparation.h"
#include "tools/common/fake_video.h"

namespace {
constexpr int32_t kProbeIndex = 7;
constexpr Rgb kProbeColour = {252, 128, 3};

// The palette the screen shows now: ColourLookup or the hardware palette.
Rgb current_entry(int32_t index) {
#if BP_PIXEL_PAL
    const uint8_t* entry = fake_video.palette + 3 * index;
    return {entry[0], entry[1], entry[2]};
#else
    return {ColourLookup[0][index], ColourLookup[1][index], ColourLookup[2][index]};
#endif
}

class Effects : public ::testing::Test {
protected:
    void SetUp() override {
        open_fake_display();
        ASSERT_TRUE(allocate_frames());
        for (int32_t i = 0; i < 768; ++i) Palette[i] = uint8_t(i * 7 % 253);
        std::memset(Palette, 0, 6);  // entries 0 and 1 black: cleared pixels show black
        std::memcpy(Palette + 3 * 5, "\xC8\x64\x32", 3);  // (200, 100, 50)
        std::memcpy(Palette + 3 * kProbeIndex, kProbeColour.data(), 3);
        build_tint_palette();
        clear_black_palette();
        FlashMode = FlashKind::none;
        FlashLevel = 0.0f;
        FrameDelta = 1.0f;
        SongRow = 0;
#if !BP_PIXEL_PAL
        ChannelBoost[0] = ChannelBoost[1] = ChannelBoost[2] = 0;
#endif
    }
    void TearDown() override {
        free_frames();
    }
};

// Each case is one frame from the given state; entry 5 is (200, 100, 50).
TEST_F(Effects, PaletteEffectFlashesDrainsAndDecays) {
    struct Case {
        const char* name;
        FlashKind mode;
        int32_t row;
        float level, delta, rgb_level, pal_level;
        Rgb rgb_entry;
        int32_t rgb_boost;
        Rgb pal_entry;
    };
    const Rgb same = {200, 100, 50};
    constexpr FlashKind none = FlashKind::none, white = FlashKind::white, drain = FlashKind::drain,
                        slow = FlashKind::white_slow_decay;
    const Case cases[] = {
        {"flash row, slow decay", slow, 16, 0, 1, 44.25f, 44.25f, same, 176, {238, 207, 191}},
        {"mode 1 peak on row 46", white, 46, 0, 1, 43, 43, same, 171, {236, 204, 187}},
        {"drain on a flash row", drain, 16, 0, 1, 48, 38, {74, 49, 36}, 0, {111, 71, 50}},
        {"drain between flash rows", drain, 3, 20, 1, 18, 18, {169, 97, 60}, 0, {169, 97, 60}},
        {"full drain is black", drain, 0, 70, 1, 68, 68, {0, 0, 0}, 0, {0, 0, 0}},
        {"strength stops at 64", none, 0, 110, 1, 108, 108, same, 255, {255, 255, 255}},
        {"below 64 it follows the level", none, 0, 65, 1, 63, 63, same, 251, {254, 252, 251}},
        {"decay may end below 0", none, 0, 1, 1, -1, -1, same, 0, {200, 98, 47}},
        {"below 0 resets to 0", none, 0, -1, 1, 0, 0, same, 0, same},
        {"mode 1 off the flash rows", white, 2, 10, 1.5f, 7, 7, same, 27, {206, 116, 72}},
        {"mode 3 decays slowly", slow, 2, 10, 2, 8.5f, 8.5f, same, 33, {207, 120, 77}},
        {"mode 0 ignores flash rows", none, 16, 0, 1, 0, 0, same, 0, same},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FlashMode = c.mode, SongRow = c.row, FlashLevel = c.level, FrameDelta = c.delta;
        apply_palette_effect(Palette);
#if BP_PIXEL_PAL
        EXPECT_EQ(FlashLevel, c.pal_level);
        EXPECT_EQ(current_entry(5), c.pal_entry);
#else
        EXPECT_EQ(FlashLevel, c.rgb_level);
        EXPECT_EQ(current_entry(5), c.rgb_entry);
        EXPECT_EQ(ChannelBoost[0], c.rgb_boost);
        EXPECT_EQ(ChannelBoost[1], c.rgb_boost);
        EXPECT_EQ(ChannelBoost[2], c.rgb_boost);
#endif
    }
}

// Entry 9 is (100, 1, 0) in Palette and (1, 100, 249) in TintPalette.
TEST_F(Effects, HelpersScaleAndTintPaletteBeforeTheEffect) {
    std::memcpy(Palette + 3 * 9, "\x64\x01\x00", 3);
    std::memcpy(TintPalette + 3 * 9, "\x01\x64\xF9", 3);
    const struct {
        int32_t a, n;  // a < 0: set_scaled_palette(n)
        Rgb probe, entry9;
    } cases[] = {
        {-1, 300, kProbeColour, {100, 1, 0}},       // n clamps to 256
        {-1, -5, {0, 0, 0}, {0, 0, 0}},             // n clamps to 0
        {-1, 255, {251, 127, 2}, {99, 0, 0}},       // truncated
        {256, 256, {16, 195, 63}, {1, 100, 249}},   // all the way to the tint
        {999, 256, {16, 195, 63}, {1, 100, 249}},   // a clamps to 256
        {0, 128, {126, 64, 1}, {50, 0, 0}},         // Palette at half
        {128, 256, {134, 161, 33}, {51, 50, 124}},  // -49.5 truncates to -49
    };
    for (const auto& c : cases) {
        c.a < 0 ? set_scaled_palette(c.n) : set_blended_palette(c.a, c.n);
        EXPECT_EQ(current_entry(kProbeIndex), c.probe) << "a = " << c.a << ", n = " << c.n;
        EXPECT_EQ(current_entry(9), c.entry9) << "a = " << c.a << ", n = " << c.n;
    }
}

TEST_F(Effects, ClearFrameFillsTheBlankPixelAndTheFarDepth) {
    std::fill_n(FrameBuffer, 640 * 480, Pixel(0x5A));
    std::fill_n(ZBuffer, 640 * 480, 0);
    clear_frame();
    EXPECT_EQ(std::count(FrameBuffer, FrameBuffer + 640 * 480, Pixel(BP_PIXEL_PAL)), 640 * 480);
    EXPECT_EQ(std::count(ZBuffer, ZBuffer + 640 * 480, 0xFFFF), 640 * 480);
}

TEST_F(Effects, PictureBandIsCentredAndSkipsIndexZero) {
    std::vector<uint8_t> sheet(kPictureSheetSize);
    PictureSheet = sheet.data();
    sheet[12 * 320 + 0] = sheet[109 * 320 + 100] = kProbeIndex;
    sheet[12 * 320 + 319] = sheet[11 * 320 + 50] = 5;  // row 11 is above the band
    load_colour_lookup(Palette);
    const Pixel marker = 0x33, probe = BP_PIXEL_PAL ? kProbeIndex : 0xFC8003,
                five = BP_PIXEL_PAL ? 5 : 0xC86432;
    std::fill_n(FrameBuffer, 640 * 480, marker);
    draw_picture_band(12, 98, 191);
    draw_picture_band(130, 40, 0);   // runs past the sheet's last row
    draw_picture_band(12, 10, 475);  // runs past the screen's last row
    const std::array<int32_t, 3> cases[] = {
        {160, 191, probe},  {479, 191, five},   {260, 288, probe},  {160, 475, probe},
        {161, 191, marker}, {159, 191, marker}, {480, 191, marker}, {210, 190, marker},
    };
    for (const auto& [x, y, pixel] : cases) {
        EXPECT_EQ(FrameBuffer[y * 640 + x], Pixel(pixel)) << x << "," << y;
    }
    PictureSheet = nullptr;
}

// A frame drawn with Palette current, the probe pixel at (10, 10) and a
// cleared pixel at (11, 10). Each presentation must show the probe colour
// scaled by its step's factor, and leave the FrameBuffer as drawn.
TEST_F(Effects, FadesShowTheFrameScaledStepByStep) {
    std::vector<int32_t> in = {0}, out = {128};
    for (int32_t j = 0; j < 128; ++j) in.push_back(j), out.push_back(128 - j);
    in.push_back(128), out.insert(out.end(), {0, 0});
    const struct {
        void (*fade)();
        std::vector<int32_t> factors;
        Rgb end;
    } cases[] = {{fade_in, in, kProbeColour}, {fade_out, out, {0, 0, 0}}};
    for (const auto& c : cases) {
        open_fake_display();
        make_palette_current(Palette);
        clear_frame();
        FrameBuffer[10 * 640 + 10] = BP_PIXEL_PAL ? kProbeIndex : colour_of_index(kProbeIndex);
        const std::vector<Pixel> drawn(FrameBuffer, FrameBuffer + 640 * 480);
        fake_video.probes = {{10, 10}, {11, 10}};
        c.fade();
        ASSERT_EQ(fake_video.presentations, int32_t(c.factors.size()));
        for (size_t k = 0; k < c.factors.size(); ++k) {
            Rgb scaled;
            for (int32_t i = 0; i < 3; ++i)
                scaled[i] = uint8_t((c.factors[k] * kProbeColour[i]) >> 7);
            ASSERT_EQ(fake_video.shown[k][0], scaled) << "presentation " << k;
            ASSERT_EQ(fake_video.shown[k][1], (Rgb{0, 0, 0})) << "presentation " << k;
        }
        EXPECT_EQ(current_entry(kProbeIndex), c.end);
        EXPECT_TRUE(std::equal(drawn.begin(), drawn.end(), FrameBuffer));
    }
    EXPECT_EQ(in.size(), 130u);
    EXPECT_EQ(out.size(), 131u);
    EXPECT_EQ(in[65], 64);  // presentation 65 of fade_in shows half of every component
}

#if !BP_PIXEL_PAL
TEST_F(Effects, BrightenAddsTheBoostWithSaturationEachTime) {
    FrameBuffer[0] = 0x00102030;
    FrameBuffer[1] = 0xAB000000;  // bits 24..31 carry no colour
    FrameBuffer[640 * 480 - 1] = 0x00FFFFFF;
    ChannelBoost[0] = 250, ChannelBoost[1] = 5, ChannelBoost[2] = 0;
    brighten_frame();
    EXPECT_EQ(FrameBuffer[0], 0x00FF2530u);
    EXPECT_EQ(FrameBuffer[1], 0x00FA0500u);
    EXPECT_EQ(FrameBuffer[640 * 480 - 1], 0x00FFFFFFu);
    brighten_frame();
    EXPECT_EQ(FrameBuffer[0], 0x00FF2A30u);
}
#endif

// Missing embedded data is reported, yet everything is built from blank
// data and the first frame is black; a second preparation frees the first.
TEST(Preparation, BuildsEveryTableAndReportsMissingAssets) {
    open_fake_display();
    fake_video.probes = {{0, 0}};
    const bool assets_present = embedded_palette_bin_size && embedded_pattern_tile_bin_size &&
                                embedded_picture_sheet_rle_size && embedded_small_texture_rle_size;
    for (int32_t run = 0; run < 2; ++run) {
        EXPECT_EQ(prepare_assets(), assets_present);
        EXPECT_EQ(AddTable != nullptr, bool(BP_PIXEL_PAL));
        EXPECT_EQ(ShadeTable[0], 1);  // level 0 of colour 0 is never index 0
        show_black_frame();
        EXPECT_EQ(fake_video.shown.back()[0], (Rgb{0, 0, 0}));
        free_assets();
    }
}
}  // namespace
