// The CosTable: one full turn is 4096 angle units. Angles are truncated
// toward zero and masked with 4095, so negative and large angles wrap.
#pragma once
#include <cstdint>

#include "render3d/truncate.h"

extern float CosTable[4096];

void build_cos_table();

inline uint32_t angle_index(int32_t angle) {
    return uint32_t(angle) & 4095u;
}
inline uint32_t angle_index(double angle) {
    return angle_index(truncate_to_int(angle));
}
// The sine of n is the cosine of n - 1024.
inline float cos_of_angle(int32_t n) {
    return CosTable[angle_index(n)];
}
inline float sin_of_angle(int32_t n) {
    return CosTable[(uint32_t(n) - 1024u) & 4095u];
}
