// The timeline's preparation of everything the pictures need, in its fixed
// order: the decoded pictures, the textures and 64 KB tables, the palettes,
// the FrameBuffer and ZBuffer, and their release at the end.
#pragma once
#include <cstdint>

// Runs the preparation steps from the first decode to the textures, with
// the CosTable, the scenes' start state (reset_scene_state, which builds the
// grids) and the bounding radii. Needs
// the display open (screen size). False when memory ran out (nothing built
// after that point) or an embedded picture, the palette or the pattern tile
// was missing or damaged (built from blank data instead). Either way
// free_assets releases what was allocated.
bool prepare_assets();

// Frees the textures, the tables and the frames; the decoded pictures live
// until the program ends.
void free_assets();

// Its pieces, for the tests and tools that need only some of them.
bool decode_pictures();  // PictureSheet, then SmallTexture
bool allocate_textures();
void free_textures();
// FrameBuffer, ZBuffer and, in demo_rgb, FadeFrame.
bool allocate_frames();
void free_frames();
// Palette from the embedded palette, then TintPalette, then BlackPalette.
bool build_palettes();
// The embedded pattern tile, or a blank one when it is missing.
const uint8_t* pattern_tile_or_blank(bool* present);
