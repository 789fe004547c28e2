// What a single frame needs before it can be drawn: the screen size, the
// colour tables, textures and frames, the CosTable, the grids and the
// bounding radii, with Palette current. Two versions: the timeline's own
// preparation (frame_assets_colour.cpp) and crafted stand-ins for when the
// colour code is not in the tree (frame_assets_stand_in.cpp); the build picks one.
#pragma once

// False with a message on stderr when something could not be prepared.
bool prepare_frame_assets();
// FrameBuffer cleared and ZBuffer set to far, as before every 3D frame.
void clear_frame_for_drawing();
// Releases what prepare_frame_assets allocated.
void free_frame_assets();

// Replaces any embedded mesh that is missing (size 0 until the content is
// generated) with a stand-in sphere of about its size, so views are not
// empty. Returns how many were replaced.
int substitute_missing_meshes();
