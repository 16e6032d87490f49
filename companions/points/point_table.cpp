#include "points/point_table.h"

#include <algorithm>
#include <cstring>

#include "base/blanks.h"
#include "base/locked_input.h"
#include "base/read_chunks.h"
#include "decimal_real.h"

namespace {

constexpr std::string_view UTF8_BYTE_ORDER_MARK = "\xEF\xBB\xBF";

bool is_number(std::string_view field) {
    return is_decimal_real(without_blanks(field));
}

// A field as a message shows it: quoted, at most 40 characters.
std::string shown(std::string_view field) {
    constexpr std::size_t SHOWN = 40;
    return "\"" + std::string(field.substr(0, SHOWN)) + (field.size() > SHOWN ? "...\"" : "\"");
}

// Reads the lines of a table one by one into the table.
class table_parser {
public:
    table_parser(const std::string& name, point_table& table, std::string& problem)
        : name_(name), table_(table), problem_(problem) {}

    bool take_line(std::string_view line, std::size_t number);

private:
    bool refuse(std::size_t number, const std::string& expected) {
        problem_ = name_ + ":" + std::to_string(number) + ": expected " + expected;
        return false;
    }
    bool check_characters(std::string_view line, std::size_t number);
    void start_table(std::string_view line);
    void split(std::string_view line);
    bool read_coordinate(std::string_view field, const char* what, std::size_t number,
                         float& value);
    bool read_point(point_row& row);

    const std::string& name_;
    point_table& table_;
    std::string& problem_;
    bool started_ = false;
    bool comma_ = false;
    std::size_t first_line_ = 0;
    std::vector<std::string_view> fields_;  // of the line being read
};

bool table_parser::check_characters(std::string_view line, std::size_t number) {
    if (line.find('\0') != std::string_view::npos) {
        return refuse(number, "text, not a NUL byte");
    }
    if (line.find('\r') != std::string_view::npos) {
        return refuse(number, "a line end (LF or CR LF), not a CR inside the line");
    }
    if (line.find('"') != std::string_view::npos) {
        return refuse(number, "fields without double quotes (quoted fields are not read)");
    }
    return true;
}

// The table's first line decides its separator: a comma when it holds one,
// otherwise blanks, new columns joined with the blank between its first
// two fields.
void table_parser::start_table(std::string_view line) {
    comma_ = line.find(',') != std::string_view::npos;
    if (comma_) {
        table_.separator = ',';
        return;
    }
    const std::size_t field = line.find_first_not_of(BLANKS);
    const std::size_t blank = line.find_first_of(BLANKS, field);
    table_.separator = blank == std::string_view::npos ? ' ' : line[blank];
}

void table_parser::split(std::string_view line) {
    std::vector<std::string_view>& fields = fields_;
    fields.clear();
    if (comma_) {
        std::size_t start = 0;
        for (std::size_t comma; (comma = line.find(',', start)) != std::string_view::npos;
             start = comma + 1) {
            fields.push_back(line.substr(start, comma - start));
        }
        fields.push_back(line.substr(start));
        return;
    }
    for (std::size_t start = line.find_first_not_of(BLANKS); start != std::string_view::npos;
         start = line.find_first_not_of(BLANKS, start)) {
        const std::size_t end = std::min(line.find_first_of(BLANKS, start), line.size());
        fields.push_back(line.substr(start, end - start));
        start = end;
    }
}

bool table_parser::read_coordinate(std::string_view field, const char* what,
                                   std::size_t number, float& value) {
    switch (read_decimal_real(without_blanks(field), value)) {
        case real_reading::not_a_number:
            return refuse(number, std::string("a ") + what +
                                      " in degrees (a decimal number), not " + shown(field));
        case real_reading::too_large:
            return refuse(number, std::string("a ") + what +
                                      " within the range of single precision, not " + shown(field));
        case real_reading::read:
            break;
    }
    return true;
}

bool table_parser::read_point(point_row& row) {
    if (!read_coordinate(fields_[0], "longitude", row.line, row.lon) ||
        !read_coordinate(fields_[1], "latitude", row.line, row.lat)) {
        return false;
    }
    if (!(row.lat >= -90.0f && row.lat <= 90.0f)) {
        return refuse(row.line, "a latitude from -90 to 90 degrees, not " + shown(fields_[1]) +
                                    " (longitude and latitude swapped?)");
    }
    return true;
}

bool table_parser::take_line(std::string_view line, std::size_t number) {
    const bool crlf = !line.empty() && line.back() == '\r';
    if (crlf) {
        line.remove_suffix(1);
    }
    if (!check_characters(line, number)) {
        return false;
    }
    const std::size_t first = line.find_first_not_of(BLANKS);
    if (first == std::string_view::npos || line[first] == '#') {
        return true;
    }
    if (!started_) {
        start_table(line);
    }
    point_row row{0.0f, 0.0f, line, table_.fields.size(), number, crlf};
    split(line);
    if (!started_) {
        if (fields_.size() < 2) {
            return refuse(number, "a longitude and a latitude, and any further fields, "
                                  "separated by commas or blanks");
        }
        started_ = true;
        table_.field_count = fields_.size();
        first_line_ = number;
        if (!is_number(fields_[0]) && !is_number(fields_[1])) {
            table_.has_header = true;
            table_.header = row;
            table_.fields = fields_;
            return true;
        }
    } else if (fields_.size() != table_.field_count) {
        return refuse(number, std::to_string(table_.field_count) + " fields, as on line " +
                                  std::to_string(first_line_) + ", not " +
                                  std::to_string(fields_.size()));
    }
    if (!read_point(row)) {
        return false;
    }
    table_.rows.push_back(row);
    table_.fields.insert(table_.fields.end(), fields_.begin(), fields_.end());
    return true;
}

}  // namespace

bool read_point_table(std::string text, const std::string& name, point_table& table,
                      std::string& problem) {
    table = point_table{};
    table.text = std::make_shared<const std::string>(std::move(text));
    const std::string_view all = *table.text;
    table_parser parser(name, table, problem);
    if (all.substr(0, UTF8_BYTE_ORDER_MARK.size()) == UTF8_BYTE_ORDER_MARK) {
        table.byte_order_mark = all.substr(0, UTF8_BYTE_ORDER_MARK.size());
    }
    std::size_t number = 1;
    for (std::size_t start = table.byte_order_mark.size(); start < all.size(); ++number) {
        const std::size_t end = std::min(all.find('\n', start), all.size());
        if (!parser.take_line(all.substr(start, end - start), number)) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

bool read_point_file(const std::string& file, const char* program, int diagnostic_fd,
                     point_file& result, std::string& problem) {
    const int fd =
        open_input(file, result.name, result.identity, result.error_stream_is_file, problem);
    if (fd < 0) {
        return false;
    }
    lock_shared(fd, result.identity, result.name, program, diagnostic_fd);
    std::string text;
    const int error = read_chunks(fd, [&](std::string_view bytes) {
        const std::size_t nul = bytes.find('\0');
        text.append(bytes.substr(0, nul == std::string_view::npos ? nul : nul + 1));
        return nul == std::string_view::npos;
    });
    release_shared(fd, file == "-");
    if (error != 0) {
        problem = "cannot read " + result.name + ": " + std::strerror(error);
        return false;
    }
    return read_point_table(std::move(text), result.name, result.table, problem);
}
