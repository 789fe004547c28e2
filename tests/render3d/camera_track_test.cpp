// Camera keyframe stepping and interpolation.
#include "render3d/camera_track.h"

#include <gtest/gtest.h>

#include "platform/frame_clock.h"

namespace {

void expect_keys(const CameraKey& from, const CameraKey& to) {
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(key_from[i], float(from.values[i])) << i;
        EXPECT_EQ(key_to[i], float(to.values[i])) << i;
    }
}

void expect_camera_at(const CameraKey& key) {
    interpolate_camera();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(camera.angles[i], float(key.values[i])) << i;
        EXPECT_EQ(camera.position[i], float(key.values[i + 3])) << i;
    }
}

TEST(CameraTrack, StartShowsKeyZeroOfEveryTrack) {
    for (CameraTrack track :
         {camera_track_main, camera_track_closing1, camera_track_closing2, camera_track_closing4}) {
        start_camera_track(track);
        expect_keys(track[0], track[1]);
        expect_camera_at(track[0]);
    }
}

TEST(CameraTrack, TimePastTheSegmentEndIsDroppedNotCarried) {
    start_camera_track(camera_track_main);
    FrameDelta = 150;
    EXPECT_FALSE(advance_camera_track(camera_track_main));
    interpolate_camera();
    EXPECT_FLOAT_EQ(camera.angles[0], 3145.0f);  // halfway from key 0 to key 1
    EXPECT_FLOAT_EQ(camera.position[2], -252.5f);
    FrameDelta = 140;
    advance_camera_track(camera_track_main);
    FrameDelta = 20;  // 290 to 310
    EXPECT_FALSE(advance_camera_track(camera_track_main));
    EXPECT_EQ(track_time, 0.0f);
    EXPECT_EQ(track_key, 1);
    expect_keys(camera_track_main[1], camera_track_main[2]);
    FrameDelta = 1;
}

TEST(CameraTrack, LastSegmentWrapsTowardKeyZeroAndTheEndIsNeverPassed) {
    start_camera_track(camera_track_main);
    FrameDelta = 300;
    for (int i = 0; i < 7; ++i) EXPECT_FALSE(advance_camera_track(camera_track_main));
    EXPECT_TRUE(advance_camera_track(camera_track_main));
    expect_keys(camera_track_main[8], camera_track_main[0]);
    // At the terminator the keys stay and the time restarts, so the camera
    // jumps back to key 8; every later segment end does the same.
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(advance_camera_track(camera_track_main));
        EXPECT_EQ(track_key, 9);
        expect_keys(camera_track_main[8], camera_track_main[0]);
        expect_camera_at(camera_track_main[8]);
    }
    FrameDelta = 1;
}

}  // namespace
