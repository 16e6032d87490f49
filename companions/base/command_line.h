#pragma once

#include <functional>
#include <string>
#include <string_view>

// What the companion commands share on their command lines. Nothing here
// ends the process: each function says what is wrong, and the command's
// frame (command_frame.h) decides what follows.

// What a command line asks for.
enum class command_request {
    run,      // the command's work, with its options
    help,     // --help or -h
    version,  // --version
    refused   // wrong arguments: the problem says why
};

// Whether the argument asks for help or the version instead of a run.
command_request answer_request(std::string_view argument);

// Reads the arguments of a command that takes options and at most one file
// operand: "-", an argument not starting with a dash, or any argument after
// "--". An argument asking for help or the version ends the reading with
// that request. Each option goes to `take_option`, which moves i past a
// value it takes, sets `problem` when it refuses the value, and returns
// false when the option is not one of the command's. `operand` names the
// operand in the message refusing a second ("one contour file").
command_request read_arguments(int argc, char** argv, const char* operand,
                               const std::function<bool(int& i, std::string& problem)>& take_option,
                               std::string& file, std::string& problem);

// True when argv[i] is the option `name`, given as "--name VALUE" or
// "--name=VALUE": its value goes to `value` and i moves past it, or
// `problem` says that the value is missing.
bool option_value(int argc, char** argv, int& i, std::string_view name, std::string& value,
                  std::string& problem);

// A strike step: a whole number of degrees that divides 360. False, with
// the problem, when `text` is not one.
bool parse_strike_step(const std::string& text, int& step, std::string& problem);

// The options every companion command takes.
struct shared_options {
    int strike_step = 0;  // degrees between strike lines; 0 for none
    std::string errors;   // the run's saved standard output; "" for none
};

// True when argv[i] is one of the shared options, "--strike-step N" or
// "--errors FILE", taken into `options` (i moves past its value);
// `problem` says what is wrong with the value.
bool shared_option(int argc, char** argv, int& i, shared_options& options,
                   std::string& problem);
