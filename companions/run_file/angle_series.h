#pragma once

#include <cmath>

#include "base/double_angles.h"

// Sines and cosines in double precision by their Taylor series, for the
// readers' quick checks of a record (distance_check, ring_point_check):
// cheaper than the library's, and within a known bound.

// Sine and cosine of x in [-pi/2, pi/2] through x^11 and x^12: alternating
// with falling terms, so within the first term left out, (pi/2)^13 / 13! =
// 5.7e-8 and (pi/2)^14 / 14! = 6.4e-9, which the checks' slack leaves room
// for.
constexpr double factorial(int k) {
    return k <= 1 ? 1.0 : k * factorial(k - 1);
}

inline double taylor_sine(double x) {
    const double x2 = x * x;
    return x * (1.0 + x2 * (-1.0 / factorial(3) +
                            x2 * (1.0 / factorial(5) +
                                  x2 * (-1.0 / factorial(7) +
                                        x2 * (1.0 / factorial(9) +
                                              x2 * (-1.0 / factorial(11)))))));
}

inline double taylor_cosine(double x) {
    const double x2 = x * x;
    return 1.0 + x2 * (-1.0 / factorial(2) +
                       x2 * (1.0 / factorial(4) +
                             x2 * (-1.0 / factorial(6) +
                                   x2 * (1.0 / factorial(8) +
                                         x2 * (-1.0 / factorial(10) +
                                               x2 * (1.0 / factorial(12)))))));
}

// Cosine of a longitude difference of at most 1440 degrees: whole turns
// taken off, then cos x = -cos(180 - x) beyond 90.
inline double cosine_of_degrees(double difference) {
    double x = std::fabs(difference);
    x = std::fabs(x - 360.0 * static_cast<double>(static_cast<int>(x / 360.0 + 0.5)));
    if (x > 90.0) {
        return -taylor_cosine((180.0 - x) * RADIANS_PER_DEGREE);
    }
    return taylor_cosine(x * RADIANS_PER_DEGREE);
}

// Sine and cosine of a longitude difference of at most 1440 degrees: whole
// turns taken off (x in [-180, 180]), then sin x = sin(+-180 - x) and
// cos x = -cos(+-180 - x) beyond +-90.
inline void sine_and_cosine_of_degrees(double difference, double& sine, double& cosine) {
    const double half = difference < 0.0 ? -0.5 : 0.5;
    double x = difference - 360.0 * static_cast<double>(static_cast<int>(difference / 360.0 + half));
    double cosine_sign = 1.0;
    if (x > 90.0) {
        x = 180.0 - x;
        cosine_sign = -1.0;
    } else if (x < -90.0) {
        x = -180.0 - x;
        cosine_sign = -1.0;
    }
    sine = taylor_sine(x * RADIANS_PER_DEGREE);
    cosine = cosine_sign * taylor_cosine(x * RADIANS_PER_DEGREE);
}
