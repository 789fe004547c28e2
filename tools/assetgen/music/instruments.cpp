// The eleven instruments of the module, synthesised point by point: drums
// from noise and pitch sweeps, a plucked bass, a chorused lead, two chord
// pads, a crash, an electric-piano bell, a brass stab and a tom. Each is
// shaped for the note it is mostly played at (the rates below) and written
// as 8-bit signed points scaled to its own peak, which sets its place in the
// mix.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/assetgen/music/music_module.h"
#include "tools/assetgen/music/synth_math.h"

namespace {

// Points per second when a sample is played at a note (classic period p
// plays at 3,579,545 / p points per second).
constexpr double kRateC2 = 3579545.25 / 428;
constexpr double kRateA1 = 3579545.25 / 508;
constexpr double kRateC3 = 3579545.25 / 214;
constexpr double kRateA3 = 3579545.25 / 127;
constexpr double kRateD3 = 3579545.25 / 190;

std::vector<int8_t> to_points(const std::vector<double>& wave, double peak) {
    double largest = 0.0;
    for (double x : wave) largest = std::fmax(largest, std::fabs(x));
    double scale = largest > 0.0 ? peak / largest : 0.0;
    std::vector<int8_t> points(wave.size());
    for (size_t i = 0; i < wave.size(); ++i) {
        double v = std::floor(wave[i] * scale + 0.5);
        points[i] = int8_t(std::fmax(-127.0, std::fmin(127.0, v)));
    }
    return points;
}

// Ramps the last `fraction` of a one-shot down to 0, so that a sample cut
// short by its length ends without a click.
void fade_tail(std::vector<double>& wave, double fraction) {
    size_t n = wave.size();
    size_t start = n - size_t(double(n) * fraction);
    for (size_t i = start; i < n; ++i) wave[i] *= double(n - 1 - i) / double(n - 1 - start);
}

double smoothstep(double x) {
    return x * x * (3.0 - 2.0 * x);
}

SynthSample one_shot(int number, const char* name, int volume, const std::vector<double>& wave,
                     double peak) {
    return SynthSample{number, name, volume, to_points(wave, peak), 0, 0};
}

std::vector<double> make_kick(size_t n, double rate) {
    std::vector<double> wave(n);
    Noise noise{0x6b1d5eedu};
    double pitch = 1.0, amp = 1.0, click = 1.0, click_low = 0.0, phase = 0.0;
    const double pitch_decay = decay_factor(0.032, rate), amp_decay = decay_factor(0.15, rate);
    const double click_decay = decay_factor(0.004, rate);
    for (size_t i = 0; i < n; ++i) {
        phase += kTwoPi * (47.0 + 125.0 * pitch) / rate;
        pitch *= pitch_decay;
        double attack = std::fmin(1.0, double(i) / 10.0);
        click_low += 0.5 * (next_noise(noise) - click_low);
        double x = synth_sine(phase) * amp * attack + 0.35 * click_low * click;
        amp *= amp_decay;
        click *= click_decay;
        wave[i] = soft_clip(1.8 * x);
    }
    fade_tail(wave, 0.12);
    return wave;
}

SynthSample make_snare(int number, size_t n) {
    const double rate = kRateC3;
    std::vector<double> wave(n);
    Noise noise{0x5a4e3001u};
    Svf high = make_svf(1800.0, rate, 0.8);
    double tone = 1.0, hiss = 1.0, p1 = 0.0, p2 = 0.0, drop = 1.0;
    const double tone_decay = decay_factor(0.045, rate), hiss_decay = decay_factor(0.085, rate);
    const double drop_decay = decay_factor(0.02, rate);
    for (size_t i = 0; i < n; ++i) {
        p1 += kTwoPi * (180.0 + 40.0 * drop) / rate;
        p2 += kTwoPi * (320.0 + 60.0 * drop) / rate;
        drop *= drop_decay;
        double body = (synth_sine(p1) + 0.5 * synth_sine(p2)) * tone;
        double snap = run_svf(high, next_noise(noise)) * hiss;
        double attack = std::fmin(1.0, double(i) / 12.0);
        wave[i] = soft_clip(1.4 * attack * (0.75 * body + 0.9 * snap));
        tone *= tone_decay;
        hiss *= hiss_decay;
    }
    fade_tail(wave, 0.2);
    return one_shot(number, "snare", 64, wave, 120.0);
}

SynthSample make_hat(int number, size_t n) {
    const double rate = kRateA3;
    std::vector<double> wave(n);
    Noise noise{0x4a7b1c3du};
    // Six square partials at inharmonic ratios give the metal; noise the air.
    const double partials[6] = {2050.0, 3040.0, 3690.0, 5220.0, 5400.0, 8000.0};
    double phases[6] = {};
    double previous_in = 0.0, high = 0.0, amp = 1.0, tail = 0.18;
    const double amp_decay = decay_factor(0.012, rate), tail_decay = decay_factor(0.05, rate);
    for (size_t i = 0; i < n; ++i) {
        double metal = 0.0;
        for (int k = 0; k < 6; ++k) {
            phases[k] += partials[k] / rate;
            phases[k] -= std::floor(phases[k]);
            metal += phases[k] < 0.5 ? 1.0 : -1.0;
        }
        double in = 0.6 * next_noise(noise) + 0.08 * metal;
        high = 0.55 * (high + in - previous_in);  // one-pole high-pass near 4 kHz
        previous_in = in;
        wave[i] = high * (amp + tail);
        amp *= amp_decay;
        tail *= tail_decay;
    }
    fade_tail(wave, 0.25);
    return one_shot(number, "closed hat", 44, wave, 120.0);
}

// Table of sin(2 pi k / 64), so that periodic voices reuse exact values.
std::vector<double> sine_table(int size) {
    std::vector<double> table(size);
    for (int k = 0; k < size; ++k) table[k] = synth_sine(kTwoPi * k / size);
    return table;
}

// A saw-like bass of 64 points a cycle (C-1 = 65.4 Hz): bright at the
// attack, then one warm cycle repeats as the loop.
SynthSample make_bass(int number) {
    const int cycle = 64, attack = 1024, harmonics = 20;
    const std::vector<double> table = sine_table(cycle);
    std::vector<double> wave(attack + cycle);
    for (int i = 0; i < int(wave.size()); ++i) {
        double m = i < attack ? (1.0 - double(i) / attack) * (1.0 - double(i) / attack) : 0.0;
        double x = 0.0;
        for (int h = 1; h <= harmonics; ++h) {
            double warm = 1.0 / (1.0 + (h / 3.2) * (h / 3.2));
            double bright = 1.0 / (1.0 + (h / 11.0) * (h / 11.0));
            x += (warm + m * (bright - warm)) / h * table[(h * i) % cycle];
        }
        wave[i] = x * (1.0 + 0.3 * m);
    }
    SynthSample s = one_shot(number, "bass", 64, wave, 112.0);
    s.loop_start = attack;
    s.loop_length = cycle;
    return s;
}

// A lead of 32 points a cycle (C-2 = 261.6 Hz), half saw, half square, one
// voice. The loop holds 80 cycles with one slow swing of phase across it: a
// vibrato of about 10 cents at 5 to 7 Hz where the lead is played, which
// joins without a seam because the swing comes back to where it began.
SynthSample make_lead(int number) {
    const int cycle = 32, attack = 512, loop = 2560, harmonics = 12;
    const double depth = 0.45;  // radians of the fundamental: loop/cycle x 0.6% of pitch
    std::vector<double> wave(attack + loop);
    for (int i = 0; i < int(wave.size()); ++i) {
        double m = i < attack ? 1.0 - double(i) / attack : 0.0;
        double swing = i < attack ? 0.0 : depth * synth_sine(kTwoPi * (i - attack) / loop);
        double theta = kTwoPi * i / cycle + swing;
        double x = 0.0;
        for (int h = 1; h <= harmonics; ++h) {
            double shape = (0.55 + (h % 2 == 1 ? 0.45 : 0.0)) / h;
            double cutoff = 7.0 + 6.0 * m;
            x += shape / (1.0 + (h / cutoff) * (h / cutoff)) * synth_sine(h * theta);
        }
        wave[i] = x * smoothstep(std::fmin(1.0, i / 24.0));
    }
    SynthSample s = one_shot(number, "lead", 44, wave, 104.0);
    s.loop_start = attack;
    s.loop_length = loop;
    return s;
}

// A chord pad whose root has 64 points a cycle. Every tone fits a whole
// number of cycles into the loop (just intonation), and each tone has a
// chorused twin, so the loop joins without a seam. Twelve harmonics falling
// a little faster than a saw's keep the chords open above 2 kHz.
SynthSample make_pad(int number, const char* name, int root_cycles, const int (&tone_cycles)[4],
                     int attack) {
    const int loop = root_cycles * 64, harmonics = 12;
    const double weights[4] = {1.0, 0.8, 0.75, 0.45};
    std::vector<double> wave(attack + loop);
    for (int i = 0; i < int(wave.size()); ++i) {
        double x = 0.0;
        for (int t = 0; t < 4; ++t) {
            double theta = kTwoPi * double(tone_cycles[t]) * i / loop;
            double swing = 0.35 * synth_sine(kTwoPi * i / loop + t * kPi / 2);
            for (int h = 1; h <= harmonics; ++h) {
                double a = weights[t] / (h * (1.0 + h / 16.0));
                x += a * (synth_sine(h * theta) + synth_sine(h * (theta + swing)));
            }
        }
        wave[i] = x * (i < attack ? smoothstep(double(i) / attack) : 1.0);
    }
    SynthSample s = one_shot(number, name, 44, wave, 124.0);
    s.loop_start = attack;
    s.loop_length = loop;
    return s;
}

// A crash with a kick under it: the hit of the flash rows, played at D-3 so
// that its wash reaches 9 kHz.
SynthSample make_crash(int number, size_t n) {
    const double rate = kRateD3;
    std::vector<double> wave(n);
    Noise noise{0xc7a5b001u};
    std::vector<double> kick = make_kick(n, rate);
    double h1 = 0.0, h2 = 0.0, in1 = 0.0, in2 = 0.0, amp = 1.0, ring = 0.0;
    const double amp_decay = decay_factor(0.45, rate);
    for (size_t i = 0; i < n; ++i) {
        ring += 587.0 / rate;
        double metal = synth_sine(kTwoPi * ring) * synth_sine(kTwoPi * ring * 2.76);
        double in = next_noise(noise) + 0.25 * metal;
        h1 = 0.55 * (h1 + in - in1);  // two one-pole high-passes near 1.8 kHz
        in1 = in;
        h2 = 0.55 * (h2 + h1 - in2);
        in2 = h1;
        double attack = std::fmin(1.0, double(i) / 30.0);
        wave[i] = 1.7 * h2 * amp * attack + 0.7 * kick[i];
        amp *= amp_decay;
    }
    fade_tail(wave, 0.3);
    return one_shot(number, "crash", 64, wave, 127.0);
}

// An electric-piano bell of 32 points a cycle: frequency modulation whose
// index and level fall over the attack, then one cycle loops that keeps some
// index and a little of the tine, so the held bell still shines.
SynthSample make_bell(int number) {
    const int cycle = 32, attack = 1792;
    std::vector<double> wave(attack + cycle);
    for (int i = 0; i < int(wave.size()); ++i) {
        double u = i < attack ? 1.0 - double(i) / attack : 0.0;
        double index = 0.9 + 2.2 * u * u;
        double theta = kTwoPi * i / cycle;
        double tine = (0.08 + 0.3 * u * u * u) * synth_sine(7.0 * theta);
        double level = 0.35 + 0.65 * u * u;
        wave[i] = (synth_sine(theta + index * synth_sine(theta)) + tine) * level *
                  std::fmin(1.0, i / 6.0);
    }
    SynthSample s = one_shot(number, "bell", 44, wave, 124.0);
    s.loop_start = attack;
    s.loop_length = cycle;
    return s;
}

// A brass stab: root, fifth, octave and twelfth of saws, with no third, so
// it sits on major and minor chords alike. It starts sharp and falls into
// tune, with a breath of noise on the attack. Root 64 points a cycle.
SynthSample make_stab(int number, size_t n) {
    const double rate = kRateA1;
    const double ratios[4] = {1.0, 1.5, 2.0, 3.0};
    std::vector<double> wave(n);
    Noise noise{0x57ab0001u};
    double phases[4] = {}, bend = 1.0, amp = 1.0, breath = 1.0;
    const double bend_decay = decay_factor(0.02, rate), amp_decay = decay_factor(0.16, rate);
    const double breath_decay = decay_factor(0.012, rate);
    for (size_t i = 0; i < n; ++i) {
        double x = 0.0;
        for (int t = 0; t < 4; ++t) {
            phases[t] += ratios[t] * (1.0 + 0.03 * bend) / 64.0;
            phases[t] -= std::floor(phases[t]);
            for (int h = 1; h <= 10; ++h)
                x += synth_sine(kTwoPi * h * phases[t]) / (h * (1.0 + h * h / 40.0));
        }
        double attack = std::fmin(1.0, double(i) / 20.0);
        wave[i] = soft_clip(0.6 * (x * amp * attack + 0.6 * next_noise(noise) * breath));
        bend *= bend_decay;
        amp *= amp_decay;
        breath *= breath_decay;
    }
    fade_tail(wave, 0.25);
    return one_shot(number, "power stab", 64, wave, 127.0);
}

SynthSample make_tom(int number, size_t n) {
    const double rate = kRateC2;
    std::vector<double> wave(n);
    Noise noise{0x70d0f00du};
    double phase = 0.0, pitch = 1.0, amp = 1.0, hit = 1.0;
    const double pitch_decay = decay_factor(0.06, rate), amp_decay = decay_factor(0.17, rate);
    const double hit_decay = decay_factor(0.006, rate);
    for (size_t i = 0; i < n; ++i) {
        phase += kTwoPi * (92.0 + 60.0 * pitch) / rate;
        double attack = std::fmin(1.0, double(i) / 8.0);
        double x = synth_sine(phase) * amp * attack + 0.3 * next_noise(noise) * hit;
        wave[i] = soft_clip(1.5 * x);
        pitch *= pitch_decay;
        amp *= amp_decay;
        hit *= hit_decay;
    }
    fade_tail(wave, 0.15);
    return one_shot(number, "tom", 64, wave, 120.0);
}

}  // namespace

// The sample data of the whole module comes to 31,558 bytes; the crash takes
// what the others leave.
constexpr size_t kSampleDataBytes = 31558;

std::vector<SynthSample> synthesise_instruments() {
    std::vector<SynthSample> samples;
    SynthSample kick = one_shot(2, "kick", 64, make_kick(2200, kRateC2), 127.0);
    samples.push_back(kick);
    samples.push_back(make_snare(3, 3000));
    samples.push_back(make_hat(4, 1600));
    samples.push_back(make_bass(7));
    samples.push_back(make_lead(8));
    samples.push_back(make_pad(9, "minor pad", 50, {50, 60, 75, 100}, 256));
    samples.push_back(make_pad(10, "major pad", 40, {40, 50, 60, 80}, 256));
    samples.push_back(make_bell(12));
    samples.push_back(make_stab(13, 2700));
    samples.push_back(make_tom(14, 2100));
    size_t used = 0;
    for (const SynthSample& s : samples) used += s.data.size();
    samples.push_back(make_crash(11, kSampleDataBytes - used));
    std::sort(samples.begin(), samples.end(),
              [](const SynthSample& a, const SynthSample& b) { return a.number < b.number; });
    return samples;
}
