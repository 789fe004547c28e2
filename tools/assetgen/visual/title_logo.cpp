// Draws the title (see title_logo.h). Each letter is a set of strokes (line
// segments and circular arcs) along the centre of its stems, in a box one
// unit high; a pixel's distance to the nearest stroke decides whether it is
// the letter's highlight, its fill, its outline or background.
#include "tools/assetgen/visual/title_logo.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tools/assetgen/visual/det_math.h"
#include "tools/assetgen/visual/palette_design.h"

namespace {

struct Vec2 {
    double x, y;
};

// A segment from a to b, or (when arc) the arc of radius r around a from
// angle a0 to a1 (radians, y down, a0 < a1).
struct Stroke {
    bool arc;
    Vec2 a, b;
    double r, a0, a1;
};

struct Letter {
    double width;
    std::vector<Stroke> strokes;
};

constexpr double kDeg = kPi / 180.0;

Stroke line(double x0, double y0, double x1, double y1) {
    return {false, {x0, y0}, {x1, y1}, 0, 0, 0};
}
Stroke arc(double cx, double cy, double r, double from_deg, double to_deg) {
    return {true, {cx, cy}, {0, 0}, r, from_deg * kDeg, to_deg * kDeg};
}

double segment_distance(Vec2 p, Vec2 a, Vec2 b) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? clamp01(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2) : 0.0;
    double ex = p.x - a.x - t * dx, ey = p.y - a.y - t * dy;
    return std::sqrt(ex * ex + ey * ey);
}

double arc_distance(Vec2 p, const Stroke& s) {
    double dx = p.x - s.a.x, dy = p.y - s.a.y;
    double angle = det_atan2(dy, dx);
    while (angle < s.a0) angle += kTwoPi;
    if (angle <= s.a1) return std::fabs(std::sqrt(dx * dx + dy * dy) - s.r);
    auto end = [&](double t) {
        Vec2 e = {s.a.x + s.r * det_cos(t), s.a.y + s.r * det_sin(t)};
        return std::sqrt((p.x - e.x) * (p.x - e.x) + (p.y - e.y) * (p.y - e.y));
    };
    return std::min(end(s.a0), end(s.a1));
}

// A stadium-shaped bowl on the right of a stem, from y0 to y1, reaching out
// to x = right.
void add_bowl(Letter& l, double T, double y0, double y1, double right) {
    double r = (y1 - y0) / 2, cx = right - r;
    l.strokes.push_back(line(T, y0, cx, y0));
    l.strokes.push_back(line(T, y1, cx, y1));
    l.strokes.push_back(arc(cx, y0 + r, r, -90, 90));
}

// T: the stroke centre lines' inset from the letter box, of its height.
Letter letter(char ch, double T) {
    const double B = 1.0 - T;
    Letter l;
    switch (ch) {
        case 'B':
            l.width = 0.62 + T;
            l.strokes.push_back(line(T, T, T, B));
            add_bowl(l, T, T, 0.48, l.width - T - 0.05);  // the upper bowl is the narrower
            add_bowl(l, T, 0.48, B, l.width - T);
            break;
        case 'I':
            l.width = 0.24 + 2 * T;
            l.strokes.push_back(line(l.width / 2, T, l.width / 2, B));
            l.strokes.push_back(line(T, T, l.width - T, T));
            l.strokes.push_back(line(T, B, l.width - T, B));
            break;
        case 'G': {
            l.width = 0.98;
            double r = 0.5 - T, cx = 0.49;
            l.strokes.push_back(arc(cx, 0.5, r, 0, 318));
            l.strokes.push_back(line(cx + r, 0.5, cx + 0.06, 0.5));
            l.strokes.push_back(line(cx + r, 0.5, cx + r, 0.62));
            break;
        }
        case 'P':
            l.width = 0.72;
            l.strokes.push_back(line(T, T, T, B));
            add_bowl(l, T, T, 0.57, l.width - T);
            break;
        case 'R':
            l.width = 0.76;
            l.strokes.push_back(line(T, T, T, B));
            add_bowl(l, T, T, 0.55, l.width - T);
            l.strokes.push_back(line(0.42, 0.55, l.width - T, B));
            break;
        case 'A': {
            l.width = 0.86;
            double apex = l.width / 2, bar = 0.66;
            double leg = apex - (apex - T) * (bar - T) / (B - T);  // left leg's x at the bar
            l.strokes.push_back(line(apex, T, T, B));
            l.strokes.push_back(line(apex, T, l.width - T, B));
            l.strokes.push_back(line(leg, bar, l.width - leg, bar));
            break;
        }
        case 'D': {
            l.width = 0.82;
            double r = 0.5 - T, cx = l.width - T - r;
            l.strokes.push_back(line(T, T, T, B));
            l.strokes.push_back(line(T, T, cx, T));
            l.strokes.push_back(line(T, B, cx, B));
            l.strokes.push_back(arc(cx, 0.5, r, -90, 90));
            break;
        }
        case 'E':
            l.width = 0.64;
            l.strokes.push_back(line(T, T, T, B));
            l.strokes.push_back(line(T, T, l.width - T, T));
            l.strokes.push_back(line(T, 0.5, l.width - T - 0.07, 0.5));
            l.strokes.push_back(line(T, B, l.width - T, B));
            break;
        default:
            l.width = 0.4;
            break;
    }
    return l;
}

