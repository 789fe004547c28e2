// The "BIG PARADE" title as a neon sign: our own letters bent from tubes,
// "BIG" in ice blue over a marching "PARADE" in pink, between two gold
// stars. Each tube has a white-hot core, a body graded from top to foot and
// a glow; thin tubes keep the title within the picture's packed length.
#pragma once
#include "tools/assetgen/visual/index_image.h"

constexpr int kLogoWidth = 320;
constexpr int kLogoHeight = 98;

IndexImage draw_title_logo();
