#include "record_writer.h"

#include "decimal_digits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

template <std::size_t Width>
std::string text_of(const text_item<Width>& item) {
    return std::string(item.chars.data(), Width);
}

template <std::size_t Length>
std::string text_of(const text_line<Length>& line) {
    return std::string(line.chars.data(), line.size);
}

std::string real_item(float value) {
    return text_of(make_real_item(value));
}

// Fixed-form numbers sit right-aligned in 12 characters, then 4 blanks.
std::string fixed(const std::string& number) {
    return std::string(12 - number.size(), ' ') + number + "    ";
}

std::string exponent(const std::string& number) {
    return std::string(16 - number.size(), ' ') + number;
}

float below(float value) {
    return std::nextafter(value, 0.0f);
}

TEST(RealItem, WritesNineSignificantDigitsInFixedForm) {
    EXPECT_EQ(real_item(0.0f), fixed("0.00000000"));
    EXPECT_EQ(real_item(45.0f), fixed("45.0000000"));
    EXPECT_EQ(real_item(360.0f), fixed("360.000000"));
    EXPECT_EQ(real_item(-33.25f), fixed("-33.2500000"));
    EXPECT_EQ(real_item(0.1f), fixed("0.100000001"));
    EXPECT_EQ(real_item(-0.1f), fixed("-0.100000001"));
    EXPECT_EQ(real_item(123456789.0f), fixed("123456792."));
    EXPECT_EQ(real_item(below(1e9f)), fixed("999999936."));
    EXPECT_EQ(real_item(-0.0f), fixed("-0.00000000"));
}

TEST(RealItem, SwitchesToExponentFormOutsideTheFixedRange) {
    EXPECT_EQ(real_item(1.0e-5f), exponent("9.99999975E-06"));
    EXPECT_EQ(real_item(-0.0123f), exponent("-1.22999996E-02"));
    EXPECT_EQ(real_item(1.0e9f), exponent("1.00000000E+09"));
    // 999999968 is halfway between two singles and rounds to 1e9 itself.
    EXPECT_EQ(real_item(999999968.0f), exponent("1.00000000E+09"));
    EXPECT_EQ(real_item(below(0.1f)), exponent("9.99999940E-02"));
    EXPECT_EQ(real_item(std::numeric_limits<float>::max()), exponent("3.40282347E+38"));
    EXPECT_EQ(real_item(-std::numeric_limits<float>::max()), exponent("-3.40282347E+38"));
    EXPECT_EQ(real_item(std::numeric_limits<float>::min()), exponent("1.17549435E-38"));
    EXPECT_EQ(real_item(std::numeric_limits<float>::denorm_min()), exponent("1.40129846E-45"));
    EXPECT_EQ(real_item(-std::numeric_limits<float>::denorm_min()),
              exponent("-1.40129846E-45"));
}

TEST(RealItem, NamesTheSpecialValues) {
    EXPECT_EQ(real_item(std::numeric_limits<float>::quiet_NaN()), exponent("NaN"));
    EXPECT_EQ(real_item(-std::numeric_limits<float>::quiet_NaN()), exponent("NaN"));
    EXPECT_EQ(real_item(std::numeric_limits<float>::infinity()), exponent("Infinity"));
    EXPECT_EQ(real_item(-std::numeric_limits<float>::infinity()), exponent("-Infinity"));
}

// Nine digits identify every single: reading an item back must give the
// same bits, and every item must be exactly 16 characters wide.
TEST(RealItem, ReadsBackToTheSameSingleForRandomBitPatterns) {
    std::mt19937 generator(20261208);
    for (int i = 0; i < 200000; ++i) {
        const auto bits = static_cast<std::uint32_t>(generator());
        float value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) {
            continue;
        }
        const std::string item = real_item(value);
        ASSERT_EQ(item.size(), REAL_WIDTH);
        const float parsed = std::strtof(item.c_str(), nullptr);
        ASSERT_EQ(std::memcmp(&parsed, &value, sizeof value), 0) << item;
    }
}

// The digits against the C library's exact "%.8e" (ties to even), over
// random bit patterns of every magnitude and the exact ties of the 9th digit.
TEST(DecimalDigits, MatchCorrectlyRoundedScientificForm) {
    const auto expect_same = [](float magnitude) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "%.8e", static_cast<double>(magnitude));
        const decimal_digits rounded = round_to_nine_digits(magnitude);
        char actual[32];
        std::snprintf(actual, sizeof actual, "%u.%08ue%+03d", rounded.significand / 100000000u,
                      rounded.significand % 100000000u, rounded.exponent);
        ASSERT_STREQ(actual, expected);
    };
    expect_same(1000000.125f);  // tie, rounds down to even ...12
    expect_same(1000000.375f);  // tie, rounds up to even ...38
    std::mt19937 generator(7);
    for (int i = 0; i < 300000; ++i) {
        const auto bits = static_cast<std::uint32_t>(generator()) & 0x7FFFFFFFu;
        float magnitude;
        std::memcpy(&magnitude, &bits, sizeof magnitude);
        if (std::isfinite(magnitude) && magnitude != 0.0f) {
            expect_same(magnitude);
        }
    }
}

TEST(IntegerItem, RightAlignsInElevenCharacters) {
    EXPECT_EQ(text_of(make_integer_item(0)), "          0");
    EXPECT_EQ(text_of(make_integer_item(175)), "        175");
    EXPECT_EQ(text_of(make_integer_item(-2147483647 - 1)), "-2147483648");
}

TEST(Lines, FollowTheColumnLayout) {
    EXPECT_EQ(text_of(make_contour_record(make_real_item(120.5f), make_real_item(-33.25f),
                                          make_integer_item(0), make_real_item(0.0f),
                                          make_integer_item(0))),
              "   120.500000      -33.2500000               0   0.00000000               0\n");
    EXPECT_EQ(text_of(make_error_line(90.0f, 0.0f)), " error   90.0000000       0.00000000    \n");
    EXPECT_EQ(text_of(make_separator_line()), " >\n");
}

}  // namespace
