#include "command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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

bool answer_help_or_version(const char* program, std::string_view argument, const char* usage) {
    if (argument == "-h" || argument == "--help") {
        write_all(STDOUT_FILENO, usage);
        std::exit(0);
    }
    if (argument == "--version") {
        write_all(STDOUT_FILENO, std::string(program) + " " + PROJECT_VERSION + "\n");
        std::exit(0);
    }
    return false;
}

int strike_step_or_exit(const char* program, const std::string& text) {
    const bool digits = !text.empty() && text.size() <= 3 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    const int step = digits ? std::atoi(text.c_str()) : 0;
    if (step < 1 || step > 360 || 360 % step != 0) {
        report_and_exit(program,
                        "--strike-step must be a whole number of degrees that divides 360 (1, 2, "
                        "3, 5, 10, 15, 30, 45, 90 ...), not \"" + text + "\"",
                        1);
    }
    return step;
}

contour_run contour_run_or_exit(const char* program, const std::string& file) {
    const bool standard_input = file == "-";
    const std::string name = standard_input ? "standard input" : file;
    int fd = STDIN_FILENO;
    if (!standard_input) {
        do {
            fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            report_and_exit(program, "cannot open " + name + ": " + std::strerror(errno), 1);
        }
    }
    contour_run run;
    const read_outcome outcome = read_contour_file(fd, run);
    if (!standard_input) {
        ::close(fd);
    }
    if (outcome.status == read_status::read_failure) {
        report_and_exit(program, "cannot read " + name + ": " + std::strerror(outcome.error_number),
                        1);
    }
    if (outcome.status == read_status::not_whole) {
        report_and_exit(program, name + ":" + std::to_string(outcome.line) + ": expected " +
                                     outcome.expected, 1);
    }
    return run;
}
