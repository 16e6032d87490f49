#include "export/contour_reader.h"

#include <cerrno>
#include <cmath>
#include <charconv>
#include <cstring>
#include <string_view>
#include <unistd.h>

#include "line_layout.h"
#include "record_writer.h"

namespace {

// Bytes taken from the descriptor per read call.
constexpr std::size_t CHUNK_SIZE = 1 << 16;

// Where each item of a contour record starts (0-based column); each is
// preceded by one blank. The widths come from the layout itself.
constexpr std::size_t LON_COLUMN = 1;
constexpr std::size_t LAT_COLUMN = LON_COLUMN + REAL_WIDTH + 1;
constexpr std::size_t DIST_COLUMN = LAT_COLUMN + REAL_WIDTH + 1;
constexpr std::size_t AZ_COLUMN = DIST_COLUMN + INTEGER_WIDTH + 1;
constexpr std::size_t CHECK_COLUMN = AZ_COLUMN + REAL_WIDTH + 1;
static_assert(CHECK_COLUMN + INTEGER_WIDTH == contour_record::length, "five items");

constexpr std::string_view SEPARATOR{" >"};

std::string_view without_leading_blanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view without_blanks(std::string_view text) {
    text = without_leading_blanks(text);
    return text.substr(0, text.find_last_not_of(' ') + 1);
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

// Powers of ten for the decimals of a fixed-form item (at most 9).
constexpr double POWERS_OF_TEN[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// A quick reading of a fixed-form item ("-33.2500000"): its 9 digits as an
// integer over a power of ten, in double, then rounded to single. The
// double rounding can miss the nearest single in rare cases, so the caller
// keeps the value only when it writes back to the same item.
bool parse_fixed_real(std::string_view field, float& value) {
    const std::string_view text = without_leading_blanks(field);
    const bool negative = !text.empty() && text[0] == '-';
    std::uint64_t digits = 0;
    int count = 0;
    int decimals = -1;
    for (std::size_t i = negative ? 1 : 0; i < text.size() && text[i] != ' '; ++i) {
        if (text[i] == '.' && decimals < 0) {
            decimals = 0;
        } else if (text[i] >= '0' && text[i] <= '9' && count < 10) {
            digits = digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
            ++count;
            decimals += decimals >= 0 ? 1 : 0;
        } else {
            return false;
        }
    }
    if (decimals < 0 || count == 0) {
        return false;
    }
    const double magnitude = static_cast<double>(digits) / POWERS_OF_TEN[decimals];
    value = static_cast<float>(negative ? -magnitude : magnitude);
    return true;
}

// A finite real item, read and written back to the same characters. Nine
// significant digits tell every single apart, so a value that writes back
// to the item is the one the item stands for.
bool is_written_real(std::string_view field, float& value) {
    if (parse_fixed_real(field, value) && same_text(field, make_real_item(value))) {
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

std::string ring_name(std::int32_t grid_dist) {
    return grid_dist == 0 ? "the centre ring" : "ring " + std::to_string(grid_dist);
}

// Takes the lines of a contour file one by one and builds the run,
// checking each line against what a whole run has at that place.
class run_builder {
public:
    explicit run_builder(contour_run& run) : run_(run) {
        run_.dist_step = 0;
        run_.rings.clear();
        for (int az = 0; az < RING_POSITIONS; ++az) {
            azimuth_items_[az] = make_real_item(static_cast<float>(az));
        }
        for (std::int32_t dist = 0; dist <= LAST_RING_DIST; ++dist) {
            distance_items_[dist] = make_integer_item(dist);
        }
    }

    // False, with what was expected, when the line cannot come next.
    bool take(std::string_view line, std::string& expected) {
        if (line == SEPARATOR) {
            return take_separator(expected);
        }
        if (line.size() != contour_record::length) {
            expected = "a contour record (75 characters) or the separator \" >\"";
            return false;
        }
        return take_record(line, expected);
    }

    // False, with what was expected, when the run is not whole at the end.
    bool finish(std::string& expected) const {
        if (run_.rings.empty()) {
            expected = "the centre ring, not an empty file (a run with a negative step "
                       "leaves one)";
            return false;
        }
        const std::int32_t grid_dist = run_.rings.back().grid_dist;
        if (next_az_ < RING_POSITIONS) {
            expected = "the rest of " + ring_name(grid_dist) + ", but the file ends after " +
                       std::to_string(next_az_) + " of 361 records (a run cut short)";
            return false;
        }
        if (!ring_closed_) {
            expected = "the separator \" >\" closing " + ring_name(grid_dist) +
                       ", but the file ends (a run cut short)";
            return false;
        }
        if (run_.dist_step > 0 && grid_dist + run_.dist_step <= LAST_RING_DIST) {
            expected = "ring " + std::to_string(grid_dist + run_.dist_step) +
                       " (rings every " + std::to_string(run_.dist_step) + " degrees up to " +
                       std::to_string(LAST_RING_DIST / run_.dist_step * run_.dist_step) +
                       "), but the file ends after ring " + std::to_string(grid_dist) +
                       " (a run cut short)";
            return false;
        }
        return true;
    }

private:
    bool take_separator(std::string& expected) {
        if (run_.rings.empty() || ring_closed_) {
            expected = "a contour record, not a separator";
            return false;
        }
        if (next_az_ < RING_POSITIONS) {
            expected = "the record at azimuth " + std::to_string(next_az_) + " of " +
                       ring_name(run_.rings.back().grid_dist) + ", not a separator after " +
                       std::to_string(next_az_) + " of 361 records";
            return false;
        }
        ring_closed_ = true;
        return true;
    }

    bool take_record(std::string_view line, std::string& expected) {
        contour_position position{};
        std::int32_t grid_dist = 0;
        if (!parse_record(line, position, grid_dist, expected)) {
            return false;
        }
        if (run_.rings.empty() || ring_closed_) {
            if (!open_ring(grid_dist, expected)) {
                return false;
            }
        } else if (next_az_ == RING_POSITIONS) {
            expected = "the separator \" >\" after the 361st record of " +
                       ring_name(run_.rings.back().grid_dist);
            return false;
        }
        contour_ring& ring = run_.rings.back();
        if (grid_dist != ring.grid_dist) {
            expected = "ring distance " + std::to_string(ring.grid_dist) +
                       " throughout the ring, not " + std::to_string(grid_dist);
            return false;
        }
        if (!same_text(line.substr(AZ_COLUMN, REAL_WIDTH), azimuth_items_[next_az_])) {
            expected = "azimuth " + std::to_string(next_az_) + " (the records of a ring run "
                       "from azimuth 0 to 360), not \"" +
                       std::string(without_blanks(line.substr(AZ_COLUMN, REAL_WIDTH))) +
                       "\"";
            return false;
        }
        if (grid_dist == 0 && !repeats_centre(position)) {
            expected = "the centre itself at every azimuth of the centre ring, with distance "
                       "check 0";
            return false;
        }
        ring.positions[static_cast<std::size_t>(next_az_++)] = position;
        return true;
    }

    // A ring starts with its record at azimuth 0; ring distances are 0,
    // then the step and its multiples up to 175.
    bool open_ring(std::int32_t grid_dist, std::string& expected) {
        const auto count = static_cast<std::int32_t>(run_.rings.size());
        if (count == 0 && grid_dist != 0) {
            expected = "the centre ring (ring distance 0) first, not ring " +
                       std::to_string(grid_dist);
            return false;
        }
        if (count == 1 && (grid_dist < 1 || grid_dist > LAST_RING_DIST)) {
            expected = "the second ring at a distance from 1 to 175, not " +
                       std::to_string(grid_dist);
            return false;
        }
        if (count >= 2 && count * run_.dist_step > LAST_RING_DIST) {
            expected = "the end of the file after ring " +
                       std::to_string(run_.rings.back().grid_dist) +
                       ", the last of a run with rings every " +
                       std::to_string(run_.dist_step) + " degrees, not ring " +
                       std::to_string(grid_dist) + " (two runs joined?)";
            return false;
        }
        if (count >= 2 && grid_dist != count * run_.dist_step) {
            expected = "ring " + std::to_string(count * run_.dist_step) + " (rings every " +
                       std::to_string(run_.dist_step) + " degrees), not ring " +
                       std::to_string(grid_dist);
            return false;
        }
        if (count == 1) {
            run_.dist_step = grid_dist;
        }
        run_.rings.push_back({grid_dist, {}});
        next_az_ = 0;
        ring_closed_ = false;
        return true;
    }

    // The five items, each exactly as the contour program writes its value.
    bool parse_record(std::string_view line, contour_position& position,
                             std::int32_t& grid_dist, std::string& expected) {
        const char* problem = record_problem(line, position, grid_dist);
        if (problem != nullptr) {
            expected = std::string("a contour record with ") + problem +
                       ", written as the contour program writes it";
            return false;
        }
        return true;
    }

    // What is wrong with a line of record length, or nullptr.
    const char* record_problem(std::string_view line, contour_position& position,
                               std::int32_t& grid_dist) const {
        for (std::size_t column : {std::size_t{0}, LAT_COLUMN - 1, DIST_COLUMN - 1,
                                   AZ_COLUMN - 1, CHECK_COLUMN - 1}) {
            if (line[column] != ' ') {
                return "blanks between its items";
            }
        }
        const std::string_view lon = line.substr(LON_COLUMN, REAL_WIDTH);
        const std::string_view lat = line.substr(LAT_COLUMN, REAL_WIDTH);
        const std::string_view dist = line.substr(DIST_COLUMN, INTEGER_WIDTH);
        const std::string_view check = line.substr(CHECK_COLUMN, INTEGER_WIDTH);
        if (!is_written_real(lon, position.lon)) {
            return "a longitude in columns 2-17";
        }
        if (!is_written_real(lat, position.lat)) {
            return "a latitude in columns 19-34";
        }
        const std::int32_t likely = likely_ring_dist();
        const integer_item& likely_item = distance_items_[likely];
        if (!is_written_integer(dist, likely_item, likely, grid_dist) || grid_dist < 0) {
            return "a ring distance in columns 36-46";
        }
        if (!is_written_integer(check, likely_item, likely, position.dist_check)) {
            return "a distance check in columns 65-75";
        }
        return nullptr;
    }

    // The ring distance the next record most likely has: its ring's, or the
    // next ring's after a separator.
    std::int32_t likely_ring_dist() const {
        if (run_.rings.empty()) {
            return 0;
        }
        const std::int32_t next = run_.rings.back().grid_dist + run_.dist_step;
        return !ring_closed_ ? run_.rings.back().grid_dist : next <= LAST_RING_DIST ? next : 0;
    }

    bool repeats_centre(const contour_position& position) const {
        const contour_position& centre = run_.rings.back().positions[0];
        const bool first = next_az_ == 0;
        return position.dist_check == 0 &&
               (first || (std::memcmp(&position.lon, &centre.lon, sizeof(float)) == 0 &&
                          std::memcmp(&position.lat, &centre.lat, sizeof(float)) == 0));
    }

    contour_run& run_;
    int next_az_ = RING_POSITIONS;
    bool ring_closed_ = true;
    real_item azimuth_items_[RING_POSITIONS];
    integer_item distance_items_[LAST_RING_DIST + 1];
};

}  // namespace

read_outcome read_contour_file(int fd, contour_run& run) {
    run_builder builder(run);
    std::string expected;
    std::string line;
    std::size_t line_number = 1;
    char chunk[CHUNK_SIZE];
    for (;;) {
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return {read_status::read_failure, line_number, "", errno};
        }
        if (count == 0) {
            break;
        }
        std::string_view rest(chunk, static_cast<std::size_t>(count));
        while (!rest.empty()) {
            const std::size_t newline = rest.find('\n');
            // A line within the chunk is taken where it lies; one that runs
            // over from the chunk before is gathered first.
            std::string_view whole = rest.substr(0, newline);
            if (!line.empty() || newline == std::string_view::npos) {
                line.append(whole);
                whole = line;
            }
            if (whole.size() > contour_record::length) {
                builder.take(whole, expected);  // too long for any line: refused
                return {read_status::not_whole, line_number, expected, 0};
            }
            if (newline == std::string_view::npos) {
                break;
            }
            if (!builder.take(whole, expected)) {
                return {read_status::not_whole, line_number, expected, 0};
            }
            line.clear();
            ++line_number;
            rest.remove_prefix(newline + 1);
        }
    }
    if (!line.empty()) {
        return {read_status::not_whole, line_number,
                "a whole line, not one cut short without its newline (a run cut short)", 0};
    }
    if (!builder.finish(expected)) {
        return {read_status::not_whole, line_number, expected, 0};
    }
    return {read_status::whole, 0, "", 0};
}
