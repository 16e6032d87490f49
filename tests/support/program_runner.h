#pragma once

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// A scratch directory for one test: the program runs in `work`, and its
// input and captured output live beside it, outside the working directory.
class scratch_dir {
public:
    scratch_dir();
    ~scratch_dir();
    scratch_dir(const scratch_dir&) = delete;
    scratch_dir& operator=(const scratch_dir&) = delete;

    std::string work_path(const std::string& name) const;
    std::string io_path(const std::string& name) const;

private:
    std::string root_;
};

// Where the program's standard input comes from.
struct program_input {
    enum class kind { text, repeated_text, path, closed } from;
    std::string text_or_path;
};
// A regular file holding the text (the default).
program_input text_input(const std::string& text);
// A pipe carrying the text over and over, for as long as it is read.
program_input repeated_input(const std::string& text);
// The file or device at the path, opened for reading.
program_input input_path(const std::string& path);
program_input closed_input();

// Where the program's standard output goes.
struct program_output {
    enum class kind { captured, path, appended, closed, stalled } to;
    std::string path;
};
program_output captured_output();
// The path, opened for writing and truncated, as a shell's ">" does.
program_output output_path(const std::string& path);
// The path opened for writing at its end, as a shell's ">>" does.
program_output appended_output(const std::string& path);
program_output closed_output();
// A pipe that nobody reads, as small as a pipe can be: writes block once
// it is full, holding its capacity to the byte.
program_output stalled_output();

struct run_setup {
    run_setup(program_input in, program_output out = captured_output())
        : input(std::move(in)), output(std::move(out)) {}

    program_input input;
    program_output output;
    long file_size_limit = -1;  // bytes; -1 for none
    std::string preload;        // a shared library put in front of the C library
    std::string program = PROGRAM_PATH;  // the contour program unless set
    std::vector<std::string> arguments;
    std::vector<std::string> environment;  // "NAME=VALUE", set in front of the test's own
    std::string error_path;  // standard error appended to this file instead of captured
};

struct program_run {
    int exit_status;  // -1 when the program did not exit normally
    int end_signal;   // the signal that ended it, or 0
    std::string out;  // captured standard output
    std::string err;
    long input_offset;  // where a text input's offset was left
};

// A run in progress, for starting several at once.
struct started_run {
    pid_t pid;
    pid_t feeder;  // writes a repeated input; 0 when there is none
    int input_fd;
    std::string out_path;
    std::string err_path;
    int stalled_fd;  // the unread end of a stalled output, or -1
};

// Starts the program in the scratch directory's working directory.
started_run start_program(const scratch_dir& dir, const run_setup& setup);
// Waits for it to end and collects what it left.
program_run finish_program(started_run& run);
// Whether it has ended, without waiting or collecting it.
bool has_ended(const started_run& run);
// Waits until it stops itself (SIGSTOP: true) or ends (false), without
// collecting it.
bool stops_itself(const started_run& run);
// Waits until its standard error holds `text` (true) or it has ended
// without saying it (false), without collecting it.
bool says_before_ending(const started_run& run, const std::string& text);

program_run run_program(const scratch_dir& dir, const run_setup& setup);
// With the text as standard input and standard output captured.
program_run run_program(const scratch_dir& dir, const std::string& input);

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& content);
bool file_exists(const std::string& path);
// The lines of a text, without their newlines.
std::vector<std::string> lines_of(const std::string& text);
