#include "input_reader.h"

#include <gtest/gtest.h>

#include <cstring>

#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

input_result parse(const std::string& text) {
    return parse_run_input(text.data(), text.size());
}

void expect_values(const std::string& text, float lon, float lat, int step) {
    const input_result result = parse(text);
    ASSERT_EQ(result.status, input_status::ok) << text << ": " << result.message;
    EXPECT_EQ(result.input.center_lon, lon) << text;
    EXPECT_EQ(result.input.center_lat, lat) << text;
    EXPECT_EQ(result.input.dist_step, step) << text;
}

// Refused as bad input, with a message that contains `expected`.
void expect_refused(const std::string& text, const std::string& expected) {
    const input_result result = parse(text);
    EXPECT_EQ(result.status, input_status::bad_input) << text;
    EXPECT_NE(std::string(result.message).find(expected), std::string::npos)
        << "input: " << text << "\nmessage: " << result.message;
}

TEST(InputReader, AcceptsEverySeparatorForm) {
    for (const char* text : {"120.5 -33.25 10", "120.5\n-33.25\n10\n", "120.5,-33.25,10",
                             "  120.5 , -33.25,\n 10", "\t120.5\r\n-33.25\t10\r\n"}) {
        expect_values(text, 120.5f, -33.25f, 10);
    }
}

TEST(InputReader, AcceptsTheNumberForms) {
    expect_values(".5 5. +7", 0.5f, 5.0f, 7);
    expect_values("1e1 -2.5E-3 -0010", 10.0f, -2.5e-3f, -10);
    expect_values("+1E+2 1e-50 2147483647", 100.0f, 0.0f, 2147483647);
    expect_values("-0 3.4028235e38 -2147483648", -0.0f, 3.4028235e38f, -2147483647 - 1);
    EXPECT_TRUE(std::signbit(parse("-0 0 1").input.center_lon));
}

TEST(InputReader, RoundsDecimalTextOnceToSinglePrecision) {
    // Just above the midpoint between 1 and the next single: rounding first
    // to double would land exactly on the midpoint and then round down.
    expect_values("1.0000000596046447753906251 0.1 1", 1.00000012f, 0.1f, 1);
    expect_values("1.4e-45 1.17549435E-38 1", 1.4e-45f, 1.17549435e-38f, 1);
}

// The rest of the third value's line is ignored; the numbers it starts
// with are counted, for the warning of a decimal comma.
TEST(InputReader, IgnoresTheRestOfTheThirdValuesLine) {
    expect_values("0 0 10 abc ,, / 2*3", 0.0f, 0.0f, 10);
    expect_values("0 0 10/", 0.0f, 0.0f, 10);
    expect_values("0,0,10,", 0.0f, 0.0f, 10);
    const struct {
        const char* text;
        int ignored;
    } rows[] = {{"142,37 38,30 10", 2}, {"120.5 -33.25 10 5\n7", 1}, {"0 0 10 # 5 cm", 0},
                {"0 0 10,\n5", 0},        {"0 0 10 1e3, 2", 2},      {"0 0 10", 0}};
    for (const auto& row : rows) {
        const input_result result = parse_run_input(row.text, std::strlen(row.text));
        EXPECT_EQ(result.ignored_numbers, row.ignored) << row.text;
    }
}

TEST(InputReader, RefusesInputThatEndsEarly) {
    expect_refused("", "input ended before the centre longitude");
    expect_refused("1 2", "input ended before the distance step");
    expect_refused("1 2 /", "\"/\" ended the input before the distance step");
    expect_refused("1, ,2 3", "centre latitude: empty value");
    expect_refused(",1 2 3", "centre longitude: empty value");
}

TEST(InputReader, RefusesValuesThatAreNotNumbersOfTheirKind) {
    expect_refused("abc 0 10", "centre longitude: \"abc\" is not a number");
    expect_refused("0 0x10 10", "centre latitude: \"0x10\" is not a number");
    for (const char* text : {"1.2.3 0 1", "+ 0 1", "10abc 0 1", "inf 0 1", "nan 0 1", "1e 0 1",
                             "1e+ 0 1", ". 0 1", "1d5 0 1", "\f1 0 1"}) {
        expect_refused(text, "is not a number");
    }
    expect_refused("0 0 10.5", "distance step: \"10.5\" is not a whole number");
    for (const char* text : {"0 0 1e1", "0 0 ten", "0 0 -", "0 0 10abc"}) {
        expect_refused(text, "is not a whole number");
    }
    expect_refused("2*0 1 1", "repeat count");
    expect_refused(std::string("1\0 2 3", 6), "contains a NUL byte");
    expect_refused("\x01\xff 2 3", "\"\\x01\\xFF\" is not a number");
}

TEST(InputReader, RefusesValuesOutOfRange) {
    expect_refused("1e39 0 1", "centre longitude: \"1e39\" is too large for single precision");
    expect_refused("0 -3.41e38 1", "too large for single precision");
    expect_refused("0 0 2147483648", "outside the 32-bit integer range");
    expect_refused("0 0 -2147483649", "outside the 32-bit integer range");
    expect_refused("0 0 99999999999999999999999999", "outside the 32-bit integer range");
    for (const char* text : {"0 0 0", "0 0 -0", "0 0 +000"}) {
        expect_refused(text, "the distance step must not be zero");
    }
}

TEST(InputReader, RefusesOverlongValuesWithoutQuotingThemWhole) {
    expect_refused(std::string(5000, '7') + " 0 1",
                   "centre longitude: value is longer than 1024 characters");
    const input_result result = parse("0 " + std::string(500, 'x') + " 1");
    EXPECT_LT(std::string(result.message).size(), 100u);
}

// A regular file keeps its offset just after the third value's line, so the
// next line is left for the next reader.
TEST(InputReader, LeavesARegularFilePositionedAfterTheThirdValuesLine) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    const std::string text = "1 2 3 rest\nnext line\n";
    std::fwrite(text.data(), 1, text.size(), file);
    std::fflush(file);
    const int fd = fileno(file);
    ::lseek(fd, 0, SEEK_SET);
    const input_result result = read_run_input(fd);
    EXPECT_EQ(result.status, input_status::ok);
    EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), 11);
    std::fclose(file);
}

TEST(InputReader, ReportsAnUnreadableDescriptor) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::close(fds[0]);
    // Reading the write end of a pipe fails with EBADF.
    const input_result failed = read_run_input(fds[1]);
    EXPECT_EQ(failed.status, input_status::read_failure);
    EXPECT_NE(std::string(failed.message).find("cannot read standard input"), std::string::npos);
    ::close(fds[1]);
}

}  // namespace
