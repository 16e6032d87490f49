#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

#include "base/command_line.h"
#include "exit_status.h"

class text_output;

// The frame of every companion command's main function, and the one place
// where a command changes what belongs to its whole process: the standard
// descriptors, the signals of a failed write, the umask read for new files.
// Nothing else in the companions changes them.

// One line "PROGRAM: PROBLEM" on standard error; returns `status`. The one
// way a companion refuses or reports a failure.
int refuse(const char* program, std::string_view problem, int status);

// Writes the answer to --help or --version on standard output. Returns the
// exit status: 0, or EXIT_STATUS_FAILED after one line on standard error
// when standard output could not take it all (a full disk, a closed
// descriptor).
int answer_on_standard_output(const char* program, std::string_view text);

// The text of --version: "PROGRAM VERSION".
std::string version_line(const char* program);

// Writes out what `out` holds for standard output and closes it. False,
// with "cannot write standard output: ..." in `problem`, when any of it
// could not be written.
bool finish_standard_output(text_output& out, std::string& problem);

// The permissions of a file the command creates: 0666 less the umask the
// command was started with.
mode_t new_file_mode();

// What the frame does before it reads the arguments: descriptors 0, 1 and
// 2 that the command was started without are opened on /dev/null, the
// wrong way round (standard output for reading), so that no file it opens
// takes their place and writing there still fails; the umask is read; a
// reader of standard output that goes away, or a file size limit reached,
// shows up as a failed write, reported, rather than ending the command
// without a word, while SIGPIPE or SIGXFSZ sent by another process ends it
// as by default (write_signals.h; the map later stops on either).
void prepare_process();

// The main function of a companion command: prepares the process, answers
// --help and --version, refuses wrong arguments with EXIT_STATUS_REFUSED
// (one line under the program's name), and otherwise returns what `run`
// returns.
template <typename Options>
int run_command(int argc, char** argv, const char* program, const std::string& usage,
                command_request (*parse)(int, char**, Options&, std::string&),
                int (*run)(const Options&)) {
    prepare_process();
    Options options;
    std::string problem;
    switch (parse(argc, argv, options, problem)) {
        case command_request::help:
            return answer_on_standard_output(program, usage);
        case command_request::version:
            return answer_on_standard_output(program, version_line(program));
        case command_request::refused:
            return refuse(program, problem, EXIT_STATUS_REFUSED);
        case command_request::run:
            break;
    }
    return run(options);
}
