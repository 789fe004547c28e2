// The "BIG PARADE" title: letters drawn from strokes as distance fields,
// with a chrome fill, a bevel, an outline and an extruded violet side.
#pragma once
#include "tools/assetgen/visual/index_image.h"

constexpr int kLogoWidth = 320;
constexpr int kLogoHeight = 98;

IndexImage draw_title_logo();
