#include "run_file/record_reader.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "record_writer.h"
#include "run_file/fixed_item_reader.h"

namespace {

std::string_view without_leading_blanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// The number at the start of the field after its blanks. What follows it is
// not looked at: the caller compares the whole field with the item the
// number makes.
template <typename Number>
bool parse_number(std::string_view field, Number& value) {
    const std::string_view text = without_leading_blanks(field);
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc();
}

template <std::size_t Width>
bool same_text(std::string_view field, const text_item<Width>& item) {
    return std::memcmp(field.data(), item.chars.data(), Width) == 0;
}

// A finite real item, read and written back to the same characters. Nine
// significant digits tell every single apart, so a value that writes back
// to the item is the one the item stands for.
// Most items are in fixed form and read with integers alone.
bool is_written_real(std::string_view field, float& value) {
    if (read_fixed_item(field, value)) {
        return true;
    }
    return parse_number(field, value) && std::isfinite(value) &&
           same_text(field, make_real_item(value));
}

// An integer item; most are the ring distance itself, laid out beforehand.
bool is_written_integer(std::string_view field, const integer_item& likely,
                        std::int32_t likely_value, std::int32_t& value) {
    if (same_text(field, likely)) {
        value = likely_value;
        return true;
    }
    return parse_number(field, value) && same_text(field, make_integer_item(value));
}

// "a longitude in columns 2-17": the item and where the layout puts it.
std::string item_at(const char* item, std::size_t column, std::size_t width) {
    return std::string(item) + " in columns " + std::to_string(column + 1) + "-" +
           std::to_string(column + width);
}

}  // namespace

bool read_record(std::string_view line, std::int32_t likely, const integer_item& likely_item,
                 contour_position& position, std::int32_t& grid_dist, std::string& problem) {
    for (std::size_t column : {std::size_t{0}, LAT_COLUMN - 1, DIST_COLUMN - 1,
                               AZ_COLUMN - 1, CHECK_COLUMN - 1}) {
        if (line[column] != ' ') {
            problem = "blanks between its items";
            return false;
        }
    }
    const std::string_view lon = line.substr(LON_COLUMN, REAL_WIDTH);
    const std::string_view lat = line.substr(LAT_COLUMN, REAL_WIDTH);
    const std::string_view dist = line.substr(DIST_COLUMN, INTEGER_WIDTH);
    const std::string_view check = line.substr(CHECK_COLUMN, INTEGER_WIDTH);
    if (!is_written_real(lon, position.lon)) {
        problem = item_at("a longitude", LON_COLUMN, REAL_WIDTH);
        return false;
    }
    if (!is_written_real(lat, position.lat)) {
        problem = item_at("a latitude", LAT_COLUMN, REAL_WIDTH);
        return false;
    }
    if (!is_written_integer(dist, likely_item, likely, grid_dist) || grid_dist < 0) {
        problem = item_at("a ring distance", DIST_COLUMN, INTEGER_WIDTH);
        return false;
    }
    if (!is_written_integer(check, likely_item, likely, position.dist_check)) {
        problem = item_at("a distance check", CHECK_COLUMN, INTEGER_WIDTH);
        return false;
    }
    return true;
}

bool read_usual_record(std::string_view line, const integer_item& ring_item,
                       const real_item& azimuth_item, contour_position& position) {
    const char* text = line.data();
    const bool blanks_between = (text[0] == ' ') & (text[LAT_COLUMN - 1] == ' ') &
                                (text[DIST_COLUMN - 1] == ' ') & (text[AZ_COLUMN - 1] == ' ') &
                                (text[CHECK_COLUMN - 1] == ' ');
    return blanks_between &&
           std::memcmp(text + DIST_COLUMN, ring_item.chars.data(), INTEGER_WIDTH) == 0 &&
           std::memcmp(text + CHECK_COLUMN, ring_item.chars.data(), INTEGER_WIDTH) == 0 &&
           std::memcmp(text + AZ_COLUMN, azimuth_item.chars.data(), REAL_WIDTH) == 0 &&
           read_fixed_item(std::string_view(text + LON_COLUMN, REAL_WIDTH), position.lon) &&
           read_fixed_item(std::string_view(text + LAT_COLUMN, REAL_WIDTH), position.lat);
}

std::string_view azimuth_field(std::string_view line) {
    return line.substr(AZ_COLUMN, REAL_WIDTH);
}
