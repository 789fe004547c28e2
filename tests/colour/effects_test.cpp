// The screen effects in the program they are built for (BP_PIXEL_PAL): the
// palette effect, the palette helpers, the fades, the frame clear and the
// picture bands, watched through the fake display.
#include "scenes/effects.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "assets/colour_tables.h"
#include "assets/embedded.h"
#include "assets/preparation.h"
#include "assets/textures.h"
#include "display/display.h"
#include "replayer/replayer.h"
#include "shell/frame_clock.h"
#include "tests/colour/fake_video.h"

namespace {
constexpr int32_t kProbeIndex = 7;
constexpr Rgb kProbeColour = {252, 128, 3};

Rgb entry_of(const uint8_t* palette, int32_t index) {
    return {palette[3 * index], palette[3 * index + 1], palette[3 * index + 2]};
}

// The palette the screen shows now: ColourLookup or the hardware palette.
Rgb current_entry(int32_t index) {
#if BP_PIXEL_PAL
    return entry_of(fake_video.palette, index);
#else
    return {ColourLookup[0][index], ColourLookup[1][index], ColourLookup[2][index]};
#endif
}

// How far a black entry is lifted toward white: the boost in demo_rgb, the
// flashed black entry in demo_pal.
int32_t white_lift() {
#if BP_PIXEL_PAL
    return current_entry(0)[0];
#else
    return ChannelBoost[0];
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
        FlashMode = 0;
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

TEST_F(Effects, PaletteEffectFlashesDrainsAndDecays) {
    struct Case {
        const char* name;
        int32_t mode, row;
        float level, delta;
        float rgb_level, pal_level;
        Rgb rgb_entry;  // entry (200, 100, 50) as made current
        int32_t rgb_boost;
        Rgb pal_entry;
    };
    const Case cases[] = {
        {"white flash row, slow decay",
         3,
         16,
         0,
         1,
         44.25f,
         44.25f,
         {200, 100, 50},
         176,
         {238, 207, 191}},
        {"drain on a flash row", 2, 16, 0, 1, 48, 38, {74, 49, 36}, 0, {111, 71, 50}},
        {"drain between flash rows", 2, 3, 20, 1, 18, 18, {169, 97, 60}, 0, {169, 97, 60}},
        {"full drain is black", 2, 0, 70, 1, 68, 68, {0, 0, 0}, 0, {0, 0, 0}},
        {"strength stops at 64", 0, 0, 110, 1, 108, 108, {200, 100, 50}, 255, {255, 255, 255}},
        {"decay may end below 0", 0, 0, 1, 1, -1, -1, {200, 100, 50}, 0, {200, 98, 47}},
        {"below 0 resets to 0", 0, 0, -1, 1, 0, 0, {200, 100, 50}, 0, {200, 100, 50}},
        {"mode 1 between flash rows", 1, 2, 10, 1.5f, 7, 7, {200, 100, 50}, 27, {206, 116, 72}},
        {"mode 3 decays slowly", 3, 2, 10, 2, 8.5f, 8.5f, {200, 100, 50}, 33, {207, 120, 77}},
        {"mode 0 ignores flash rows", 0, 16, 0, 1, 0, 0, {200, 100, 50}, 0, {200, 100, 50}},
        {"mode 1 peak on row 46", 1, 46, 0, 1, 43, 43, {200, 100, 50}, 171, {236, 204, 187}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FlashMode = c.mode;
        SongRow = c.row;
        FlashLevel = c.level;
        FrameDelta = c.delta;
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

// From 110 the level falls by 2 a frame; the shown strength stays at full
// white until the level drops below 64.
TEST_F(Effects, FlashFromOneHundredTenHoldsFullWhiteUntilBelowSixtyFour) {
    FlashLevel = 110.0f;
    for (int32_t frame = 1; frame <= 24; ++frame) {
        apply_palette_effect(Palette);
        ASSERT_EQ(FlashLevel, 110.0f - 2.0f * frame);
        ASSERT_EQ(white_lift(), frame <= 23 ? 255 : 247) << "frame " << frame;
    }
}

TEST_F(Effects, ScaledPaletteClampsItsFactor) {
    struct Case {
        int32_t n;
        Rgb probe;
    } cases[] = {{300, kProbeColour}, {256, kProbeColour}, {-5, {0, 0, 0}},
                 {128, {126, 64, 1}}, {1, {0, 0, 0}},      {255, {251, 127, 2}}};
    for (const Case& c : cases) {
        set_scaled_palette(c.n);
        EXPECT_EQ(current_entry(kProbeIndex), c.probe) << "n = " << c.n;
    }
    set_scaled_palette(-5);
    for (int32_t i = 0; i < 256; ++i) ASSERT_EQ(current_entry(i), (Rgb{0, 0, 0})) << i;
}

TEST_F(Effects, BlendedPaletteMovesTowardTintAndScales) {
    std::memcpy(Palette + 3 * 9, "\x64\x01\x00", 3);      // (100, 1, 0)
    std::memcpy(TintPalette + 3 * 9, "\x01\x64\xF9", 3);  // (1, 100, 249)
    struct Case {
        int32_t a, n;
        Rgb entry9;
    } cases[] = {
        {256, 256, {1, 100, 249}},  // all the way to the tint
        {999, 256, {1, 100, 249}},  // a clamps to 256
        {0, 128, {50, 0, 0}},       // half brightness
        {128, 256, {51, 50, 124}},  // -49.5 truncates to -49, 49.5 to 49
        {-7, 256, {100, 1, 0}},     // a clamps to 0
    };
    for (const Case& c : cases) {
        set_blended_palette(c.a, c.n);
        EXPECT_EQ(current_entry(9), c.entry9) << "a = " << c.a << ", n = " << c.n;
    }
    set_blended_palette(256, 256);
    for (int32_t i = 0; i < 256; ++i) ASSERT_EQ(current_entry(i), entry_of(TintPalette, i)) << i;
}

TEST_F(Effects, ClearFrameFillsTheBlankPixelAndTheFarDepth) {
    std::memset(FrameBuffer, 0x5A, size_t(640 * 480) * sizeof(Pixel));
    std::memset(ZBuffer, 0, size_t(640 * 480) * sizeof(uint16_t));
    clear_frame();
    const Pixel blank = BP_PIXEL_PAL ? 1 : 0;
    for (int32_t n = 0; n < 640 * 480; ++n) {
        ASSERT_EQ(FrameBuffer[n], blank) << n;
        ASSERT_EQ(ZBuffer[n], 0xFFFF) << n;
    }
}

TEST_F(Effects, PictureBandIsCentredAndSkipsIndexZero) {
    PictureSheet = static_cast<uint8_t*>(std::calloc(kPictureSheetSize, 1));
    PictureSheet[12 * 320 + 0] = kProbeIndex;
    PictureSheet[12 * 320 + 319] = 5;
    PictureSheet[109 * 320 + 100] = kProbeIndex;
    PictureSheet[11 * 320 + 50] = 5;  // the row above the band
    load_colour_lookup(Palette);
    const Pixel marker = Pixel(0x33);
    std::fill_n(FrameBuffer, 640 * 480, marker);
    draw_picture_band(12, 98, 191);
    draw_picture_band(130, 40, 0);   // runs past the sheet's last row
    draw_picture_band(12, 10, 475);  // runs past the screen's last row
    auto pixel = [](int32_t x, int32_t y) { return FrameBuffer[y * 640 + x]; };
#if BP_PIXEL_PAL
    const Pixel probe = kProbeIndex, five = 5;
#else
    const Pixel probe = 0xFC8003, five = 0xC86432;
#endif
    EXPECT_EQ(pixel(160, 191), probe);
    EXPECT_EQ(pixel(479, 191), five);
    EXPECT_EQ(pixel(260, 191 + 97), probe);
    EXPECT_EQ(pixel(161, 191), marker);  // index 0 is not drawn
    EXPECT_EQ(pixel(159, 191), marker);
    EXPECT_EQ(pixel(480, 191), marker);
    EXPECT_EQ(pixel(210, 190), marker);
    EXPECT_EQ(pixel(160, 475), probe);
    std::free(PictureSheet);
    PictureSheet = nullptr;
}

class Fades : public Effects {
protected:
    void SetUp() override {
        Effects::SetUp();
        // The frame as the title leaves it: drawn with Palette current.
        load_colour_lookup(Palette);
        make_palette_current(Palette);
        clear_frame();
#if BP_PIXEL_PAL
        FrameBuffer[10 * 640 + 10] = kProbeIndex;
#else
        FrameBuffer[10 * 640 + 10] = colour_of_index(kProbeIndex);
#endif
        fake_video.probes = {{10, 10}, {11, 10}};
        drawn.assign(FrameBuffer, FrameBuffer + 640 * 480);
    }
    std::vector<Pixel> drawn;

    // Every presentation shows the probe colour scaled by its step's factor.
    void expect_steps(const std::vector<int32_t>& factors) {
        ASSERT_EQ(fake_video.shown.size(), factors.size());
        for (size_t k = 0; k < factors.size(); ++k) {
            Rgb expected;
            for (int32_t c = 0; c < 3; ++c)
                expected[c] = uint8_t((factors[k] * kProbeColour[c]) >> 7);
            ASSERT_EQ(fake_video.shown[k][0], expected) << "presentation " << k;
            ASSERT_EQ(fake_video.shown[k][1], (Rgb{0, 0, 0})) << "presentation " << k;
        }
    }
};

TEST_F(Fades, FadeInRisesFromBlackInOneHundredThirtySteps) {
    fade_in();
    std::vector<int32_t> factors = {0};
    for (int32_t j = 0; j < 128; ++j) factors.push_back(j);
    factors.push_back(128);
    EXPECT_EQ(fake_video.presentations, 130);
    expect_steps(factors);
    // Presentation 65 is j = 64: half of every component.
    EXPECT_EQ(fake_video.shown[65][0], (Rgb{126, 64, 1}));
    EXPECT_EQ(current_entry(kProbeIndex), kProbeColour);
    EXPECT_TRUE(std::equal(drawn.begin(), drawn.end(), FrameBuffer));
}

TEST_F(Fades, FadeOutFallsToBlackInOneHundredThirtyOneSteps) {
    fade_out();
    std::vector<int32_t> factors = {128};
    for (int32_t n = 128; n >= 0; --n) factors.push_back(n);
    factors.push_back(0);
    EXPECT_EQ(fake_video.presentations, 131);
    expect_steps(factors);
    EXPECT_EQ(current_entry(kProbeIndex), (Rgb{0, 0, 0}));
    EXPECT_TRUE(std::equal(drawn.begin(), drawn.end(), FrameBuffer));
}

TEST_F(Fades, BlackFrameIsOneBlackPresentation) {
    show_black_frame();
    EXPECT_EQ(fake_video.presentations, 1);
    EXPECT_EQ(fake_video.shown[0][0], (Rgb{0, 0, 0}));
    EXPECT_EQ(current_entry(kProbeIndex), (Rgb{0, 0, 0}));
}

#if !BP_PIXEL_PAL
TEST_F(Effects, BrightenAddsTheBoostWithSaturationEachTime) {
    FrameBuffer[0] = 0x00102030;
    FrameBuffer[1] = 0xAB000000;  // bits 24..31 carry no colour
    FrameBuffer[640 * 480 - 1] = 0x00FFFFFF;
    ChannelBoost[0] = 250;
    ChannelBoost[1] = 5;
    ChannelBoost[2] = 0;
    brighten_frame();
    EXPECT_EQ(FrameBuffer[0], 0x00FF2530u);
    EXPECT_EQ(FrameBuffer[1], 0x00FA0500u);
    EXPECT_EQ(FrameBuffer[640 * 480 - 1], 0x00FFFFFFu);
    brighten_frame();
    EXPECT_EQ(FrameBuffer[0], 0x00FF2A30u);
}
#endif
// Missing embedded data is reported, yet everything is allocated and built
// from blank data, and a second preparation releases the first.
TEST(Preparation, BuildsEveryTableAndReportsMissingAssets) {
    open_fake_display();
    const bool assets_present =
        embedded_palette_bin_size >= 768 && embedded_pattern_tile_bin_size >= 4096 &&
        embedded_picture_sheet_rle_size > 0 && embedded_small_texture_rle_size > 0;
    for (int32_t run = 0; run < 2; ++run) {
        EXPECT_EQ(prepare_assets(), assets_present);
        for (uint8_t* table :
             {ShadeTable, SqrtTable, TextureSmooth, TexturePattern, TexturePatternLit,
              TexturePatternCopy, TexturePatternDark, PictureSheet, SmallTexture}) {
            ASSERT_NE(table, nullptr);
        }
        EXPECT_EQ(AddTable != nullptr, bool(BP_PIXEL_PAL));
        EXPECT_EQ(SqrtTable[65535], 255);
        EXPECT_EQ(ShadeTable[0], 1);  // level 0 of colour 0 is never index 0
        EXPECT_EQ(std::memcmp(TexturePattern, TexturePatternCopy, kTextureSize), 0);
        show_black_frame();
        free_assets();
        EXPECT_EQ(ShadeTable, nullptr);
        EXPECT_EQ(FrameBuffer, nullptr);
    }
    EXPECT_EQ(fake_video.presentations, 2);
    EXPECT_EQ(fake_video.shown.size(), 2u);
}
}  // namespace
