#include "points/point_table.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/blanks.h"
#include "base/locked_input.h"
#include "base/read_chunks.h"
#include "decimal_real.h"

namespace {

constexpr std::string_view UTF8_BYTE_ORDER_MARK = "\xEF\xBB\xBF";

// Appends the bytes read up to and with a NUL byte, if there is one: no
// table holds one, so reading ends there, and a device such as /dev/zero
// is not read on and on. False when it ends there.
bool append_up_to_nul(std::string& text, std::string_view bytes) {
    const std::size_t nul = bytes.find('\0');
    text.append(bytes.substr(0, nul == std::string_view::npos ? nul : nul + 1));
    return nul == std::string_view::npos;
}

}  // namespace

bool read_point_table(std::string text, const std::string& name, const column_request& columns,
                      point_table& table, std::string& problem) {
    table = point_table{};
    table.text = std::make_shared<const std::string>(std::move(text));
    const std::string_view all = *table.text;
    if (all.substr(0, UTF8_BYTE_ORDER_MARK.size()) == UTF8_BYTE_ORDER_MARK) {
        table.byte_order_mark = all.substr(0, UTF8_BYTE_ORDER_MARK.size());
    }
    table_lines lines(name, columns);
    std::size_t number = 1;
    for (std::size_t start = table.byte_order_mark.size(); start < all.size(); ++number) {
        const std::size_t end = std::min(all.find('\n', start), all.size());
        const std::string_view line = all.substr(start, end - start);
        table_line_kind kind = table_line_kind::passed_over;
        table_row row{};
        if (!lines.take(line, number, kind, row, problem)) {
            return false;
        }
        if (kind != table_line_kind::passed_over) {
            const point_row taken{row.lon, row.lat, row.text, table.fields.size(), number, row.crlf};
            table.has_header = table.has_header || kind == table_line_kind::header;
            (kind == table_line_kind::header ? table.header : table.rows.emplace_back()) = taken;
            table.fields.insert(table.fields.end(), lines.fields().begin(), lines.fields().end());
        }
        start = end + 1;
    }
    table.separator = lines.separator();
    table.field_count = lines.field_count();
    table.lon_column = lines.lon_column();
    table.lat_column = lines.lat_column();
    return true;
}

int for_each_line(int fd, std::string& bom,
                  const std::function<bool(std::string_view, std::size_t)>& take) {
    std::string pending;  // what is read and not yet taken: a line's start
    std::size_t number = 1;
    bool bom_told = false;
    bool going = true;
    // Takes the whole lines of `pending`, and at the end what is left.
    const auto take_lines = [&](bool at_end) {
        if (!bom_told && (at_end || pending.size() >= UTF8_BYTE_ORDER_MARK.size())) {
            bom_told = true;
            if (std::string_view(pending).substr(0, UTF8_BYTE_ORDER_MARK.size()) ==
                UTF8_BYTE_ORDER_MARK) {
                bom = std::string(UTF8_BYTE_ORDER_MARK);
                pending.erase(0, UTF8_BYTE_ORDER_MARK.size());
            }
        }
        std::size_t start = 0;
        for (std::size_t end; going && bom_told && (end = pending.find('\n', start)) != std::string::npos;
             start = end + 1) {
            going = take(std::string_view(pending).substr(start, end - start), number++);
        }
        pending.erase(0, start);
        if (at_end && going && !pending.empty()) {
            going = take(pending, number);
        }
    };
    const int error = read_chunks(fd, [&](std::string_view bytes) {
        const bool before_nul = append_up_to_nul(pending, bytes);
        take_lines(!before_nul);
        return going && before_nul;
    });
    if (error == 0 && going) {
        take_lines(true);
    }
    return error;
}

bool read_point_file(const std::string& file, const char* program, int diagnostic_fd,
                     const column_request& columns, point_file& result, std::string& problem) {
    const int fd =
        open_input(file, result.name, result.identity, result.error_stream_is_file, problem);
    if (fd < 0) {
        return false;
    }
    lock_shared(fd, result.identity, result.name, program, diagnostic_fd);
    std::string text;
    const int error = read_chunks(fd, [&](std::string_view bytes) {
        return append_up_to_nul(text, bytes);
    });
    release_shared(fd, file == "-");
    if (error != 0) {
        problem = "cannot read " + result.name + ": " + std::strerror(error);
        return false;
    }
    return read_point_table(std::move(text), result.name, columns, result.table, problem);
}
