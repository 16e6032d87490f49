#pragma once

#include <cstddef>
#include <cstdint>

// Text layout shared by the contour file and standard output. Every line
// starts with one blank, separates its items by one blank and ends with a
// newline. Integers take 11 characters, reals 16.

inline constexpr std::size_t REAL_WIDTH = 16;
inline constexpr std::size_t INTEGER_WIDTH = 11;

// Longest line the layout produces: a contour record, 75 characters plus
// the newline.
inline constexpr std::size_t CONTOUR_RECORD_LENGTH = 76;
inline constexpr std::size_t ERROR_LINE_LENGTH = 41;
inline constexpr std::size_t SEPARATOR_LENGTH = 3;

// Writes a real item of exactly REAL_WIDTH characters at out: 9 significant
// digits, correctly rounded; fixed form for zero and for rounded magnitudes
// in [0.1, 1e9) (right-aligned in 12, then 4 blanks), exponent form
// otherwise (right-aligned in 16); "NaN", "Infinity", "-Infinity" for the
// special values. Returns the position after the item.
char* put_real(char* out, float value);

// Writes an integer item right-aligned in INTEGER_WIDTH characters.
char* put_integer(char* out, std::int32_t value);

// A real item formatted once, for a value written in many records.
struct real_item {
    char text[REAL_WIDTH];
};
real_item make_real_item(float value);

// One contour record: longitude, latitude, ring distance, azimuth and
// distance check, with its newline (CONTOUR_RECORD_LENGTH characters).
char* put_contour_record(char* out, float lon, float lat, std::int32_t ring_dist,
                         const real_item& azimuth, std::int32_t dist_check);

// The ring separator " >" with its newline.
char* put_separator(char* out);

// The line reporting an unresolved position: "error", ring distance and
// azimuth as reals, with its newline (ERROR_LINE_LENGTH characters).
char* put_error_line(char* out, float ring_dist, float azimuth);
