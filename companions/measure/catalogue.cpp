#include "measure/catalogue.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "base/blanks.h"
#include "base/locked_input.h"
#include "base/output_rule.h"
#include "base/temporary_directory.h"
#include "contour/destination_point.h"
#include "diagnostic.h"
#include "exit_status.h"
#include "points/point_measure.h"
#include "write_all.h"

namespace {

// The centres, read once from their file, every line checked and kept in
// a nameless temporary file as it is read, then read again from there to
// measure: what is measured is what was checked, even when the file is a
// pipe or is changed meanwhile, and a file that is not a table (a device
// such as /dev/zero) is refused at its first line, not kept.
class centres_copy {
public:
    ~centres_copy() {
        close_source();
        if (copy_ >= 0) {
            ::close(copy_);
        }
    }

    // False, with why; `silent` when standard error is the file itself.
    bool open(const std::string& file, const char* program, bool& silent, std::string& problem) {
        standard_input_ = file == "-";
        source_ = open_input(file, name_, identity_, silent, problem);
        if (source_ < 0) {
            return false;
        }
        copy_ = nameless_temporary_file(program);
        if (copy_ < 0) {
            return cannot_keep(errno, problem);
        }
        lock_shared(source_, identity_, name_, program, STDERR_FILENO);
        return true;
    }

    // The first reading, from the file: every line to `lines`, and each
    // row then to `take` (false, with why, to refuse it), kept as it goes.
    template <typename Take>
    bool check(table_lines& lines, Take take, std::string& problem) {
        std::string kept;
        int write_error = 0;
        const auto keep = [&](std::string_view line, bool flush) {
            kept.append(line);
            if (kept.size() >= KEEP_SIZE || flush) {
                write_error = write_all(copy_, kept.data(), kept.size()).error_number;
                kept.clear();
            }
            return write_error == 0;
        };
        // A failed keeping stops the reading as a refusal does, with no
        // problem of the table's: the write's error is the problem then.
        const bool read = read_lines(source_, lines, take, keep, problem);
        if (read && write_error == 0) {
            keep(std::string_view(), true);
        }
        close_source();
        return write_error != 0 ? cannot_keep(write_error, problem) : read;
    }

    // Whether the centres could not be kept (a failure, not a refusal).
    bool failed() const { return failed_; }

    // The second reading, from the copy.
    template <typename Take>
    bool measure(table_lines& lines, Take take, std::string& problem) const {
        if (::lseek(copy_, 0, SEEK_SET) < 0) {
            problem = "cannot read " + name_ + " again: " + std::strerror(errno);
            return false;
        }
        return read_lines(copy_, lines, take,
                          [](std::string_view, bool) { return true; }, problem);
    }

    const std::string& name() const { return name_; }
    const file_identity& identity() const { return identity_; }

private:
    static constexpr std::size_t KEEP_SIZE = 1 << 16;  // bytes written to the copy at once

    // Reads every line of `fd`, each given to `keep` with its line end
    // (false to stop); `take` gets each row (false to stop). False, with
    // why, when a line is refused or a read or a keeping fails.
    template <typename Take, typename Keep>
    bool read_lines(int fd, table_lines& lines, Take take, Keep keep,
                    std::string& problem) const {
        bool refused = false;
        std::string bom;  // not measured nor written: the points' is
        const int error = for_each_line(fd, bom, [&](std::string_view line, std::size_t number) {
            table_line_kind kind = table_line_kind::passed_over;
            table_row row{};
            refused = !lines.take(line, number, kind, row, problem);
            return !refused && (kind != table_line_kind::row || take(row, problem)) &&
                   keep(line, false) && keep("\n", false);
        });
        if (error != 0) {
            problem = "cannot read " + name_ + ": " + std::strerror(error);
            return false;
        }
        return problem.empty();
    }

    bool cannot_keep(int error, std::string& problem) {
        problem = "cannot keep " + name_ + " in a temporary file in " + temporary_base() + ": " +
                  std::strerror(error);
        failed_ = true;
        return false;
    }

    void close_source() {
        if (source_ >= 0) {
            release_shared(source_, standard_input_);
            source_ = -1;
        }
    }

