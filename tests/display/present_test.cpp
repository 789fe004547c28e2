// present_frame against the virtual display, built once per pixel format:
// rows land at the surface pitch, a busy or lost surface still gets the
// frame, the flip is the video clock, and in demo_pal a palette upload
// recolours what is already on screen.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "display/display.h"
#include "platform/video_device.h"
#include "platform/virtual_clock.h"
#include "platform/virtual_display.h"
#include "tools/common/image_io.h"

namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;
constexpr size_t kRowBytes = kWidth * sizeof(Pixel);

// A frame whose every row differs from its neighbours, so a row written at
// the wrong place or with the wrong stride shows.
std::vector<Pixel> numbered_frame() {
    std::vector<Pixel> frame(size_t(kWidth) * kHeight);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = Pixel(i * 2654435761u + i / kWidth);
    return frame;
}

void open_virtual_display(int32_t padding = 0) {
    reset_virtual_display();
    virtual_pitch_padding = padding;
    ASSERT_TRUE(open_display(nullptr));
}

// Compares the locked-and-copied back buffer with the frame; tails must keep
// the fill byte.
void expect_back_buffer_holds(const std::vector<Pixel>& frame) {
    const uint8_t* surface = virtual_back_buffer();
    int32_t pitch = virtual_surface_pitch();
    const uint8_t* source = reinterpret_cast<const uint8_t*>(frame.data());
    for (int32_t y = 0; y < kHeight; ++y) {
        const uint8_t* row = surface + size_t(y) * pitch;
        ASSERT_EQ(std::memcmp(row, source + y * kRowBytes, kRowBytes), 0) << "row " << y;
        for (size_t x = kRowBytes; x < size_t(pitch); ++x) {
            ASSERT_EQ(row[x], kVirtualSurfaceFill) << "tail of row " << y << " byte " << x;
        }
    }
}

TEST(PresentFrame, OpenDisplayPublishesTheScreenSize) {
    open_virtual_display();
    EXPECT_EQ(screen_width, 640);
    EXPECT_EQ(screen_height, 480);
    EXPECT_EQ(screen_width * screen_height, 307200);
    EXPECT_EQ(screen_scale, 2.0f);
    close_display();
    EXPECT_EQ(virtual_display_misuse, 0);
}

TEST(PresentFrame, RowsStartAtThePitchAndTheirTailsStayUntouched) {
    std::vector<Pixel> frame = numbered_frame();
    for (int32_t padding : {0, 4, 12, 64, 1000}) {
        SCOPED_TRACE(padding);
        open_virtual_display(padding);
        copy_to_back_buffer(frame.data());
        expect_back_buffer_holds(frame);
        EXPECT_EQ(virtual_display_misuse, 0);
    }
}

TEST(PresentFrame, LockRefusedWhileStillDrawingIsRetriedAndCopiesOnceGranted) {
    std::vector<Pixel> frame = numbered_frame();
    for (int32_t refusals : {1, 3, 250}) {
        SCOPED_TRACE(refusals);
        open_virtual_display(8);
        virtual_locks_still_drawing = refusals;
        copy_to_back_buffer(frame.data());
        EXPECT_EQ(virtual_lock_attempts, refusals + 1);
        expect_back_buffer_holds(frame);
        EXPECT_EQ(virtual_display_misuse, 0);
    }
}

TEST(PresentFrame, LostSurfaceIsRestoredAndStillShowsTheFrame) {
    std::vector<Pixel> frame = numbered_frame();
    open_virtual_display();
    virtual_surface_lost = true;
    present_frame(frame.data());
    EXPECT_EQ(virtual_restore_count, 1);
    EXPECT_EQ(virtual_flip_count, 1);
    EXPECT_EQ(virtual_display_misuse, 0);
}

TEST(PresentFrame, EachFlipAdvancesVirtualTimeByOneVideoFrame) {
    std::vector<Pixel> frame = numbered_frame();
    for (int32_t rate : {60, 50, 70}) {
        SCOPED_TRACE(rate);
        reset_virtual_display();
        virtual_refresh_rate = rate;
        ASSERT_TRUE(open_display(nullptr));
        int64_t start = virtual_counter;
        for (int32_t i = 0; i < rate; ++i) present_frame(frame.data());
        EXPECT_EQ(virtual_counter - start, kVirtualCounterFrequency) << "one second";
        EXPECT_EQ(virtual_flip_count, rate);
    }
}

TEST(PresentFrame, FailingOpenPublishesNothingAndSaysWhy) {
    reset_virtual_display();
    screen_width = 0;
    virtual_open_fails = true;
    EXPECT_FALSE(open_display(nullptr));
    EXPECT_EQ(screen_width, 0);
    EXPECT_NE(std::strlen(video_error()), 0u);
}

#if BP_PIXEL_PAL
std::vector<uint8_t> palette_of(uint8_t seed) {
    std::vector<uint8_t> rgb(768);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(i * 7 + seed);
    return rgb;
}

std::vector<uint8_t> expected_screen(const std::vector<Pixel>& frame,
                                     const std::vector<uint8_t>& palette) {
    std::vector<uint8_t> rgb;
    for (Pixel index : frame) rgb.insert(rgb.end(), &palette[3 * index], &palette[3 * index + 3]);
    return rgb;
}

TEST(PresentFrame, PaletteUploadRecoloursTheShownFrameAtOnce) {
    std::vector<Pixel> frame = numbered_frame();
    open_virtual_display(4);
    std::vector<uint8_t> first = palette_of(0), second = palette_of(99);
    upload_palette(256, first.data());
    present_frame(frame.data());
    std::vector<uint8_t> screen(size_t(kWidth) * kHeight * 3);
    read_virtual_screen_rgb(screen.data());
    EXPECT_EQ(screen, expected_screen(frame, first));

    upload_palette(256, second.data());
    read_virtual_screen_rgb(screen.data());
    EXPECT_EQ(screen, expected_screen(frame, second));
    EXPECT_EQ(virtual_flip_count, 1) << "recolouring needs no flip";
}

uint64_t hash_at_flip;
void remember_hash(const PresentedFrame& frame) {
    hash_at_flip = hash_presented_frame(frame);
}

TEST(PresentFrame, PresentedFrameCarriesThePaletteOfItsPresentation) {
    std::vector<Pixel> frame = numbered_frame();
    std::vector<uint64_t> hashes;
    for (uint8_t seed : {0, 1}) {
        open_virtual_display();
        virtual_frame_sink = remember_hash;
        std::vector<uint8_t> palette = palette_of(seed);
        upload_palette(256, palette.data());
        present_frame(frame.data());
        hashes.push_back(hash_at_flip);
    }
    EXPECT_NE(hashes[0], hashes[1]);
}
#endif

}  // namespace
