#pragma once

#include <functional>
#include <string>
#include <string_view>

class text_output;

// What the companion commands share on their command lines. Nothing here
// ends the process: each function says what is wrong, and the command's
// main decides what follows.

// What a command line asks for.
enum class command_request {
    run,      // the command's work, with its options
    help,     // --help or -h
    version,  // --version
    refused   // wrong arguments: the problem says why
};

// Whether the argument asks for help or the version instead of a run.
command_request answer_request(std::string_view argument);

// The text of --help or of --version ("PROGRAM VERSION").
std::string version_line(const char* program);

// Writes the answer to --help or --version on standard output. Returns the
// exit status: 0, or 2 after one line on standard error when standard
// output could not take it all (a full disk, a closed descriptor).
int answer_on_standard_output(const char* program, std::string_view text);

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

// Writes out what `out` holds for standard output and closes it. False,
// with "cannot write standard output: ..." in `problem`, when any of it
// could not be written.
bool finish_standard_output(text_output& out, std::string& problem);

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

// Occupies each of descriptors 0, 1 and 2 that the command was started
// without, so that no file it opens takes their place: a contour file
// opened as descriptor 1 would receive what goes to standard output. Each
// is opened on /dev/null the wrong way round (standard output for reading),
// so that writing there still fails as it would have.
void occupy_closed_standard_descriptors();

// The main function of a companion command that writes its work to
// standard output. A reader that goes away, or a file size limit reached,
// shows up as a failed write, reported, rather than ending the command
// without a word. Answers --help and --version, refuses wrong arguments
// with exit status 1 (one line under the program's name), and otherwise
// returns what `run` returns.
void ignore_write_signals();
void report_refusal(const char* program, const std::string& problem);

template <typename Options>
int standard_output_command(int argc, char** argv, const char* program, const std::string& usage,
                            command_request (*parse)(int, char**, Options&, std::string&),
                            int (*run)(const Options&)) {
    ignore_write_signals();
    occupy_closed_standard_descriptors();
    Options options;
    std::string problem;
    switch (parse(argc, argv, options, problem)) {
        case command_request::help:
            return answer_on_standard_output(program, usage);
        case command_request::version:
            return answer_on_standard_output(program, version_line(program));
        case command_request::refused:
            report_refusal(program, problem);
            return 1;
        case command_request::run:
            break;
    }
    return run(options);
}
