#pragma once

#include <cstdlib>
#include <string>
#include <string_view>

// Stops the fuzzer with a crash report when a property does not hold.
inline void require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

// A refusal as the readers give it: one line "NAME:LINE: ...", LINE a line
// of the text read. Returns where the colon after LINE is.
inline std::size_t require_line_of_text(const std::string& problem, const std::string& name,
                                        std::string_view text) {
    const std::string prefix = name + ":";
    require(problem.rfind(prefix, 0) == 0 && problem.find('\n') == std::string::npos);
    const std::size_t colon = problem.find(':', prefix.size());
    require(colon != std::string::npos);
    std::size_t lines = 1;
    for (const char c : text) {
        lines += c == '\n' ? 1 : 0;
    }
    const unsigned long line = std::stoul(problem.substr(prefix.size(), colon - prefix.size()));
    require(line >= 1 && line <= lines);
    return colon;
}
