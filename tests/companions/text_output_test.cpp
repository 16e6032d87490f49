// The shortest text of a single, as the companions write every coordinate,
// against std::to_chars: random bit patterns of every magnitude (subnormals
// included, and half of them where the digits are found with integers
// alone), the first and last singles of each binade, and round decimals of
// every length and exponent, where the fixed and exponent forms can be
// equally long. The opt-in program in bench/ checks every single of the
// range instead.

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/shortest_digits.h"
#include "base/text_output.h"
#include "library_digits.h"

namespace {

float from_bits(std::uint32_t bits) {
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Every finite single of the kinds above, both signs.
std::vector<float> singles() {
    std::vector<float> values;
    for (std::uint32_t field = 0; field < 255; ++field) {
        for (const std::uint32_t fraction : {0u, 1u, 0x7FFFFEu, 0x7FFFFFu}) {
            values.push_back(from_bits(field << 23 | fraction));
        }
    }
    for (int exponent = -46; exponent <= 39; ++exponent) {
        for (const char* digits : {"1", "12", "123", "1234", "12345", "123456", "1234567",
                                   "12345678", "123456789"}) {
            values.push_back(std::strtof((digits + ("e" + std::to_string(exponent))).c_str(),
                                         nullptr));
        }
    }
    for (std::size_t i = 0, count = values.size(); i < count; ++i) {
        values.push_back(-values[i]);
    }
    std::mt19937 random(20261210);
    for (int i = 0; i < 3'000'000; ++i) {
        std::uint32_t bits = static_cast<std::uint32_t>(random());
        if (i % 2 == 1) {
            // Exponent fields 117 to 149: magnitudes in [2^-10, 2^23).
            bits = (bits & 0x807FFFFFu) | (117u + bits % 33u) << 23;
        }
        values.push_back(from_bits(bits));
    }
    values.erase(std::remove_if(values.begin(), values.end(),
                                [](float value) { return !std::isfinite(value); }),
                 values.end());
    return values;
}

TEST(ShortestDigits, SameAsStdToCharsForEveryKindOfSingle) {
    long settled = 0;
    long in_range = 0;
    for (const float value : singles()) {
        char text[SHORTEST_TEXT_SIZE];
        const std::string written(text, write_shortest_real(text, value));
        ASSERT_EQ(written, library_text(value)) << std::hexfloat << value;
        const float magnitude = std::fabs(value);
        shortest_decimal decimal{};
        if (shortest_decimal_of(magnitude, decimal)) {
            ASSERT_EQ(fixed_text(decimal), library_text(magnitude, true)) << std::hexfloat << value;
            ++settled;
        }
        in_range += magnitude >= 0x1p-10f && magnitude < 0x1p23f ? 1 : 0;
    }
    // The library decides only where the digits cannot be told at once.
    EXPECT_GT(settled, in_range * 99 / 100) << "of " << in_range;
}

// put_real writes the same text, in place in its buffer or, near the
// buffer's end, through the way every other text takes.
TEST(TextOutput, PutRealWritesWhatStdToCharsWrites) {
    const std::vector<float> values = singles();
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::string expected;
    {
        text_output out(fileno(file));
        for (std::size_t i = 0; i < values.size(); i += 10) {
            out.put_real(values[i]);
            out.put(i % 7 == 0 ? ' ' : '\n');
            expected += library_text(values[i]) + (i % 7 == 0 ? ' ' : '\n');
        }
        ASSERT_TRUE(out.flush());
    }
    std::string written(expected.size() + 1, '\0');
    std::rewind(file);
    written.resize(std::fread(written.data(), 1, written.size(), file));
    std::fclose(file);
    const auto at = static_cast<std::size_t>(
        std::mismatch(written.begin(), written.end(), expected.begin(), expected.end()).first -
        written.begin());
    const std::size_t from = at < 30 ? 0 : at - 30;
    EXPECT_EQ(written.substr(from, 60), expected.substr(from, 60)) << "at byte " << at;
}

}  // namespace
