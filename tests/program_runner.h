#pragma once

#include <string>
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

struct program_run {
    int exit_status;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// How the program's standard input and output are connected, as shell text.
// "IN" and "OUT" stand for the captured files of the scratch directory.
struct run_plumbing {
    std::string before = "";        // e.g. "yes '0 0 10' |"
    std::string input = "< IN";     // e.g. "<&-" to close standard input
    std::string output = "> OUT";   // e.g. "> /dev/full" or ">&-"
};

// Standard input or output connected otherwise; or the program fed by a
// command ("yes 1 |") instead of the input file.
run_plumbing input_from(const std::string& input);
run_plumbing output_to(const std::string& output);
run_plumbing fed_by(const std::string& command);

// Runs the program in the scratch directory's working directory with
// `input` as its standard input.
program_run run_program(const scratch_dir& dir, const std::string& input,
                        const run_plumbing& plumbing = {});

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& content);
bool file_exists(const std::string& path);
// The lines of a text, without their newlines.
std::vector<std::string> lines_of(const std::string& text);