double letter_distance(const Letter& l, Vec2 p) {
    double d = 1e9;
    for (const Stroke& s : l.strokes)
        d = std::min(d, s.arc ? arc_distance(p, s) : segment_distance(p, s.a, s.b));
    return d;
}

// A letter set on the title: its glyph, top-left corner, height and stroke
// half-width in pixels; upper parts lean right by `lean` pixels per pixel of
// height.
struct Placed {
    Letter glyph;
    double x, y, height, half_width, lean;
};

// A five-pointed star's outline, as a signed distance in pixels (negative
// inside).
struct Star {
    double x, y, radius, turn;
};

double star_distance(const Star& s, Vec2 p) {
    // Fold the point into one of the ten half-spikes and measure to its edge.
    double dx = p.x - s.x, dy = p.y - s.y;
    double angle = det_atan2(dy, dx) - s.turn;
    double sector = kTwoPi / 5;
    angle -= sector * std::floor(angle / sector + 0.5);
    double rr = std::sqrt(dx * dx + dy * dy);
    Vec2 q = {rr * det_cos(std::fabs(angle)), rr * det_sin(std::fabs(angle))};
    Vec2 tip = {s.radius, 0},
         notch = {0.45 * s.radius * det_cos(sector / 2), 0.45 * s.radius * det_sin(sector / 2)};
    double d = segment_distance(q, tip, notch);
    // inside when the point lies on the centre's side of the edge
    double ex = notch.x - tip.x, ey = notch.y - tip.y;
    double side = (q.x - tip.x) * ey - (q.y - tip.y) * ex;
    return side < 0 ? -d : d;
}

// The colours of one kind of lettering, as palette indices: the fill runs
// from `top` at the top of the letters to `foot` at their foot; the
// highlight lies along the upper left edges.
struct Paint {
    int highlight, top, foot, outline, shadow;
};

struct Layout {
    std::vector<Placed> letters;
    std::vector<Paint> letter_paint;
    std::vector<Star> stars;
};

const Paint kIcePaint = {kFireFirst, kIceFirst + 63, kIceFirst + 38, kVioletFirst + 6,
                         kVioletFirst + 1};
const Paint kPinkPaint = {kFireFirst, kVioletFirst + 15, kVioletFirst + 9, kVioletFirst + 4,
                          kVioletFirst + 1};
const Paint kGoldPaint = {kFireFirst, kFireFirst + 3, kFireFirst + 13, kFireFirst + 22,
                          kVioletFirst + 1};

constexpr double kOutline = 0.0;     // outline width in pixels
constexpr double kHighlight = 2.2;   // highlight depth inside the upper left edges
constexpr int kShadowStep = 0;       // the shadow lies this far down and right

