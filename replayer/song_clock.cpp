// The song clock that the pictures follow: the order-list position and row
// being played, written by the thread that renders, read by the timeline.
#include "replayer/replayer.h"

std::atomic<int32_t> SongPosition{0};
std::atomic<int32_t> SongRow{0};
