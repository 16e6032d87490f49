#include "libm_family.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// One single-precision call whose result differs between the families.
// The argument is read through a volatile so the compiler cannot evaluate
// the call itself (it would round correctly) instead of the C library.
struct libm_probe {
    const char* call;
    float (*function)(float);
    float argument;
    float classic;            // glibc up to 2.40
    float correctly_rounded;  // glibc 2.41 on
};

float call_asin(float x) {
    return std::asin(x);
}

float call_acos(float x) {
    return std::acos(x);
}

// Found by comparing glibc 2.36 with the correctly rounded values, away
// from rounding midpoints; glibc 2.41 gives the correctly rounded ones.
const libm_probe PROBES[] = {
    {"asinf", call_asin, 0x1.e80a78p-3f, 0x1.ecc83cp-3f, 0x1.ecc83ep-3f},
    {"acosf", call_acos, -0x1.effcc4p-1f, 0x1.7206f8p+1f, 0x1.7206f6p+1f},
};

bool same_bits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string hex(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%a", static_cast<double>(value));
    return text;
}

libm_family probe_family() {
    bool all_classic = true;
    bool all_correctly_rounded = true;
    std::string mismatch;
    for (const libm_probe& probe : PROBES) {
        volatile float argument = probe.argument;
        const float result = probe.function(argument);
        all_classic = all_classic && same_bits(result, probe.classic);
        all_correctly_rounded =
            all_correctly_rounded && same_bits(result, probe.correctly_rounded);
        if (mismatch.empty() && !same_bits(result, probe.classic) &&
            !same_bits(result, probe.correctly_rounded)) {
            mismatch = std::string(probe.call) + "(" + hex(probe.argument) + ") = " +
                       hex(result) + ", glibc up to 2.40 gives " + hex(probe.classic) +
                       " and a correctly rounded one " + hex(probe.correctly_rounded);
        }
    }
    if (all_classic) {
        return {true, "classic-libm", "glibc up to 2.40"};
    }
    if (all_correctly_rounded) {
        return {true, "correctly-rounded-libm", "correctly rounded (glibc 2.41 on)"};
    }
    if (mismatch.empty()) {
        mismatch = "the probes match glibc up to 2.40 in part and a correctly rounded one in part";
    }
    return {false, "", "reference data not compared, this C library matches neither family: " +
                           mismatch};
}

}  // namespace

const libm_family& running_libm_family() {
    static const libm_family family = probe_family();
    return family;
}

std::string family_data_path(const std::string& file) {
    return std::string(TEST_DATA_DIR) + "/" + running_libm_family().directory + "/" + file;
}
