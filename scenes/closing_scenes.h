// The four closing scenes that follow the main 3D phase. Each sets up its
// objects, textures, camera and colour effects, renders until SongPosition
// equals its end position or the message pump takes an end request, and
// leaves what it changed (objects, textures, FlashMode, depth_far) in place
// for the next; only the third restores focal_length.
#pragma once

// Ends at SongPosition 9: the main flight goes on and fades to black, with a
// caption strip from position 7.
void closing_scene_1();
// Ends at 13: a second flight that fades in, drains and flashes on the flash
// rows, and fades out slowly during position 12.
void closing_scene_2();
// Ends at 16: a fixed view of the glow emblem over the lit grid, colours
// swinging between Palette and TintPalette, a caption strip below.
void closing_scene_3();
// Ends at 22: the spires and the waving grid under white flashes.
void closing_scene_4();
