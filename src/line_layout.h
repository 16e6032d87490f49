#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <utility>

// Text layout shared by the contour file and standard output: a line is one
// blank, then its items separated by one blank each, then a newline. Every
// item has a fixed width, so every kind of line has a fixed length, worked
// out here from its items at compile time. A line exists only as a whole:
// it is made from all its items at once and written as one piece.

// An item of fixed width, laid out and ready to join into a line.
template <std::size_t Width>
struct text_item {
    static constexpr std::size_t width = Width;
    std::array<char, Width> chars;
};

inline constexpr std::size_t REAL_WIDTH = 16;
inline constexpr std::size_t INTEGER_WIDTH = 11;
using real_item = text_item<REAL_WIDTH>;
using integer_item = text_item<INTEGER_WIDTH>;

// The two words the layout uses.
inline constexpr text_item<5> ERROR_WORD{{'e', 'r', 'r', 'o', 'r'}};
inline constexpr text_item<1> SEPARATOR_MARK{{'>'}};

// A complete line: `length` characters of text, then the newline.
template <std::size_t Length>
struct text_line {
    static constexpr std::size_t length = Length;
    static constexpr std::size_t size = Length + 1;  // with the newline
    std::array<char, Length + 1> chars;
};

// Joins items into a line: a blank before each item, a newline at the end.
template <std::size_t... Widths>
text_line<((1 + Widths) + ...)> join_items(const text_item<Widths>&... items) {
    text_line<((1 + Widths) + ...)> line;
    char* out = line.chars.data();
    ((*out++ = ' ', std::memcpy(out, items.chars.data(), Widths), out += Widths), ...);
    *out = '\n';
    return line;
}

// Longitude, latitude, ring distance, azimuth, distance check.
using contour_record = decltype(join_items(std::declval<real_item>(), std::declval<real_item>(),
                                           std::declval<integer_item>(), std::declval<real_item>(),
                                           std::declval<integer_item>()));
// "error", ring distance and azimuth, both as reals.
using error_line = decltype(join_items(ERROR_WORD, std::declval<real_item>(),
                                       std::declval<real_item>()));
// " >": closes a ring.
using separator_line = decltype(join_items(SEPARATOR_MARK));

static_assert(contour_record::length == 75, "1+16+1+16+1+11+1+16+1+11");
static_assert(error_line::length == 40, "1+5+1+16+1+16");
static_assert(separator_line::length == 2, "1+1");

// Where each item of a contour record starts (0-based column), each after
// one blank: longitude, latitude, ring distance, azimuth, distance check.
inline constexpr std::size_t LON_COLUMN = 1;
inline constexpr std::size_t LAT_COLUMN = LON_COLUMN + REAL_WIDTH + 1;
inline constexpr std::size_t DIST_COLUMN = LAT_COLUMN + REAL_WIDTH + 1;
inline constexpr std::size_t AZ_COLUMN = DIST_COLUMN + INTEGER_WIDTH + 1;
inline constexpr std::size_t CHECK_COLUMN = AZ_COLUMN + REAL_WIDTH + 1;
static_assert(CHECK_COLUMN + INTEGER_WIDTH == contour_record::length, "five items");
