// Opt-in exhaustive check of the shortest digits the export writes: every
// positive single in [2^-12, 2^25), a binade either side beyond the range
// computed with integers alone, and its negation, must give the text of
// std::to_chars in its shortest form, and the digits must also give its
// shortest fixed form (the continuous longitudes). Takes a few minutes.
// Prints the number of singles checked, or the first that differs.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "base/shortest_digits.h"
#include "library_digits.h"

namespace {

bool differs(const char* what, float value, const std::string& actual,
             const std::string& expected) {
    if (actual == expected) {
        return false;
    }
    std::printf("%s differs for %a: \"%s\", expected \"%s\"\n", what,
                static_cast<double>(value), actual.c_str(), expected.c_str());
    return true;
}

}  // namespace

int main() {
    const float first = std::ldexp(1.0f, -12);
    const float limit = std::ldexp(1.0f, 25);
    std::uint64_t checked = 0;
    std::uint64_t computed = 0;
    for (float value = first; value < limit; value = std::nextafter(value, limit)) {
        shortest_decimal decimal{};
        if (shortest_decimal_of(value, decimal)) {
            ++computed;
            if (differs("fixed form", value, fixed_text(decimal), library_text(value, true))) {
                return 1;
            }
        }
        for (const float signed_value : {value, -value}) {
            char text[SHORTEST_TEXT_SIZE];
            const std::string actual(text, write_shortest_real(text, signed_value));
            if (differs("shortest form", signed_value, actual,
                        library_text(signed_value, false))) {
                return 1;
            }
            ++checked;
        }
    }
    std::printf("%llu singles checked (%llu magnitudes by integer arithmetic): every text "
                "matches the library's\n",
                static_cast<unsigned long long>(checked),
                static_cast<unsigned long long>(computed));
    return 0;
}
