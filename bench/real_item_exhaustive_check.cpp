// Opt-in exhaustive check of real items against the standard library: every
// positive single in [2^-10, 2^29), the range laid out with integers alone,
// and its negation, must give the item that the correctly rounded
// scientific form of std::to_chars describes. Takes a few minutes.
// Prints the number of singles checked, or the first that differs.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "record_writer.h"

namespace {

// The item laid out from the library's 9 significant digits.
std::string expected_item(float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, std::fabs(value),
                                   std::chars_format::scientific, 8).ptr;
    const std::string digits = std::string(1, text[0]) + std::string(text + 2, 8);
    const int exponent = std::stoi(std::string(text + 11, end));
    const std::string sign = std::signbit(value) ? "-" : "";
    if (exponent < -1 || exponent > 8) {
        const std::string number = sign + digits.substr(0, 1) + "." + digits.substr(1) + "E" +
                                   (exponent < 0 ? "-" : "+") +
                                   (std::abs(exponent) < 10 ? "0" : "") +
                                   std::to_string(std::abs(exponent));
        return std::string(16 - number.size(), ' ') + number;
    }
    const int integer_digits = exponent + 1;
    const std::string number =
        sign + (integer_digits == 0 ? "0" : digits.substr(0, static_cast<std::size_t>(integer_digits))) +
        "." + digits.substr(static_cast<std::size_t>(integer_digits));
    return std::string(12 - number.size(), ' ') + number + "    ";
}

}  // namespace

int main() {
    const float first = std::ldexp(1.0f, -10);
    const float limit = std::ldexp(1.0f, 29);
    std::uint64_t checked = 0;
    for (float value = first; value < limit; value = std::nextafter(value, limit)) {
        for (const float signed_value : {value, -value}) {
            const real_item item = make_real_item(signed_value);
            const std::string actual(item.chars.data(), item.chars.size());
            if (actual != expected_item(signed_value)) {
                std::printf("differs for %a: \"%s\", expected \"%s\"\n",
                            static_cast<double>(signed_value), actual.c_str(),
                            expected_item(signed_value).c_str());
                return 1;
            }
            ++checked;
        }
    }
    std::printf("%llu singles checked: every real item matches the library's digits\n",
                static_cast<unsigned long long>(checked));
    return 0;
}
