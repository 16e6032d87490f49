#pragma once

#include <string>
#include <string_view>

// A title as GMT must be given it to show it literally: GMT's fonts hold the
// characters of ISO Latin-1, GMT reads "@" as the start of an escape and
// "\ddd" as an octal character code, and the title goes to GMT as a record
// of a text table, whose leading "#" or ">" and trailing blanks GMT does
// not show.

struct gmt_text {
    bool ok;
    std::string text;     // for GMT: octal codes "\ddd" where needed
    std::string problem;  // when not ok: what cannot be shown, for a message
};

// The UTF-8 title as GMT text. Refused: invalid UTF-8, control characters
// (a newline, say: a title is one line), and characters outside Latin-1.
gmt_text title_for_gmt(std::string_view utf8);
