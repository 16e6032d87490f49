#include "plot/title_text.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// Decodes the UTF-8 character at text[i], moving i past it. Returns -1 for
// an invalid or overlong sequence.
long next_code_point(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) {
        return lead;
    }
    int more = 0;
    long code = 0;
    if ((lead & 0xE0) == 0xC0) {
        more = 1;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        more = 2;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        more = 3;
        code = lead & 0x07;
    } else {
        return -1;
    }
    for (int k = 0; k < more; ++k) {
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            return -1;
        }
        code = (code << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
    }
    const long smallest[] = {0, 0x80, 0x800, 0x10000};
    return code < smallest[more] || code > 0x10FFFF ? -1 : code;
}

// Characters GMT would not show as themselves, written as octal codes of
// the ISO Latin-1 font encoding instead: "@" starts GMT's escapes (and its
// colour escapes are expanded even after "@@"), "\\" starts an octal code,
// "#" and ">" first on a line make it a comment or a segment header. The
// encoding shows 0x27 and 0x60 as curly quotes; the straight quote and the
// grave accent are at 0234 and 0221.
constexpr const char* ESCAPED_ASCII = "@\\#>'`";

// Longest title text GMT is given, escapes included: GMT cuts a text record
// of about 4 KB without a word, and a title of a thousand characters is far
// wider than any map already.
constexpr std::size_t LONGEST_TITLE = 1000;

std::string octal_code(long code) {
    const long font_code = code == '\'' ? 0234 : code == '`' ? 0221 : code;
    char octal[8];
    std::snprintf(octal, sizeof octal, "\\%03lo", font_code);
    return octal;
}

std::string describe(long code) {
    char text[32];
    std::snprintf(text, sizeof text, "U+%04lX", code);
    return text;
}

}  // namespace

gmt_text title_for_gmt(std::string_view utf8) {
    gmt_text result{true, "", ""};
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t start = i;
        const long code = next_code_point(utf8, i);
        if (code < 0) {
            return {false, "", "it is not valid UTF-8"};
        }
        if (code < 0x20 || (code >= 0x7F && code < 0xA0)) {
            return {false, "", "it holds a control character (" + describe(code) +
                                   "); a title is one line"};
        }
        if (code > 0xFF) {
            return {false, "",
                    "\"" + std::string(utf8.substr(start, i - start)) + "\" (" + describe(code) +
                        ") is not among the characters GMT's fonts show (ISO Latin-1)"};
        }
        if (code == ' ' && utf8.find_first_not_of(' ', i) == std::string_view::npos) {
            result.text += "\\040";  // GMT drops blanks at the end of a record
        } else if (code > 0x7E || std::strchr(ESCAPED_ASCII, static_cast<int>(code)) != nullptr) {
            result.text += octal_code(code);
        } else {
            result.text += static_cast<char>(code);
        }
    }
    if (result.text.size() > LONGEST_TITLE) {
        return {false, "", "it is too long (" + std::to_string(LONGEST_TITLE) +
                               " characters at most, each @, \\, # or > and each non-ASCII "
                               "character counting 4)"};
    }
    return result;
}
