// The shared steps of the render loops: the phase clock, the end of a frame,
// the turns scaled by FrameDelta, the colour swing and the flights' objects.
#include "scenes/scene_loop.h"

#include "assets/textures.h"
#include "platform/frame_clock.h"
#include "platform/message_pump.h"
#include "render3d/cos_table.h"
#include "render3d/truncate.h"
#include "scenes/effects.h"

void start_phase_clock() {
    start_frame_clock();
    FrameDelta = 1.0f;
}

// The delta is read even after an end request: the frame's updates still run
// before its loop ends.
bool finish_phase_frame() {
    show_frame();
    const bool keep_running = poll_window_messages();
    FrameDelta = read_frame_delta();
    return keep_running;
}

void turn_object(SceneObject* object, AngleAxis axis, double rate) {
    advance_by_frame_delta(&object->angles[axis], rate);
}

void advance_by_frame_delta(float* value, double rate) {
    *value = float(double(*value) + rate * double(FrameDelta));
}

void set_up_flight_objects() {
    scene_objects[kJewel].texture = TexturePattern;
    grid_object.texture = TextureSmooth;
    scene_objects[kGridDisc].texture = TextureSmooth;
    FlashMode = FlashKind::none;
}

void turn_flight_grids() {
    turn_object(&grid_object, angle_b, -4.0);
    turn_object(&scene_objects[kGridDisc], angle_b, -2.0);
}

int32_t palette_swing(float t) {
    const double cosine = CosTable[angle_index(16.0 * double(t))];
    return truncate_to_int(cosine * 127.0 + 128.0);
}
