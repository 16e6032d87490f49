#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The lines of a table of points as people keep them beside their maps and
// as data centres hand them out: one point a line, its longitude and
// latitude (degrees) in two of its fields, any further fields (a station
// code, a network, a magnitude ...) kept as text exactly as they are.
//
// - The table's first line decides how fields are separated: by `|` when it
//   holds one (the FDSN text format of station and event services), else by
//   commas (CSV) when it holds one, else by runs of blanks (spaces and
//   tabs), leading and trailing blanks ignored. Around a `|` or a comma a
//   field may have blanks; a field may be empty. In `|` and comma tables a
//   field may be quoted, "...", a doubled quote standing for one: the
//   separator and blanks inside it are its own.
// - Every line has as many fields as the table's first line.
// - Lines that are empty or blank are passed over, and so are lines whose
//   first non-blank character is '#', but for a first line whose fields
//   (the '#' left out) name a longitude or latitude column: that is the
//   table's header, as FDSN text has it.
// - The first line is the table's header when it names the columns, or
//   when neither of the fields taken for the longitude and latitude is a
//   number.
// - The columns: those the user chose (by number from 1, or by a name of
//   the header); else those the header names, in any case, blanks and a
//   leading '#' ignored: `lon`, `long`, `lng` or `longitude`, and `lat` or
//   `latitude`, wherever they stand; else the first two, longitude first.
//   A header naming one and not the other, or one twice, is refused.
// - A line may end in CR LF; the CR is not part of the line.
// - Refused, with the line: a NUL byte or a CR inside a line, a double quote
//   in a blank-separated table or one that does not close a quoted field on
//   its line, a longitude or latitude that is not a decimal real (inf and
//   nan are not), one beyond the largest single, a latitude beyond +-90
//   degrees. Longitudes are taken in any range.

// The columns asked for, as --columns LON,LAT gives them: a number from 1 or
// a name of the header each; both "" to let the table say.
struct column_request {
    std::string lon;
    std::string lat;
    const char* option = "--columns";  // the option that chooses them, as messages name it
};

// Reads "LON,LAT" for `option` (--columns). False, with one line in
// `problem`.
bool parse_column_request(const std::string& text, const char* option, column_request& request,
                          std::string& problem);

// One line of the table that is a point: its coordinates and its fields.
struct table_row {
    float lon;  // degrees, nearest single to the text
    float lat;  // degrees, -90..90
    std::string_view text;  // the line as read, without its line end
    std::size_t line;       // line number in the file, from 1
    bool crlf;              // the line ended in CR LF
};

// What a line turned out to be.
enum class table_line_kind { passed_over, header, row };

// Takes the lines of one table in order and tells each apart.
class table_lines {
public:
    // `name` is the file's name for messages.
    table_lines(std::string name, column_request request);

    // The next line (without its LF), numbered from 1. False, with one line
    // "NAME:LINE: expected ..." in `problem`, when it is refused. For a row,
    // `row` is set and fields() holds its fields (views into `line`, as
    // written, blanks and quotes included); for the header too, its point
    // left at 0.
    bool take(std::string_view line, std::size_t number, table_line_kind& kind, table_row& row,
              std::string& problem);

    const std::vector<std::string_view>& fields() const { return fields_; }

    // Once a line has been taken: the separator (',' or '|', or for blanks
    // the blank that first separates two fields, to join further columns
    // with), the columns of the longitude and latitude (from 0), the count
    // of fields, and the header's fields when there is one.
    char separator() const { return separator_; }
    std::size_t lon_column() const { return lon_column_; }
    std::size_t lat_column() const { return lat_column_; }
    std::size_t field_count() const { return field_count_; }
    bool has_header() const { return has_header_; }
    const std::vector<std::string>& header_fields() const { return header_fields_; }

private:
    bool refuse(std::size_t number, const std::string& expected, std::string& problem) const;
    bool split(std::string_view line, std::size_t number, std::string& problem);
    bool start(std::string_view line, std::size_t number, bool comment, bool& header,
               std::string& problem);
    bool choose_columns(std::size_t number, bool& named, std::string& problem);
    // Whether the fields split are names only, separated by '|' or commas.
    bool names_only() const;
    bool read_point(table_row& row, std::string& problem) const;

    std::string name_;
    column_request request_;
    bool started_ = false;
    char separator_ = ' ';
    bool blanks_ = true;  // fields separated by runs of blanks
    std::size_t first_line_ = 0;
    std::size_t field_count_ = 0;
    std::size_t lon_column_ = 0;
    std::size_t lat_column_ = 1;
    bool has_header_ = false;
    std::vector<std::string> header_fields_;
    std::vector<std::string_view> fields_;  // of the line being read
};

// A field as a value: without the blanks around it and, when quoted,
// without its quotes (a doubled quote read as one).
std::string field_value(std::string_view field);

// A header field as a column's name: its value, a leading '#' and the
// blanks after it left out, in lower case.
std::string column_name(std::string_view field);
