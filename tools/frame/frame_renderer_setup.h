// The renderer's steps of the preparation that a frame needs.
#pragma once

// focal_length, build_cos_table, build_polar_grid.
void prepare_renderer();
// grid_object, then scene_objects[0] to [7].
void compute_all_bounding_radii();
