#pragma once

#include <cstdlib>

// Stops the fuzzer with a crash report when a property does not hold.
inline void require(bool holds) {
    if (!holds) {
        std::abort();
    }
}
