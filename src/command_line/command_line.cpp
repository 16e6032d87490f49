#include "command_line/command_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "diagnostic.h"
#include "write_all.h"

// The companion commands' version, given by the build.
#ifndef PROJECT_VERSION
#error "PROJECT_VERSION must be defined by the build"
#endif

// Exit status when standard output cannot take the answer.
constexpr int EXIT_STATUS_NOT_WRITTEN = 2;

command_request answer_request(std::string_view argument) {
    if (argument == "-h" || argument == "--help") {
        return command_request::help;
    }
    if (argument == "--version") {
        return command_request::version;
    }
    return command_request::run;
}

std::string version_line(const char* program) {
    return std::string(program) + " " + PROJECT_VERSION + "\n";
}

int answer_on_standard_output(const char* program, std::string_view text) {
    const write_outcome outcome = write_all(STDOUT_FILENO, text.data(), text.size());
    // Some file systems report a failed write only when the file is closed.
    const bool closed = ::close(STDOUT_FILENO) == 0 || errno == EINTR;
    const int error = outcome.error_number != 0 ? outcome.error_number : closed ? 0 : errno;
    if (error != 0) {
        report_line(STDERR_FILENO, program,
                    std::string("cannot write standard output: ") + std::strerror(error));
        return EXIT_STATUS_NOT_WRITTEN;
    }
    return 0;
}

bool option_value(int argc, char** argv, int& i, std::string_view name, std::string& value,
                  std::string& problem) {
    const std::string_view argument = argv[i];
    if (argument == name) {
        if (i + 1 >= argc) {
            problem = std::string(name) + " needs a value (see --help)";
        } else {
            value = argv[++i];
        }
        return true;
    }
    if (argument.size() > name.size() && argument.substr(0, name.size()) == name &&
        argument[name.size()] == '=') {
        value = std::string(argument.substr(name.size() + 1));
        return true;
    }
    return false;
}

bool parse_strike_step(const std::string& text, int& step, std::string& problem) {
    const bool digits = !text.empty() && text.size() <= 3 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    step = digits ? std::atoi(text.c_str()) : 0;
    if (step < 1 || step > 360 || 360 % step != 0) {
        problem = "--strike-step must be a whole number of degrees that divides 360 (1, 2, 3, 5, "
                  "10, 15, 30, 45, 90 ...), not \"" + text + "\"";
        return false;
    }
    return true;
}

bool shared_option(int argc, char** argv, int& i, shared_options& options,
                   std::string& problem) {
    std::string value;
    if (option_value(argc, argv, i, "--strike-step", value, problem)) {
        if (problem.empty()) {
            parse_strike_step(value, options.strike_step, problem);
        }
        return true;
    }
    if (option_value(argc, argv, i, "--errors", value, problem)) {
        options.errors = value;
        if (problem.empty() && value.empty()) {
            problem = "--errors needs a file name";
        }
        return true;
    }
    return false;
}

void occupy_closed_standard_descriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
            const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
            if (opened >= 0 && opened != fd) {
                ::dup2(opened, fd);
                ::close(opened);
            }
        }
    }
}