Layout title_layout() {
    Layout layout;
    // march: letters step alternately up and down by this many pixels
    auto set_line = [&](const std::string& text, double height, double half_width, double top,
                        double spacing, Paint paint, double march) {
        double inset = half_width / height;
        double width = 0;
        for (char ch : text) width += letter(ch, inset).width * height + spacing;
        width -= spacing;
        double lean = 0.12;
        double x = (kLogoWidth - width - lean * height) / 2;
        for (size_t i = 0; i < text.size(); ++i) {
            Letter l = letter(text[i], inset);
            double step = (i % 2 == 0) ? -march : march;
            layout.letters.push_back({l, x, top + step, height, half_width, lean});
            layout.letter_paint.push_back(paint);
            x += l.width * height + spacing;
        }
    };
    set_line("BIG", 68, 3.5, 5, 10, kIcePaint, 0);
    set_line("PARADE", 18, 1.9, 78, 10, kPinkPaint, 1.0);
    return layout;
}

// Signed distance in pixels to the nearest letter's edge (negative inside),
// that letter's paint, and how far down it the point lies (0 top, 1 foot).
double title_distance(const Layout& layout, Vec2 p, Paint& paint, double& down) {
    double d = 1e9;
    for (size_t i = 0; i < layout.letters.size(); ++i) {
        const Placed& l = layout.letters[i];
        double gy = (p.y - l.y) / l.height;
        double gx = (p.x - l.x - l.lean * (l.y + l.height - p.y)) / l.height;
        if (gx < -0.4 || gx > l.glyph.width + 0.4 || gy < -0.4 || gy > 1.4) continue;
        double dl = letter_distance(l.glyph, {gx, gy}) * l.height - l.half_width;
        if (dl < d) d = dl, paint = layout.letter_paint[i], down = clamp01(gy);
    }
    for (const Star& s : layout.stars) {
        double ds = star_distance(s, p);
        if (ds < d)
            d = ds, paint = kGoldPaint, down = clamp01((p.y - s.y + s.radius) / (2 * s.radius));
    }
    return d;
}

}  // namespace

IndexImage draw_title_logo() {
    const Layout layout = title_layout();
    IndexImage image(kLogoWidth, kLogoHeight);
    IndexImage inked(kLogoWidth, kLogoHeight);  // 1 on letters and their outline
    std::vector<int> shadow_of(kLogoWidth * kLogoHeight, 0);
    for (int y = 0; y < kLogoHeight; ++y) {
        for (int x = 0; x < kLogoWidth; ++x) {
            Paint paint{};
            double down = 0;
            Vec2 p = {x + 0.5, y + 0.5};
            double d = title_distance(layout, p, paint, down);
            if (d >= kOutline) continue;
            inked.at(x, y) = 1;
            shadow_of[y * kLogoWidth + x] = paint.shadow;
            if (d >= 0 && kOutline > 0) {
                image.at(x, y) = uint8_t(paint.outline);
                continue;
            }
            // The highlight: inside, near an edge that faces up and left.
            Paint unused{};
            double unused_down = 0;
            double behind = title_distance(layout, {p.x - kHighlight, p.y - kHighlight}, unused,
                                           unused_down);
            if (behind > 0 && d > -kHighlight * 1.5)
                image.at(x, y) = uint8_t(paint.highlight);
            else
                image.at(x, y) = uint8_t(round_to_int(lerp(paint.top, paint.foot, down)));
        }
    }
    // The shadow falls down and right of everything inked, where nothing is.
    for (int y = kLogoHeight - 1; y >= 0; --y)
        for (int x = kLogoWidth - 1; x >= 0; --x) {
            int sx = x - kShadowStep, sy = y - kShadowStep;
            if (kShadowStep == 0 || image.at(x, y) != 0 || sx < 0 || sy < 0 || !inked.at(sx, sy)) continue;
            image.at(x, y) = uint8_t(shadow_of[sy * kLogoWidth + sx]);
        }
    return image;
}
