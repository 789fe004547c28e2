// Sine, cosine, arctangent and exponential from basic operations only, so
// that every machine computes the same bits (see det_math.h).
#include "tools/assetgen/visual/det_math.h"

#include <cmath>

namespace {

// Taylor series on |x| <= pi/4, where 12 terms are exact to the last bit or so.
double sin_core(double x) {
    double x2 = x * x, term = x, sum = x;
    for (int n = 1; n < 12; ++n) {
        term *= -x2 / double((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

double cos_core(double x) {
    double x2 = x * x, term = 1.0, sum = 1.0;
    for (int n = 1; n < 12; ++n) {
        term *= -x2 / double((2 * n - 1) * (2 * n));
        sum += term;
    }
    return sum;
}

// Octant of x and the remainder in [-pi/4, pi/4].
double reduce(double x, int& octant) {
    double turns = std::floor(x / (kPi / 2.0) + 0.5);
    octant = int(turns - 4.0 * std::floor(turns / 4.0));
    return x - turns * (kPi / 2.0);
}

// atan on [0, 1]: halve the angle twice, then the series converges fast.
double atan_core(double x) {
    for (int i = 0; i < 2; ++i) x = x / (1.0 + std::sqrt(1.0 + x * x));
    double x2 = x * x, term = x, sum = x;
    for (int n = 1; n < 30; ++n) {
        term *= -x2;
        sum += term / double(2 * n + 1);
    }
    return 4.0 * sum;
}

}  // namespace

double det_sin(double x) {
    int q;
    double r = reduce(x, q);
    switch (q) {
        case 0:
            return sin_core(r);
        case 1:
            return cos_core(r);
        case 2:
            return -sin_core(r);
        default:
            return -cos_core(r);
    }
}

double det_cos(double x) {
    return det_sin(x + kPi / 2.0);
}

double det_atan2(double y, double x) {
    if (x == 0.0 && y == 0.0) return 0.0;
    double ax = std::fabs(x), ay = std::fabs(y);
    double a = ay <= ax ? atan_core(ay / ax) : kPi / 2.0 - atan_core(ax / ay);
    if (x < 0.0) a = kPi - a;
    return y < 0.0 ? -a : a;
}

double det_exp(double x) {
    // e^x = (e^(x / 2^k))^(2^k) with a short series for the small argument.
    int k = 0;
    while (std::fabs(x) > 0.125 && k < 40) {
        x *= 0.5;
        ++k;
    }
    double term = 1.0, sum = 1.0;
    for (int n = 1; n < 14; ++n) {
        term *= x / double(n);
        sum += term;
    }
    while (k-- > 0) sum *= sum;
    return sum;
}
