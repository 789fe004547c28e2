// demo_pal shows its frame as it stands: flashes live in the hardware palette.
#include "display/display.h"
#include "scenes/effects.h"

void show_frame() {
    present_frame(FrameBuffer);
}
