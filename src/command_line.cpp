#include "command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

void report_line(const char* program, std::string_view message) {
    std::string line = std::string(program) + ": ";
    for (const char c : message) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            line += escaped;
        } else {
            line += c;
        }
    }
    line += '\n';
    write_all(STDERR_FILENO, line);
}

void report_and_exit(const char* program, std::string_view message, int status) {
    report_line(program, message);
    std::exit(status);
}

bool write_all(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t count = ::write(fd, text.data(), text.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

bool option_value(const char* program, int argc, char** argv, int& i, std::string_view name,
                  std::string& value) {
    const std::string_view argument = argv[i];
    if (argument == name) {
        if (i + 1 >= argc) {
            report_and_exit(program, std::string(name) + " needs a value (see --help)", 1);
        }
        value = argv[++i];
        return true;
    }
    if (argument.size() > name.size() && argument.substr(0, name.size()) == name &&
        argument[name.size()] == '=') {
        value = std::string(argument.substr(name.size() + 1));
        return true;
    }
    return false;
}
