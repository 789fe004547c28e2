// The phases in their fixed order: each one's set-up, loop and what it
// restores on the way out, for the timeline to play and for the tools to
// reach one scene's start state.
#include "scenes/scenes.h"

DemoPhase demo_phase = DemoPhase::preparation;

namespace {

struct PhaseSteps {
    DemoPhase phase;
    void (*set_up)();  // may be null, as may leave
    void (*play)();
    void (*leave)();
};

const PhaseSteps kPhaseSteps[] = {
    {DemoPhase::title, nullptr, play_title, nullptr},
    {DemoPhase::main_3d, set_up_main_flight, play_main_flight, nullptr},
    {DemoPhase::closing_1, set_up_closing_scene_1, play_closing_scene_1, nullptr},
    {DemoPhase::closing_2, set_up_closing_scene_2, play_closing_scene_2, nullptr},
    {DemoPhase::closing_3, set_up_closing_scene_3, play_closing_scene_3, leave_closing_scene_3},
    {DemoPhase::closing_4, set_up_closing_scene_4, play_closing_scene_4, nullptr},
    {DemoPhase::final_title, nullptr, play_final_title, nullptr},
};

}  // namespace

const char* demo_phase_name(DemoPhase phase) {
    static const char* const names[kDemoPhaseCount] = {"preparation", "title",       "main 3D",
                                                       "closing 1",   "closing 2",   "closing 3",
                                                       "closing 4",   "final title", "ended"};
    const int32_t i = int32_t(phase);
    return i >= 0 && i < kDemoPhaseCount ? names[i] : "?";
}

void play_phase(DemoPhase phase) {
    for (const PhaseSteps& steps : kPhaseSteps) {
        if (steps.phase != phase) continue;
        demo_phase = phase;
        if (steps.set_up) steps.set_up();
        steps.play();
        if (steps.leave) steps.leave();
    }
}

void set_up_phase_as_reached(DemoPhase phase) {
    reset_scene_state();
    for (const PhaseSteps& steps : kPhaseSteps) {
        if (steps.set_up) steps.set_up();
        if (steps.phase == phase) return;
        if (steps.leave) steps.leave();
    }
}
