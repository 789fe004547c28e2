// Arithmetic the instrument synthesis builds on: a sine, an exponential and a
// noise source made only of IEEE additions, multiplications and divisions,
// so that the same source gives the same sample bytes on every machine and
// with every maths library.
#pragma once
#include <cstdint>

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

double synth_sine(double radians);
double synth_exp(double x);
// exp(-1 / (seconds x rate)): the per-point factor of a decay with time
// constant `seconds` at `rate` points per second.
double decay_factor(double seconds, double rate);
// A smooth saturation, about tanh for |x| below 3, exactly +-1 beyond.
double soft_clip(double x);

// xorshift32: the noise source of the drums. Never seeded with 0.
struct Noise {
    uint32_t state;
};
double next_noise(Noise& noise);  // uniform in [-1, 1)

// A two-pole state-variable filter; `tune` is 2 sin(pi fc / rate).
struct Svf {
    double tune = 0.0;
    double damping = 1.0;  // 1 / Q
    double low = 0.0;
    double band = 0.0;
};
Svf make_svf(double cutoff_hz, double rate, double q);
// Runs one point; returns the high-pass output, leaves low and band in the state.
double run_svf(Svf& f, double in);
