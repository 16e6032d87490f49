#include "program_runner.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int open_or_throw(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw std::runtime_error("cannot open " + path);
    }
    return fd;
}

// A process that writes the text into the pipe until nobody reads it.
pid_t start_feeder(const std::string& text, int write_fd, int read_fd) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(read_fd);
        std::signal(SIGPIPE, SIG_IGN);
        while (::write(write_fd, text.data(), text.size()) > 0 || errno == EINTR) {
        }
        ::_exit(0);
    }
    return pid;
}

// Standard input for the run; -1 for a closed one. Sets `feeder` for a
// repeated text.
int open_input(const scratch_dir& dir, const program_input& input, const std::string& name,
               pid_t& feeder) {
    feeder = 0;
    switch (input.from) {
        case program_input::kind::text:
            write_file(dir.io_path(name), input.text_or_path);
            return open_or_throw(dir.io_path(name), O_RDONLY);
        case program_input::kind::path:
            return open_or_throw(input.text_or_path, O_RDONLY);
        case program_input::kind::repeated_text: {
            int fds[2];
            if (::pipe2(fds, O_CLOEXEC) != 0) {
                throw std::runtime_error("cannot make a pipe");
            }
            feeder = start_feeder(input.text_or_path, fds[1], fds[0]);
            ::close(fds[1]);
            return fds[0];
        }
        case program_input::kind::closed:
            break;
    }
    return -1;
}

int open_output(const program_output& output, const std::string& captured_path,
                int& stalled_fd) {
    stalled_fd = -1;
    switch (output.to) {
        case program_output::kind::stalled: {
            int fds[2];
            if (::pipe2(fds, O_CLOEXEC) != 0) {
                throw std::runtime_error("cannot make a pipe");
            }
            // One page, the least a pipe holds: a write that waits on it
            // has filled it.
            ::fcntl(fds[1], F_SETPIPE_SZ, 4096);
            stalled_fd = fds[0];
            return fds[1];
        }
        case program_output::kind::captured:
            return open_or_throw(captured_path, O_WRONLY | O_CREAT | O_TRUNC);
        case program_output::kind::path:
            return open_or_throw(output.path, O_WRONLY | O_CREAT | O_TRUNC);
        case program_output::kind::appended:
            return open_or_throw(output.path, O_WRONLY | O_CREAT | O_APPEND);
        case program_output::kind::closed:
            break;
    }
    return -1;
}

// In the child: the descriptor becomes `target`, or `target` is closed.
void place(int fd, int target) {
    if (fd < 0) {
        ::close(target);
    } else if (::dup2(fd, target) < 0) {
        ::_exit(126);
    }
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

program_input text_input(const std::string& text) {
    return {program_input::kind::text, text};
}

program_input repeated_input(const std::string& text) {
    return {program_input::kind::repeated_text, text};
}

program_input input_path(const std::string& path) {
    return {program_input::kind::path, path};
}

program_input closed_input() {
    return {program_input::kind::closed, ""};
}

program_output captured_output() {
    return {program_output::kind::captured, ""};
}

program_output output_path(const std::string& path) {
    return {program_output::kind::path, path};
}

program_output appended_output(const std::string& path) {
    return {program_output::kind::appended, path};
}

program_output closed_output() {
    return {program_output::kind::closed, ""};
}

program_output stalled_output() {
    return {program_output::kind::stalled, ""};
}

started_run start_program(const scratch_dir& dir, const run_setup& setup) {
    // Each run of a directory gets its own capture files.
    static int runs = 0;
    const std::string suffix = std::to_string(++runs);
    started_run run{};
    run.out_path = dir.io_path("out-" + suffix);
    run.err_path = dir.io_path("err-" + suffix);
    write_file(run.out_path, "");
    run.input_fd = open_input(dir, setup.input, "in-" + suffix, run.feeder);
    const int output_fd = open_output(setup.output, run.out_path, run.stalled_fd);
    const int error_fd = setup.error_path.empty()
                             ? open_or_throw(run.err_path, O_WRONLY | O_CREAT | O_TRUNC)
                             : open_or_throw(setup.error_path, O_WRONLY | O_CREAT | O_APPEND);
    const std::string work = dir.work_path("");
    std::vector<char*> argv{const_cast<char*>(setup.program.c_str())};
    for (const std::string& argument : setup.arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    run.pid = ::fork();
    if (run.pid == 0) {
        place(run.input_fd, STDIN_FILENO);
        place(output_fd, STDOUT_FILENO);
        place(error_fd, STDERR_FILENO);
        if (setup.file_size_limit >= 0) {
            const rlimit limit{static_cast<rlim_t>(setup.file_size_limit),
                               static_cast<rlim_t>(setup.file_size_limit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (!setup.preload.empty()) {
            ::setenv("LD_PRELOAD", setup.preload.c_str(), 1);
            // A sanitizer runtime otherwise insists on coming first.
            const char* asan = std::getenv("ASAN_OPTIONS");
            const std::string options =
                std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0";
            ::setenv("ASAN_OPTIONS", options.c_str(), 1);
        }
        for (const std::string& variable : setup.environment) {
            ::putenv(const_cast<char*>(variable.c_str()));
        }
        if (::chdir(work.c_str()) != 0) {
            ::_exit(126);
        }
        ::execv(setup.program.c_str(), argv.data());
        ::_exit(127);
    }
    for (int fd : {output_fd, error_fd}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    return run;
}

program_run finish_program(started_run& started) {
    int status = 0;
    while (::waitpid(started.pid, &status, 0) < 0 && errno == EINTR) {
    }
    program_run run;
    run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.end_signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    run.input_offset = -1;
    if (started.input_fd >= 0) {
        run.input_offset = static_cast<long>(::lseek(started.input_fd, 0, SEEK_CUR));
        ::close(started.input_fd);
    }
    if (started.feeder != 0) {
        ::waitpid(started.feeder, nullptr, 0);
    }
    if (started.stalled_fd >= 0) {
        ::close(started.stalled_fd);
    }
    run.out = read_file(started.out_path);
    run.err = read_file(started.err_path);
    return run;
}


bool has_ended(const started_run& run) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(run.pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == run.pid;
}

bool stops_itself(const started_run& run) {
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(run.pid), &info, WEXITED | WSTOPPED | WNOWAIT) != 0 &&
           errno == EINTR) {
    }
    return info.si_code == CLD_STOPPED;
}

bool says_before_ending(const started_run& run, const std::string& text) {
    // Polled, the run's own word being the evidence, not a time.
    for (;;) {
        const bool ended = has_ended(run);
        if (read_file(run.err_path).find(text) != std::string::npos) {
            return true;
        }
        if (ended) {
            return false;
        }
        ::usleep(2 * 1000);
    }
}

program_run run_program(const scratch_dir& dir, const run_setup& setup) {
    started_run started = start_program(dir, setup);
    return finish_program(started);
}

program_run run_program(const scratch_dir& dir, const std::string& input) {
    return run_program(dir, run_setup{text_input(input)});
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
