// The renderer's part of the preparation, in the timeline's order relative
// to the colour steps: focal length, CosTable, grids, then bounding radii.
#include "tools/frame/frame_renderer_setup.h"

#include "display/display.h"
#include "render3d/cos_table.h"
#include "render3d/polar_grid.h"
#include "render3d/projection.h"
#include "render3d/scene_objects.h"

void prepare_renderer() {
    focal_length = 256 * screen_scale;
    build_cos_table();
    build_polar_grid();
}

void compute_all_bounding_radii() {
    compute_bounding_radius(&grid_object);
    for (SceneObject& o : scene_objects) compute_bounding_radius(&o);
}
