// Arbitrary single bit patterns: every real item is exactly 16 printable
// characters, and a finite value reads back to the same single (9
// significant digits identify every single). Records are always 76 bytes.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz_check.h"
#include "record_writer.h"

namespace {

void check_real_item(float value) {
    char item[REAL_WIDTH + 1];
    char* end = put_real(item, value);
    require(end == item + REAL_WIDTH);
    *end = '\0';
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
    std::int32_t integers[2] = {0, 0};
    std::memcpy(values, data, size < sizeof values ? size : sizeof values);
    if (size > sizeof values) {
        const std::size_t rest = size - sizeof values;
        std::memcpy(integers, data + sizeof values, rest < sizeof integers ? rest : sizeof integers);
    }
    for (float value : values) {
        check_real_item(value);
    }
    char record[CONTOUR_RECORD_LENGTH];
    const char* end = put_contour_record(record, values[0], values[1], integers[0],
                                         make_real_item(values[2]), integers[1]);
    require(end == record + CONTOUR_RECORD_LENGTH && end[-1] == '\n' && record[0] == ' ');
    return 0;
}
