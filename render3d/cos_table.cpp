// Storage and build of the CosTable.
#include "render3d/cos_table.h"

#include <cmath>

float CosTable[4096];

void build_cos_table() {
    // The single-precision pi, so the quarter turns are not exact zeros:
    // CosTable[1024] is about -4.4e-8 and CosTable[3072] about 1.3e-7.
    const double pi = 3.1415927f;
    for (int32_t i = 0; i < 4096; ++i) {
        CosTable[i] = float(std::cos(double(i) * pi * 0.00048828125));
    }
}
