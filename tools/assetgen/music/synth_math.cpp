// Deterministic maths of the instrument synthesis (see synth_math.h). The
// build turns off contraction into fused multiply-adds for this folder, so
// every operation here rounds the same way everywhere.
#include "tools/assetgen/music/synth_math.h"

#include <cmath>

double synth_sine(double radians) {
    // Fold into [-pi/2, pi/2], where the series below is good to 1e-13.
    double r = radians - std::floor(radians / kTwoPi + 0.5) * kTwoPi;
    if (r > kPi / 2) r = kPi - r;
    if (r < -kPi / 2) r = -kPi - r;
    double r2 = r * r;
    double term = r;
    double sum = r;
    for (int n = 1; n <= 9; ++n) {
        term *= -r2 / double((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

double synth_exp(double x) {
    // x = k ln 2 + r with |r| <= ln 2 / 2; e^r by its series, then scaled by 2^k.
    constexpr double kLn2 = 0.69314718055994530942;
    double k = std::floor(x / kLn2 + 0.5);
    double r = x - k * kLn2;
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 20; ++n) {
        term *= r / n;
        sum += term;
    }
    return std::ldexp(sum, int(k));
}

double decay_factor(double seconds, double rate) {
    return synth_exp(-1.0 / (seconds * rate));
}

double soft_clip(double x) {
    if (x >= 3.0) return 1.0;
    if (x <= -3.0) return -1.0;
    return x * (27.0 + x * x) / (27.0 + 9.0 * x * x);
}

double next_noise(Noise& noise) {
    uint32_t s = noise.state;
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    noise.state = s;
    return double(s) / 2147483648.0 - 1.0;
}

Svf make_svf(double cutoff_hz, double rate, double q) {
    Svf f;
    f.tune = 2.0 * synth_sine(kPi * cutoff_hz / rate);
    f.damping = 1.0 / q;
    return f;
}

double run_svf(Svf& f, double in) {
    f.low += f.tune * f.band;
    double high = in - f.low - f.damping * f.band;
    f.band += f.tune * high;
    return high;
}
