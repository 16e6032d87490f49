#include "points/table_lines.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "base/blanks.h"
#include "decimal_real.h"

namespace {

// The names a header gives the longitude and the latitude.
constexpr std::array<std::string_view, 4> LONGITUDE_NAMES = {"lon", "long", "lng", "longitude"};
constexpr std::array<std::string_view, 2> LATITUDE_NAMES = {"lat", "latitude"};

// A field's value as a view where it needs no unquoting, as nearly every
// number does; `kept` holds it otherwise.
std::string_view value_view(std::string_view field, std::string& kept) {
    const std::string_view text = without_blanks(field);
    if (text.empty() || text.front() != '"') {
        return text;
    }
    kept = field_value(field);
    return kept;
}

bool is_number(std::string_view field) {
    std::string kept;
    return is_decimal_real(value_view(field, kept));
}

bool all_digits(std::string_view text) {
    return !text.empty() && text.size() <= 9 &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

// A field as a message shows it: quoted, at most 40 characters.
std::string shown(std::string_view field) {
    constexpr std::size_t SHOWN = 40;
    return "\"" + std::string(field.substr(0, SHOWN)) + (field.size() > SHOWN ? "...\"" : "\"");
}

// Whether the line holds `c` other than inside a quoted field (a CSV
// field "a|b" does not make its table one separated by '|').
bool outside_quotes(std::string_view line, char c) {
    bool quoted = false;
    for (const char d : line) {
        quoted = d == '"' ? !quoted : quoted;
        if (d == c && !quoted) {
            return true;
        }
    }
    return false;
}

template <std::size_t Count>
bool one_of(const std::string& name, const std::array<std::string_view, Count>& names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

std::string field_value(std::string_view field) {
    const std::string_view text = without_blanks(field);
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') {
        return std::string(text);
    }
    std::string value;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        value += text[i];
        i += text[i] == '"' ? 1 : 0;  // a doubled quote stands for one
    }
    return value;
}

std::string column_name(std::string_view field) {
    std::string name = field_value(field);
    if (!name.empty() && name[0] == '#') {
        name = std::string(without_blanks(std::string_view(name).substr(1)));
    }
    for (char& c : name) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return name;
}

bool parse_column_request(const std::string& text, const char* option, column_request& request,
                          std::string& problem) {
    request.option = option;
    const std::size_t comma = text.find(',');
    if (comma != std::string::npos) {
        request.lon = std::string(without_blanks(std::string_view(text).substr(0, comma)));
        request.lat = std::string(without_blanks(std::string_view(text).substr(comma + 1)));
    }
    const auto column_zero = [](const std::string& column) {
        return all_digits(column) && column.find_first_not_of('0') == std::string::npos;
    };
    if (comma == std::string::npos || request.lon.empty() || request.lat.empty() ||
        request.lat.find(',') != std::string::npos || column_zero(request.lon) ||
        column_zero(request.lat)) {
        problem = std::string(option) +
                  " needs LON,LAT, two column numbers from 1 or names of the header, not \"" +
                  text + "\"";
        return false;
    }
    return true;
}

table_lines::table_lines(std::string name, column_request request)
    : name_(std::move(name)), request_(std::move(request)) {}

bool table_lines::refuse(std::size_t number, const std::string& expected,
                         std::string& problem) const {
    problem = name_ + ":" + std::to_string(number) + ": expected " + expected;
    return false;
}

bool table_lines::split(std::string_view line, std::size_t number, std::string& problem) {
    fields_.clear();
    if (blanks_) {
        if (line.find('"') != std::string_view::npos) {
            return refuse(number, "fields without double quotes (a table whose fields are "
                                  "separated by blanks has no quoted fields)", problem);
        }
        for (std::size_t start = line.find_first_not_of(BLANKS); start != std::string_view::npos;
             start = line.find_first_not_of(BLANKS, start)) {
            const std::size_t end = std::min(line.find_first_of(BLANKS, start), line.size());
            fields_.push_back(line.substr(start, end - start));
            start = end;
        }
        return true;
    }
    if (line.find('"') == std::string_view::npos) {
        // No quoted field, as in nearly every line: split at each separator.
        std::size_t start = 0;
        for (std::size_t end; (end = line.find(separator_, start)) != std::string_view::npos;
             start = end + 1) {
            fields_.push_back(line.substr(start, end - start));
        }
        fields_.push_back(line.substr(start));
        return true;
    }
    for (std::size_t start = 0;;) {
        const std::size_t first = line.find_first_not_of(BLANKS, start);
        std::size_t end = line.find(separator_, start);
        if (first != std::string_view::npos && line[first] == '"') {
            // The quoted field runs to a quote that is not doubled.
            std::size_t close = first + 1;
            while (close < line.size() &&
                   (line[close] != '"' || (close + 1 < line.size() && line[close + 1] == '"'))) {
                close += line[close] == '"' ? 2 : 1;
            }
            const std::size_t after = close < line.size() ? line.find_first_not_of(BLANKS, close + 1)
                                                          : close;
            if (close >= line.size() ||
                (after != std::string_view::npos && line[after] != separator_)) {
                return refuse(number, "a quoted field closed by a quote on its line and followed "
                                      "by the separator \"" + std::string(1, separator_) + "\"",
                              problem);
            }
            end = after;
        } else if (line.substr(start, end - start).find('"') != std::string_view::npos) {
            return refuse(number, "a double quote only around a whole field", problem);
        }
        if (end == std::string_view::npos) {
            fields_.push_back(line.substr(start));
            return true;
        }
        fields_.push_back(line.substr(start, end - start));
        start = end + 1;
    }
}

bool table_lines::choose_columns(std::size_t number, bool& named, std::string& problem) {
    named = false;
    const std::size_t count = fields_.size();
    const auto column_of = [&](const std::string& asked, std::size_t& column) {
        if (all_digits(asked)) {
            column = static_cast<std::size_t>(std::stoul(asked)) - 1;
            return column < count;
        }
        // A name the header gives two columns names neither.
        named = true;
        const auto names = [&](std::size_t k) {
            return column_name(fields_[k]) == column_name(asked);
        };
        std::size_t found = 0;
        for (std::size_t k = 0; k < count; ++k) {
            column = names(k) && found++ == 0 ? k : column;
        }
        return found == 1;
    };
    if (!request_.lon.empty()) {
        for (const auto& [asked, column] :
             {std::pair<const std::string&, std::size_t&>{request_.lon, lon_column_},
              std::pair<const std::string&, std::size_t&>{request_.lat, lat_column_}}) {
            if (!column_of(asked, column)) {
                return refuse(number, all_digits(asked)
                                          ? "a column " + asked + " (" + request_.option +
                                                "), not " + std::to_string(count) + " fields"
                                          : "a header naming the column \"" + asked +
                                                "\" once (" + request_.option + ")",
                              problem);
            }
        }
        return lon_column_ != lat_column_ ||
               refuse(number, std::string("two columns for ") + request_.option +
                                  ", not one twice", problem);
    }
    std::vector<std::size_t> lons;
    std::vector<std::size_t> lats;
    for (std::size_t column = 0; column < count; ++column) {
        const std::string name = column_name(fields_[column]);
        if (one_of(name, LONGITUDE_NAMES)) {
            lons.push_back(column);
        } else if (one_of(name, LATITUDE_NAMES)) {
            lats.push_back(column);
        }
    }
    if (lons.size() > 1 || lats.size() > 1) {
        return refuse(number, std::string("one ") + (lons.size() > 1 ? "longitude" : "latitude") +
                                  " column in the header, not two (" + request_.option +
                                  " LON,LAT chooses)",
                      problem);
    }
    if (lons.size() != lats.size()) {
        return refuse(number, lons.empty()
                                  ? "a longitude column (lon, long, lng or longitude) as well as "
                                    "the latitude in the header"
                                  : "a latitude column (lat or latitude) as well as the "
                                    "longitude in the header",
                      problem);
    }
    named = !lons.empty();
    lon_column_ = named ? lons[0] : 0;
    lat_column_ = named ? lats[0] : 1;
    return true;
}

bool table_lines::start(std::string_view line, std::size_t number, bool comment, bool& header,
                        std::string& problem) {
    separator_ = outside_quotes(line, '|')   ? '|'
                 : outside_quotes(line, ',') ? ','
                                             : ' ';
    blanks_ = separator_ == ' ';
    if (blanks_) {
        const std::size_t field = line.find_first_not_of(BLANKS);
        const std::size_t blank = line.find_first_of(BLANKS, field);
        separator_ = blank == std::string_view::npos ? ' ' : line[blank];
    }
    bool named = false;
    if (comment) {
        // A comment, unless its fields name the columns: an FDSN header.
        // One that reads as a header (names separated by '|' or commas)
        // but names the columns wrongly is refused as a header is, not
        // passed over: the columns would be taken as the first two.
        std::string refusal;
        if (!split(line, number, refusal)) {
            header = false;
            return true;
        }
        if (!choose_columns(number, named, refusal)) {
            problem = names_only() ? refusal : std::string();
            header = false;
            return !names_only();
        }
        // Columns chosen by number name nothing, but a line of names
        // separated by '|' or commas is the header all the same.
        if (!named && (request_.lon.empty() || !names_only())) {
            header = false;
            return true;
        }
    } else if (!split(line, number, problem)) {
        return false;
    }
    if (fields_.size() < 2) {
        return refuse(number, "a longitude and a latitude, and any further fields, separated by "
                              "|, commas or blanks", problem);
    }
    if (!choose_columns(number, named, problem)) {
        return false;
    }
    started_ = true;
    first_line_ = number;
    field_count_ = fields_.size();
    header = named || (!is_number(fields_[lon_column_]) && !is_number(fields_[lat_column_]));
    has_header_ = header;
    if (header) {
        header_fields_.assign(fields_.begin(), fields_.end());
    }
    return true;
}

bool table_lines::names_only() const {
    return !blanks_ && std::all_of(fields_.begin(), fields_.end(), [](std::string_view field) {
        const std::string name = column_name(field);
        return !name.empty() && name.find_first_of(BLANKS) == std::string::npos;
    });
}

bool table_lines::read_point(table_row& row, std::string& problem) const {
    const auto read = [&](std::size_t column, const char* what, float& value) {
        std::string kept;
        switch (read_decimal_real(value_view(fields_[column], kept), value)) {
            case real_reading::not_a_number:
                return refuse(row.line, std::string("a ") + what +
                                            " in degrees (a decimal number), not " +
                                            shown(fields_[column]), problem);
            case real_reading::too_large:
                return refuse(row.line, std::string("a ") + what +
                                            " within the range of single precision, not " +
                                            shown(fields_[column]), problem);
            case real_reading::read:
                break;
        }
        return true;
    };
    if (!read(lon_column_, "longitude", row.lon) || !read(lat_column_, "latitude", row.lat)) {
        return false;
    }
    if (!(row.lat >= -90.0f && row.lat <= 90.0f)) {
        return refuse(row.line, "a latitude from -90 to 90 degrees, not " +
                                    shown(fields_[lat_column_]) +
                                    " (longitude and latitude swapped?)", problem);
    }
    return true;
}

bool table_lines::take(std::string_view line, std::size_t number, table_line_kind& kind,
                       table_row& row, std::string& problem) {
    kind = table_line_kind::passed_over;
    const bool crlf = !line.empty() && line.back() == '\r';
    if (crlf) {
        line.remove_suffix(1);
    }
    if (line.find('\0') != std::string_view::npos) {
        return refuse(number, "text, not a NUL byte", problem);
    }
    if (line.find('\r') != std::string_view::npos) {
        return refuse(number, "a line end (LF or CR LF), not a CR inside the line", problem);
    }
    const std::size_t first = line.find_first_not_of(BLANKS);
    if (first == std::string_view::npos) {
        return true;
    }
    const bool comment = line[first] == '#';
    if (!started_) {
        bool header = false;
        if (!start(line, number, comment, header, problem)) {
            return false;
        }
        if (header) {
            row = {0.0f, 0.0f, line, number, crlf};
            kind = table_line_kind::header;
            return true;
        }
        if (comment) {
            return true;
        }
    } else if (comment) {
        return true;
    } else if (!split(line, number, problem)) {
        return false;
    } else if (fields_.size() != field_count_) {
        return refuse(number, std::to_string(field_count_) + " fields, as on line " +
                                  std::to_string(first_line_) + ", not " +
                                  std::to_string(fields_.size()), problem);
    }
    row = {0.0f, 0.0f, line, number, crlf};
    if (!read_point(row, problem)) {
        return false;
    }
    kind = table_line_kind::row;
    return true;
}
