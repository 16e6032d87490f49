// Arbitrary single bit patterns: every real item is exactly 16 printable
// characters, and a finite value reads back to the same single (9
// significant digits identify every single).

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz_check.h"
#include "record_writer.h"

namespace {

void check_real_item(float value) {
    char item[REAL_WIDTH + 1];
    const real_item laid_out = make_real_item(value);
    std::memcpy(item, laid_out.chars.data(), REAL_WIDTH);
    item[REAL_WIDTH] = '\0';
    for (std::size_t i = 0; i < REAL_WIDTH; ++i) {
        require(item[i] >= 0x20 && item[i] < 0x7f);
    }
    if (std::isnan(value)) {
        require(std::strcmp(item, "             NaN") == 0);
        return;
    }
    const float parsed = std::strtof(item, nullptr);
    require(std::memcmp(&parsed, &value, sizeof value) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    float values[3] = {0.0f, 0.0f, 0.0f};
    std::memcpy(values, data, size < sizeof values ? size : sizeof values);
    for (float value : values) {
        check_real_item(value);
    }
    return 0;
}
