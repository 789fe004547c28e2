// The renderer's one float-to-integer conversion. Every conversion truncates
// toward zero. C++ leaves the conversion of NaN, an infinity or a value
// beyond the int32 range undefined, so those saturate instead: +inf and large
// positive values to INT32_MAX, NaN, -inf and large negative values to
// INT32_MIN. Callers treat both extremes as "cannot be drawn".
#pragma once
#include <cstdint>

inline int32_t truncate_to_int(double value) {
    if (value >= -2147483648.0 && value < 2147483648.0) return int32_t(value);
    return value > 0 ? INT32_MAX : INT32_MIN;
}