    std::string name_;
    file_identity identity_;
    bool standard_input_ = false;
    int source_ = -1;
    int copy_ = -1;
    bool failed_ = false;
};

// A field as a row of pairs carries it: as written, quoted when it holds
// the separator or a quote and is not quoted already, blanks around its
// quotes aside (the separator is never a blank where a field holds one:
// see separator_of_pairs).
std::string pair_field(std::string_view field, char separator) {
    const std::string_view value = without_blanks(field);
    const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    if (quoted || (field.find(separator) == std::string_view::npos &&
                   field.find('"') == std::string_view::npos)) {
        return std::string(field);
    }
    std::string text = "\"";
    for (const char c : field) {
        text += c == '"' ? "\"\"" : std::string(1, c);
    }
    return text + "\"";
}

// The points table's separator, unless it is a blank and the centres'
// fields are separated by '|' or commas (and may hold blanks): then theirs.
char separator_of_pairs(const table_lines& centres, const point_table& points) {
    const bool blanks = points.separator == ' ' || points.separator == '\t';
    return blanks && (centres.separator() == ',' || centres.separator() == '|')
               ? centres.separator()
               : points.separator;
}

// The name of column k of a table in the header of the pairs: its header's
// name as written (a leading '#' left out), or longitude, latitude, fieldN.
std::string column_title(bool has_header, std::string_view header_field, std::size_t k,
                         std::size_t lon_column, std::size_t lat_column) {
    if (has_header) {
        const std::string value = field_value(header_field);
        return value.empty() || value[0] != '#' ? value
                                                : field_value(std::string_view(value).substr(1));
    }
    return k == lon_column   ? "longitude"
           : k == lat_column ? "latitude"
                             : "field" + std::to_string(k + 1);
}

void put_header(const table_lines& centres, const point_table& points, char separator,
                text_output& out) {
    bool first = true;
    const auto put_title = [&](const std::string& title) {
        out.put(first ? std::string_view() : std::string_view(&separator, 1));
        out.put(pair_field(title, separator));
        first = false;
    };
    for (std::size_t k = 0; k < centres.field_count(); ++k) {
        put_title("centre_" + column_title(centres.has_header(),
                                           centres.has_header() ? centres.header_fields()[k]
                                                                : std::string_view(),
                                           k, centres.lon_column(), centres.lat_column()));
    }
    for (std::size_t k = 0; k < points.field_count; ++k) {
        put_title(column_title(points.has_header,
                               points.has_header ? points.field(points.header, k)
                                                 : std::string_view(),
                               k, points.lon_column, points.lat_column));
    }
    for (const char* name : {"distance", "azimuth", "back_azimuth"}) {
        put_title(name);
    }
    // The header's line end as the points' lines end.
    const point_row* first_line = points.has_header    ? &points.header
                                  : points.rows.empty() ? nullptr
                                                        : &points.rows.front();
    out.put(first_line != nullptr && first_line->crlf ? std::string_view("\r\n")
                                                      : std::string_view("\n"));
}

// The fields of a row joined for the pairs, each followed by the separator.
std::string joined_fields(const std::vector<std::string_view>& fields, char separator) {
    std::string text;
    for (const std::string_view field : fields) {
        text += pair_field(field, separator);
        text += separator;
    }
    return text;
}

}  // namespace

int measure_catalogue(const catalogue_request& request, file_identity& identity, text_output& out,
                      std::string& problem) {
    centres_copy centres;
    bool silent = false;
    if (!centres.open(request.centres, request.program, silent, problem)) {
        if (silent) {
            problem.clear();  // standard error is the file: nothing said there
        }
        return silent || centres.failed() ? EXIT_STATUS_FAILED : EXIT_STATUS_REFUSED;
    }
    identity = centres.identity();
    if (same_file(identity, request.points->identity)) {
        problem = "the centres and the points are the same table (" + centres.name() + ")";
        return EXIT_STATUS_REFUSED;
    }
    // First reading: every line checked, nothing written.
    std::size_t polar_line = 0;     // the first centre near a pole
    std::size_t polar_centres = 0;  // how many are
    table_lines checked(centres.name(), request.centre_columns);
    const bool whole = centres.check(checked, [&](const table_row& row, std::string& refusal) {
        if (!measurable_longitude(row.lon)) {
            refusal = centres.name() + ":" + std::to_string(row.line) +
                      ": expected a centre that can be measured from, not longitude " +
                      field_value(checked.fields()[checked.lon_column()]) +
                      " (too far beyond -180..180 degrees)";
            return false;
        }
        if (centre_near_pole(row.lat)) {
            polar_line = polar_line == 0 ? row.line : polar_line;
            ++polar_centres;
        }
        return true;
    }, problem);
    if (!whole) {
        return centres.failed() ? EXIT_STATUS_FAILED : EXIT_STATUS_REFUSED;
    }
    if (!standard_output_clear_of_input(identity, centres.name(), problem)) {
        return EXIT_STATUS_FAILED;
    }
    if (polar_line > 0) {
        report_problem(STDERR_FILENO, request.program,
                       "warning: %zu %s within %.1f degree of a pole (the first on %s:%zu), "
                       "where azimuths can be more than 1 degree off",
                       polar_centres, polar_centres == 1 ? "centre lies" : "centres lie",
                       static_cast<double>(POLAR_DISTANCE), centres.name().c_str(), polar_line);
    }
    // Second reading: each centre with every point.
    const point_table& points = request.points->table;
    std::vector<measured_point> measured;
    measured.reserve(points.rows.size());
    for (const point_row& row : points.rows) {
        measured.push_back(measured_point_of(row.lon, row.lat));
    }
    const char separator = separator_of_pairs(checked, points);
    // A point's line as written when the separators agree, else its fields.
    std::vector<std::string> point_texts;
    if (separator != points.separator) {
        for (const point_row& row : points.rows) {
            const auto first = points.fields.begin() + static_cast<std::ptrdiff_t>(row.first_field);
            std::string text = joined_fields(
                {first, first + static_cast<std::ptrdiff_t>(points.field_count)}, separator);
            text.pop_back();
            point_texts.push_back(std::move(text));
        }
    }
    out.put(points.byte_order_mark);
    put_header(checked, points, separator, out);
    table_lines lines(centres.name(), request.centre_columns);
    const bool read = centres.measure(lines, [&](const table_row& row, std::string&) {
        const std::string centre_text = joined_fields(lines.fields(), separator);
        const point_measure centre(row.lon, row.lat);
        for (std::size_t i = 0; i < measured.size(); ++i) {
            const float distance = centre.distance(measured[i]);
            if (!request.distance.contains(distance)) {
                continue;
            }
            const point_measurement m = centre.measure(measured[i], distance);
            if (!request.azimuth.contains(m.azimuth)) {
                continue;
            }
            out.put(centre_text);
            out.put(point_texts.empty() ? points.rows[i].text : point_texts[i]);
            const float reals[] = {m.distance, m.azimuth, m.back_azimuth};
            out.put_separated_reals(separator, reals, 3);
            out.put(points.rows[i].crlf ? std::string_view("\r\n") : std::string_view("\n"));
        }
        return true;
    }, problem);
    return read ? EXIT_STATUS_OK : EXIT_STATUS_FAILED;
}
