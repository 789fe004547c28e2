// The phases of the demo, in the order they play, and the state they start
// from. Every phase is a scene: the title, the main 3D flight, the four
// closing scenes and the final title. Each 3D scene has a set-up function
// that gives its objects, textures, camera and colour effects, and a loop
// that renders until SongPosition reaches its end position or the message
// pump takes an end request. A scene leaves what it changed in place for the
// next; only the third restores focal_length on the way out. Owns
// demo_phase and the start table.
#pragma once
#include <cstdint>

enum class DemoPhase : int32_t {
    preparation,  // decoding, tables, the black frame, the music start
    title,
    main_3d,
    closing_1,
    closing_2,
    closing_3,
    closing_4,
    final_title,  // the title again, the final wait and the last fade
    ended,        // music stopped, everything freed
};
constexpr int32_t kDemoPhaseCount = 9;

// The phase playing now, for the progress display of the capture tool and
// for tests that follow the demo frame by frame.
extern DemoPhase demo_phase;

// "title", "main 3D", "closing 1", ...
const char* demo_phase_name(DemoPhase phase);

// Puts every scene object, grid_object, the camera, focal_length,
// depth_far, FlashMode and FlashLevel back to their start values and
// flattens the grids again. Needs the CosTable and the screen size.
void reset_scene_state();

// Plays one phase from title to final_title: sets demo_phase, runs the
// phase's set-up and its loop, and restores what it restores on the way
// out. Other phases do nothing.
void play_phase(DemoPhase phase);

// The state a phase starts from when the demo reaches it: the start table,
// then the set-up (and the restoring) of every earlier phase, then the
// phase's own set-up. What the loops turn and wave frame by frame is not
// replayed: that motion starts from the set-ups' values.
void set_up_phase_as_reached(DemoPhase phase);

// The phases one by one, for tests and tools that play or draw one alone.
void play_title();
void set_up_main_flight();
void play_main_flight();
// Ends at SongPosition 9: the main flight goes on and fades to black, with a
// caption strip from position 7.
void set_up_closing_scene_1();
void play_closing_scene_1();
// Ends at 13: a second flight that fades in, drains and flashes on the flash
// rows, and fades out slowly during position 12.
void set_up_closing_scene_2();
void play_closing_scene_2();
// Ends at 16: a fixed view of the glow emblem over the lit grid, colours
// swinging between Palette and TintPalette, a caption strip below.
void set_up_closing_scene_3();
void play_closing_scene_3();
void leave_closing_scene_3();  // focal_length back to its start value
// Ends at 22: the spires and the waving grid under white flashes.
void set_up_closing_scene_4();
void play_closing_scene_4();
// Its camera flies upside down: half a turn about the view axis on top of
// the track's angles.
void turn_camera_upside_down();
// The title again, held until the song reaches the end of its last
// phrase, then faded to black.
void play_final_title();
