#include "base/command_line.h"

#include <cstdlib>

command_request answer_request(std::string_view argument) {
    if (argument == "-h" || argument == "--help") {
        return command_request::help;
    }
    if (argument == "--version") {
        return command_request::version;
    }
    return command_request::run;
}

command_request read_arguments(int argc, char** argv, const char* operand,
                               const std::function<bool(int& i, std::string& problem)>& take_option,
                               std::string& file, std::string& problem) {
    bool file_given = false;
    bool options_done = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const command_request request = options_done ? command_request::run
                                                     : answer_request(argument);
        if (request != command_request::run) {
            return request;
        }
        if (options_done || argument == "-" || argument.empty() || argument[0] != '-') {
            if (file_given) {
                problem = std::string(operand) + " only (see --help)";
                return command_request::refused;
            }
            file = argv[i];
            file_given = true;
        } else if (argument == "--") {
            options_done = true;
        } else if (!take_option(i, problem)) {
            problem = "unknown option " + std::string(argument) + " (see --help)";
            return command_request::refused;
        } else if (!problem.empty()) {
            return command_request::refused;
        }
    }
    return command_request::run;
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
