#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "file_identity.h"
#include "points/table_lines.h"

// A table of points read whole (table_lines.h says how its lines are
// read): its rows, each with its point and its fields as written.

// One point of the table.
struct point_row {
    float lon;                        // degrees, nearest single to the text
    float lat;                        // degrees, -90..90
    std::string_view text;    // the line as read, without its line end
    std::size_t first_field;  // where its fields start in the table's fields
    std::size_t line;         // line number in the file, from 1
    bool crlf;                // the line ended in CR LF
};

struct point_table {
    // The whole file, which the rows' and the header's text point into; it
    // stays where it is when the table is moved or copied.
    std::shared_ptr<const std::string> text;
    // '|' or ','; for blank-separated tables the blank that first
    // separates two fields (a space, or a tab), to join further columns with.
    char separator = ' ';
    // The columns of the longitude and the latitude, from 0.
    std::size_t lon_column = 0;
    std::size_t lat_column = 1;
    // The UTF-8 byte order mark the file starts with (spreadsheets write one
    // before a CSV), or empty: not part of the first line, and written back
    // before the table.
    std::string_view byte_order_mark;
    bool has_header = false;
    point_row header{};  // when has_header: the column names (lon, lat unset)
    std::vector<point_row> rows;
    std::size_t field_count = 0;           // fields of every line
    std::vector<std::string_view> fields;  // the fields of the header and rows, in order

    // Field k (from 0) of a row or of the header, as written (with any
    // blanks and quotes around it).
    std::string_view field(const point_row& row, std::size_t k) const {
        return fields[row.first_field + k];
    }
};

// Reads `text` (the whole file) as a point table into `table`, which
// takes it over. False, with one line "NAME:LINE: expected ..." in
// `problem`, at the first line that is refused.
bool read_point_table(std::string text, const std::string& name, const column_request& columns,
                      point_table& table, std::string& problem);

// A point table read from a file.
struct point_file {
    std::string name;        // as messages give it: the path, or "standard input"
    file_identity identity;  // the file read, for the outputs to keep clear of it
    point_table table;
    bool error_stream_is_file = false;  // standard error is the table: refused, unsaid
};

// Reads the table from FILE ("-" for standard input). The file is read
// under the shared lock a contour file is read under, so that a table
// that is a contour file is never read while a run writes it. False, with
// one line in `problem`, when it cannot be opened or read, or is refused.
// Reading stops at a NUL byte, which is refused with its line, so that a
// binary file or a device such as /dev/zero is not read on and on.
// `program` and `diagnostic_fd` are for the warning of a wait.
bool read_point_file(const std::string& file, const char* program, int diagnostic_fd,
                     const column_request& columns, point_file& result, std::string& problem);

// Takes the lines of FILE ("-" for standard input), one after another, as
// they come, never holding more than a line: `take` (false to stop) gets
// each with its number from 1 and whether it ends the file without a
// newline; reading stops at a NUL byte, which ends its line. The file is
// open as `fd` from open_input; `bom` is set when it starts with a UTF-8 byte
// order mark, which is not part of the first line. Returns 0, or the error
// number of a read that failed.
int for_each_line(int fd, std::string& bom,
                  const std::function<bool(std::string_view, std::size_t)>& take);
