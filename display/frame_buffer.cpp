// Storage of the FrameBuffer and ZBuffer pointers; the timeline allocates.
#include "display/pixel.h"

Pixel* FrameBuffer;
uint16_t* ZBuffer;
