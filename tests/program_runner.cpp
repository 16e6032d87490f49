#include "program_runner.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

namespace {

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

}  // namespace

scratch_dir::scratch_dir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/contour-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch directory");
    }
    root_ = pattern;
    std::filesystem::create_directory(root_ + "/work");
}

scratch_dir::~scratch_dir() {
    std::error_code ignored;
    std::filesystem::permissions(root_ + "/work", std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(root_, ignored);
}

std::string scratch_dir::work_path(const std::string& name) const {
    return root_ + "/work/" + name;
}

std::string scratch_dir::io_path(const std::string& name) const {
    return root_ + "/" + name;
}

program_run run_program(const scratch_dir& dir, const std::string& input,
                        const run_plumbing& plumbing) {
    write_file(dir.io_path("in"), input);
    write_file(dir.io_path("out"), "");
    const std::string redirections =
        replace_all(replace_all(plumbing.input + " " + plumbing.output, "IN",
                                quoted(dir.io_path("in"))),
                    "OUT", quoted(dir.io_path("out")));
    const std::string command = "cd " + quoted(dir.work_path("")) + " && " + plumbing.before +
                                " " + quoted(PROGRAM_PATH) + " " + redirections + " 2> " +
                                quoted(dir.io_path("err"));
    const int status = std::system(command.c_str());
    program_run run;
    run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = read_file(dir.io_path("out"));
    run.err = read_file(dir.io_path("err"));
    return run;
}

run_plumbing input_from(const std::string& input) {
    run_plumbing plumbing;
    plumbing.input = input;
    return plumbing;
}

run_plumbing output_to(const std::string& output) {
    run_plumbing plumbing;
    plumbing.output = output;
    return plumbing;
}

run_plumbing fed_by(const std::string& command) {
    run_plumbing plumbing;
    plumbing.before = command;
    plumbing.input = "";
    return plumbing;
}

std::string read_file(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

void write_file(const std::string& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
}

bool file_exists(const std::string& path) {
    return std::filesystem::exists(std::filesystem::symlink_status(path));
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}
