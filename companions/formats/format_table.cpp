#include "formats/format_table.h"

#include <iterator>

namespace {

// The formats in the order --help lists them, the default first.
constexpr const export_format* FORMATS[] = {&GMT_FORMAT, &OGR_FORMAT, &GEOJSON_FORMAT,
                                            &CSV_FORMAT, &KML_FORMAT};

// Column of the help text after the format's name.
constexpr std::size_t HELP_COLUMN = 11;

}  // namespace

const export_format* find_format(std::string_view name) {
    for (const export_format* format : FORMATS) {
        if (name == format->name) {
            return format;
        }
    }
    return nullptr;
}

const export_format& default_format() {
    return *FORMATS[0];
}

std::string format_names() {
    std::string names;
    for (std::size_t i = 0; i < std::size(FORMATS); ++i) {
        names += i == 0 ? "" : i + 1 == std::size(FORMATS) ? " or " : ", ";
        names += FORMATS[i]->name;
    }
    return names;
}

std::string format_help() {
    std::string help;
    for (const export_format* format : FORMATS) {
        std::string line = std::string("  ") + format->name;
        line.resize(HELP_COLUMN, ' ');
        for (const char* c = format->help; *c != '\0'; ++c) {
            line += *c;
            if (*c == '\n') {
                line.append(HELP_COLUMN, ' ');
            }
        }
        help += line + "\n";
    }
    return help;
}
