// Arbitrary bytes as standard input: either three valid values, the same
// whatever follows the third value's line, or a refusal whose one-line
// message is plain printable text.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "input_reader.h"

namespace {

bool same_values(const run_input& a, const run_input& b) {
    return std::memcmp(&a.center_lon, &b.center_lon, sizeof(float)) == 0 &&
           std::memcmp(&a.center_lat, &b.center_lat, sizeof(float)) == 0 &&
           a.dist_step == b.dist_step;
}

bool printable(const char* message) {
    const std::size_t length = std::strlen(message);
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(message[i]);
        if (c < 0x20 || c >= 0x7f) {
            return false;
        }
    }
    return length > 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    const input_result result = parse_run_input(text, size);
    if (result.status != input_status::ok) {
        require(result.status == input_status::bad_input);
        require(printable(result.message));
        return 0;
    }
    require(result.message[0] == '\0');
    require(std::isfinite(result.input.center_lon) && std::isfinite(result.input.center_lat));
    require(result.input.dist_step != 0);
    // Nothing after the third value's line is used: the input with more
    // lines after it reads the same.
    std::string longer(text, size);
    longer += "\n/ 2*3 ,, nan\n";
    const input_result extended = parse_run_input(longer.data(), longer.size());
    require(extended.status == input_status::ok && same_values(extended.input, result.input));
    return 0;
}
