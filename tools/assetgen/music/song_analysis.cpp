// The figures of song_analysis.h. Filters are biquads in direct form I;
// the spectrogram is a Hann-windowed radix-2 FFT every 0.1 s.
#include "tools/assetgen/music/song_analysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>

#include "tools/assetgen/music/music_module.h"
#include "tools/common/image_io.h"

namespace {

constexpr double kRate = 44100.0;
constexpr double kPiD = 3.14159265358979323846;
constexpr int64_t kOnsetFrames = 2205;  // 50 ms
constexpr int kFlashRows[4] = {1, 16, 34, 46};

struct Biquad {
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double run(double x) {
        double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

Biquad high_pass(double cutoff, double q) {
    double w = 2.0 * kPiD * cutoff / kRate, alpha = std::sin(w) / (2.0 * q), c = std::cos(w);
    double a0 = 1.0 + alpha;
    return Biquad{(1.0 + c) / 2.0 / a0, -(1.0 + c) / a0, (1.0 + c) / 2.0 / a0, -2.0 * c / a0,
                  (1.0 - alpha) / a0};
}

// The two stages of the K-weighting: a high shelf of +4 dB above 1.7 kHz and
// a high-pass at 38 Hz.
Biquad k_shelf() {
    const double gain_db = 3.999843853973347, q = 0.7071752369554196, fc = 1681.974450955533;
    double k = std::tan(kPiD * fc / kRate), vh = std::pow(10.0, gain_db / 20.0);
    double vb = std::pow(vh, 0.4996667741545416), a0 = 1.0 + k / q + k * k;
    return Biquad{(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0,
                  (vh - vb * k / q + k * k) / a0, 2.0 * (k * k - 1.0) / a0,
                  (1.0 - k / q + k * k) / a0};
}

Biquad k_high_pass() {
    const double q = 0.5003270373238773, fc = 38.13547087602444;
    double k = std::tan(kPiD * fc / kRate), a0 = 1.0 + k / q + k * k;
    return Biquad{1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

double median(std::vector<double> v) {
    if (v.empty()) return -200.0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

const SongSection& section_of(int position) {
    for (const SongSection& s : kSongSections)
        if (position >= s.first && position <= s.last) return s;
    return kSongSections.back();
}

const uint8_t* cell_at(const uint8_t* module, int position, int row, int channel) {
    int pattern = module[952 + position];
    return module + kHeaderBytes + size_t(pattern) * kPatternBytes +
           size_t(row * kChannels + channel) * 4;
}

bool note_starts(const uint8_t* cell) {
    return ((cell[0] & 0x0F) << 8 | cell[1]) != 0;
}

double to_db(double value) {
    return value > 0.0 ? 20.0 * std::log10(value / 32767.0) : -200.0;
}

}  // namespace

double loudness_lufs(const SongRender& r, int64_t first_frame, int64_t end_frame) {
    end_frame = std::min<int64_t>(end_frame, int64_t(r.pcm.size() / 2));
    double sum = 0.0;
    for (int side = 0; side < 2; ++side) {
        Biquad shelf = k_shelf(), hp = k_high_pass();
        for (int64_t i = first_frame; i < end_frame; ++i) {
            double y = hp.run(shelf.run(r.pcm[size_t(2 * i + side)] / 32768.0));
            sum += y * y;
        }
    }
    int64_t frames = end_frame - first_frame;
    return frames > 0 && sum > 0.0 ? -0.691 + 10.0 * std::log10(sum / double(frames)) : -200.0;
}

OnsetSignals onset_signals(const SongRender& r) {
    OnsetSignals s;
    size_t frames = r.pcm.size() / 2;
    s.full.resize(frames);
    s.high.resize(frames);
    Biquad a = high_pass(2000.0, 0.7071), b = high_pass(2000.0, 0.7071);
    for (size_t i = 0; i < frames; ++i) {
        double mono = 0.5 * (r.pcm[2 * i] + r.pcm[2 * i + 1]);
        s.full[i] = float(mono);
        s.high[i] = float(b.run(a.run(mono)));
    }
    return s;
}

double onset_db(const std::vector<float>& signal, int64_t frame) {
    int64_t end = std::min<int64_t>(frame + kOnsetFrames, int64_t(signal.size()));
    double sum = 0.0;
    for (int64_t i = frame; i < end; ++i) sum += double(signal[size_t(i)]) * signal[size_t(i)];
    return end > frame ? to_db(std::sqrt(sum / double(end - frame))) : -200.0;
}

bool is_flash_row(int position, int row) {
    bool flashing = (position >= 10 && position <= 12) || (position >= 16 && position <= 21);
    return flashing &&
           std::find(std::begin(kFlashRows), std::end(kFlashRows), row) != std::end(kFlashRows);
}

std::vector<AccentMargin> accent_margins(const SongRender& r, const uint8_t* module, size_t size) {
    std::vector<AccentMargin> margins;
    if (size < kHeaderBytes) return margins;
    OnsetSignals s = onset_signals(r);
    for (const RowMark& m : r.rows) {
        if (!is_flash_row(m.position, m.row)) continue;
        const SongSection& section = section_of(m.position);
        std::vector<double> full, high;
        for (const RowMark& o : r.rows) {
            if (o.position < section.first || o.position > section.last) continue;
            if (is_flash_row(o.position, o.row)) continue;
            bool onset = false;
            for (int c = 0; c < kChannels; ++c)
                onset = onset || note_starts(cell_at(module, o.position, o.row, c));
            if (!onset) continue;
            full.push_back(onset_db(s.full, o.frame));
            high.push_back(onset_db(s.high, o.frame));
        }
        margins.push_back(AccentMargin{m.position, m.row, onset_db(s.full, m.frame) - median(full),
                                       onset_db(s.high, m.frame) - median(high)});
    }
    return margins;
}

ClickCount count_retrigger_clicks(const uint8_t* module, size_t size, int threshold) {
    ClickCount count;
    constexpr int64_t kBefore = 256;  // about 6 ms
    constexpr int kSilent = 33;       // -60 dBFS
    for (int channel = 0; channel < kChannels; ++channel) {
        std::vector<uint8_t> solo = solo_channel(module, size, channel);
        SongRender r;
        std::string error;
        if (!render_song(solo.data(), solo.size(), r, error)) continue;
        int64_t frames = int64_t(r.pcm.size() / 2);
        auto value = [&](int64_t i) {
            return int(r.pcm[size_t(2 * i)]) + r.pcm[size_t(2 * i + 1)];
        };
        for (const RowMark& m : r.rows) {
            if (m.frame < kBefore + 2 || m.frame + 3 >= frames) continue;
            if (!note_starts(cell_at(module, m.position, m.row, channel))) continue;
            int before_step = 0, before_level = 0;
            for (int64_t i = m.frame - kBefore; i < m.frame - 1; ++i) {
                before_step = std::max(before_step, std::abs(value(i) - value(i - 1)));
                before_level = std::max(before_level, std::abs(value(i)));
            }
            if (before_level <= kSilent) continue;
            int step = 0;
            for (int64_t i = m.frame - 1; i <= m.frame + 2; ++i)
                step = std::max(step, std::abs(value(i) - value(i - 1)));
            int excess = step - before_step;
            if (excess >= threshold) {
                ++count.per_channel[channel];
                ++count.total;
                count.worst = std::max(count.worst, excess);
            }
        }
    }
    return count;
}

namespace {

void fft(std::vector<std::complex<double>>& a) {
    size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        std::complex<double> w(std::cos(-2.0 * kPiD / double(len)),
                               std::sin(-2.0 * kPiD / double(len)));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> t(1.0, 0.0);
            for (size_t k = 0; k < len / 2; ++k) {
                std::complex<double> u = a[i + k], v = a[i + k + len / 2] * t;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                t *= w;
            }
        }
    }
}

// Dark blue through red to yellow-white, for 0..1.
void heat(double x, uint8_t* rgb) {
    x = std::clamp(x, 0.0, 1.0);
    double r = std::clamp(3.0 * x - 0.6, 0.0, 1.0), g = std::clamp(3.0 * x - 1.5, 0.0, 1.0);
    double b = std::clamp(x < 0.4 ? 0.25 + 1.5 * x : 1.4 - 2.0 * x, 0.0, 1.0);
    if (x > 0.85) b = std::clamp((x - 0.85) * 6.0, 0.0, 1.0);
    rgb[0] = uint8_t(255.0 * r);
    rgb[1] = uint8_t(255.0 * g);
    rgb[2] = uint8_t(255.0 * b);
}

}  // namespace

bool write_spectrogram_png(const SongRender& r, const std::string& path) {
    constexpr int kFft = 2048, kHop = 4410, kHeight = 360, kMarks = 8;
    constexpr double kLowHz = 40.0, kHighHz = 16000.0, kFloorDb = -95.0, kTopDb = -15.0;
    int64_t frames = int64_t(r.pcm.size() / 2);
    int width = int(frames / kHop);
    if (width <= 0) return false;
    std::vector<uint8_t> rgb(size_t(width) * (kHeight + kMarks) * 3, 0);
    std::vector<double> window(kFft);
    for (int i = 0; i < kFft; ++i) window[i] = 0.5 - 0.5 * std::cos(2.0 * kPiD * i / kFft);
    std::vector<std::complex<double>> bins(kFft);
    for (int x = 0; x < width; ++x) {
        int64_t start = int64_t(x) * kHop + kHop / 2 - kFft / 2;
        for (int i = 0; i < kFft; ++i) {
            int64_t f = std::clamp<int64_t>(start + i, 0, frames - 1);
            double mono = 0.5 * (r.pcm[size_t(2 * f)] + r.pcm[size_t(2 * f + 1)]) / 32768.0;
            bins[i] = window[i] * mono;
        }
        fft(bins);
        for (int y = 0; y < kHeight; ++y) {
            // Rows on a log scale of frequency: each pixel averages its bins.
            double lo = kLowHz * std::pow(kHighHz / kLowHz, double(y) / kHeight);
            double hi = kLowHz * std::pow(kHighHz / kLowHz, double(y + 1) / kHeight);
            int b0 = int(lo * kFft / kRate), b1 = std::max(b0 + 1, int(hi * kFft / kRate));
            double power = 0.0;
            for (int b = b0; b < b1; ++b) power += std::norm(bins[size_t(b)]);
            power /= double(b1 - b0);
            double db = 10.0 * std::log10(power * 4.0 / (kFft * kFft) + 1e-20);
            uint8_t* px = &rgb[(size_t(kMarks + kHeight - 1 - y) * width + x) * 3];
            heat((db - kFloorDb) / (kTopDb - kFloorDb), px);
        }
    }
    // Section starts as white ticks along the top, positions as grey ones.
    for (const RowMark& m : r.rows) {
        if (m.row != 0) continue;
        int x = int(m.frame / kHop);
        if (x >= width) continue;
        bool section = false;
        for (const SongSection& s : kSongSections) section = section || s.first == m.position;
        for (int y = 0; y < (section ? kMarks : kMarks / 2); ++y)
            for (int c = 0; c < 3; ++c) rgb[(size_t(y) * width + x) * 3 + c] = section ? 255 : 140;
    }
    return write_png_rgb(path, width, kHeight + kMarks, rgb.data());
}

void print_song_figures(const SongRender& r, const uint8_t* module, size_t size) {
    std::printf("section                                         peak dBFS   RMS dBFS   LUFS\n");
    for (const SongSection& s : kSongSections) {
        int64_t a = position_start(r, s.first), b = position_start(r, s.last + 1);
        Loudness l = measure(r, a, b);
        std::printf("  %2d-%2d %-40s %7.2f   %7.2f   %6.2f\n", s.first, s.last, s.name,
                    to_db(l.peak), l.rms_db, loudness_lufs(r, a, b));
    }
    int64_t end = int64_t(r.pcm.size() / 2);
    Loudness all = measure(r, 0, end);
    std::printf("  whole song                                     %7.2f   %7.2f   %6.2f\n",
                to_db(all.peak), all.rms_db, loudness_lufs(r, 0, end));
    double theme_a = loudness_lufs(r, position_start(r, 3), position_start(r, 6));
    std::printf("climax against theme A (LUFS per position; theme A 3-5: %.2f)\n  ", theme_a);
    for (int p = 16; p <= 21; ++p)
        std::printf(" %d: %+.2f", p,
                    loudness_lufs(r, position_start(r, p), position_start(r, p + 1)) - theme_a);
    std::printf(
        "\naccent margins (flash row onset minus the median onset of its section, 50 ms)\n");
    std::vector<AccentMargin> margins = accent_margins(r, module, size);
    double least_full = 1e9, least_high = 1e9;
    for (const AccentMargin& m : margins) {
        std::printf("  position %2d row %2d  full %+6.2f dB  above 2 kHz %+6.2f dB\n", m.position,
                    m.row, m.full_db, m.high_db);
        least_full = std::min(least_full, m.full_db);
        least_high = std::min(least_high, m.high_db);
    }
    std::printf("  least: full %+.2f dB, above 2 kHz %+.2f dB\n", least_full, least_high);
    ClickCount clicks = count_retrigger_clicks(module, size);
    std::printf(
        "retrigger clicks above -30 dBFS: %d (drums %d, bass %d, chords %d, lead %d), "
        "worst step %.1f dBFS\n",
        clicks.total, clicks.per_channel[0], clicks.per_channel[1], clicks.per_channel[2],
        clicks.per_channel[3], to_db(clicks.worst));
}
