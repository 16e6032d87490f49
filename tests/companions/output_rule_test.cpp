// The output rule in process, without GMT: what an output may not be, each
// refusal in one line, and what committing or discarding an output leaves.
// (Standard output that is the file read is refused by the export's and
// the measuring command's tests.)

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "base/output_rule.h"

namespace {

namespace fs = std::filesystem;

std::string read_text(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

void write_text(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

// The permissions of a file, in octal.
std::string mode_of(const std::string& path) {
    struct stat info {};
    char text[16] = "missing";
    if (::stat(path.c_str(), &info) == 0) {
        std::snprintf(text, sizeof text, "%04o", info.st_mode & 07777);
    }
    return text;
}

// Files of every kind an output may meet, in a scratch directory that is
// the working directory while a test runs:
//   in.txt  the file read          old.txt  a file, mode 0640
//   ro.txt  a file, mode 0444      dir/     a directory
//   to-in -> in.txt   to-old -> old.txt   dangling -> made.txt (missing)
//   loop -> loop
class OutputRule : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = fs::temp_directory_path().string() + "/output-rule-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        previous_ = fs::current_path();
        fs::current_path(root_);
        write_text("in.txt", "input\n");
        write_text("old.txt", "old\n");
        fs::permissions("old.txt", static_cast<fs::perms>(0640));
        write_text("ro.txt", "read only\n");
        fs::permissions("ro.txt", static_cast<fs::perms>(0444));
        fs::create_directory("dir");
        fs::create_symlink("in.txt", "to-in");
        fs::create_symlink("old.txt", "to-old");
        fs::create_symlink("made.txt", "dangling");
        fs::create_symlink("loop", "loop");
        files_ = names();
    }

    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(root_);
    }

    // The names in the directory, new files beside the outputs included.
    static std::vector<std::string> names() {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(".")) {
            found.push_back(entry.path().filename().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    fs::path root_;
    fs::path previous_;
    std::vector<std::string> files_;  // as made, before the test
};

file_identity identity_of_path(const char* path) {
    struct stat info {};
    return ::stat(path, &info) == 0 ? identity_of(info) : file_identity{};
}

// Opens `path`, then checks it against `against`: "input" for the file read
// (in.txt), another output's path, or nothing. The first problem, or "".
std::string problem_of(const std::string& path, const char* against) {
    output_file output("test", 0644);
    output_file other("test", 0644);
    std::string problem;
    if (!output.open(path, problem)) {
        return problem;
    }
    if (against == nullptr) {
        return "";
    }
    if (std::string(against) == "input") {
        output.clear_of_input(identity_of_path("in.txt"), "the contour file", problem);
    } else if (other.open(against, problem)) {
        output.clear_of(other, problem);
    }
    return problem;
}

TEST_F(OutputRule, RefusesWhatItMayNotWriteInOneLine) {
    const std::string long_name(NAME_MAX + 1, 'n');
    // Root may write a file whatever its mode, as cp does.
    const bool root = ::geteuid() == 0;
    const struct {
        const char* name;
        std::string path;
        const char* against;
        std::string problem;  // "" for none
    } rows[] = {
        {"standard output's name", "-", nullptr, "\"-\" is not a file name"},
        {"no name", "", nullptr, "\"\" is not a file name"},
        {"a directory", "dir", nullptr, "dir: is a directory; give a file name"},
        {"a missing directory", "missing/out.txt", nullptr,
         "missing: no such directory for missing/out.txt"},
        {"a file as a directory", "in.txt/out.txt", nullptr,
         "in.txt: no such directory for in.txt/out.txt"},
        {"a name over NAME_MAX", long_name, nullptr,
         "cannot write " + long_name + ": File name too long"},
        {"a file the user may not write", "ro.txt", nullptr,
         root ? "" : "cannot write ro.txt: Permission denied"},
        {"a new file", "new.txt", nullptr, ""},
        {"a device", "/dev/null", nullptr, ""},
        {"links in a circle", "loop", nullptr, "cannot write loop: Too many levels of symbolic links"},
        {"the file read", "in.txt", "input", "in.txt: is the contour file itself"},
        {"a link to the file read", "to-in", "input", "to-in: is the contour file itself"},
        {"another file than the one read", "old.txt", "input", ""},
        {"one file by two names", "./old.txt", "old.txt", "./old.txt: is the same file as old.txt"},
        {"one file and a link to it", "to-old", "old.txt", "to-old: is the same file as old.txt"},
        {"one new file by two names", "dir/../new.txt", "new.txt",
         "dir/../new.txt: is the same file as new.txt"},
        {"a link to a missing file and that file", "dangling", "made.txt",
         "dangling: is the same file as made.txt"},
        {"two files", "old.txt", "new.txt", ""},
        {"a device twice", "/dev/null", "/dev/null", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(problem_of(row.path, row.against), row.problem) << row.name;
    }
    EXPECT_EQ(names(), files_) << "a file left beside the outputs";
}

// Committed, an output replaces the file a link leads to, even one yet to
// be made, and keeps the mode of the file it replaces; a new file gets the
// mode asked for. A device is written as it is.
TEST_F(OutputRule, CommitReplacesTheFileALinkLeadsToAndKeepsItsMode) {
    const struct {
        const char* path;
        const char* written;  // the file that holds the text after the commit
        const char* mode;
    } rows[] = {{"old.txt", "old.txt", "0640"}, {"to-old", "old.txt", "0640"},
                {"dangling", "made.txt", "0604"}, {"new.txt", "new.txt", "0604"},
                {"ro.txt", "ro.txt", "0444"}};
    for (const auto& row : rows) {
        if (std::string(row.path) == "ro.txt" && ::geteuid() != 0) {
            continue;
        }
        output_file output("test", 0604);
        std::string problem;
        ASSERT_TRUE(output.open(row.path, problem)) << problem;
        ASSERT_EQ(::write(output.fd(), "new\n", 4), 4);
        ASSERT_TRUE(output.commit(problem)) << problem;
        EXPECT_EQ(read_text(row.written), "new\n") << row.path;
        EXPECT_EQ(mode_of(row.written), row.mode) << row.path;
    }
    EXPECT_TRUE(fs::is_symlink("to-old") && fs::is_symlink("dangling"));
    output_file device("test", 0604);
    std::string problem;
    ASSERT_TRUE(device.open("/dev/null", problem)) << problem;
    EXPECT_EQ(fs::read_symlink("/proc/self/fd/" + std::to_string(device.fd())), "/dev/null");
    EXPECT_TRUE(device.commit(problem)) << problem;
}

// A descriptor the command was given, by any of its names and through a
// link, is a stream: written at its own offset (appended after ">>"), the
// file neither replaced nor copied; one open only for reading is refused.
TEST_F(OutputRule, WritesADescriptorAsAStream) {
    const int appended = ::open("old.txt", O_WRONLY | O_APPEND);
    const int read_only = ::open("in.txt", O_RDONLY);
    ASSERT_GE(appended, 0);
    const std::string fd = std::to_string(appended);
    fs::create_symlink("/dev/fd/" + fd, "to-fd");
    for (const std::string& path : {"/dev/fd/" + fd, "/proc/self/fd/" + fd, std::string("to-fd")}) {
        output_file output("test", 0604);
        std::string problem;
        ASSERT_TRUE(output.open(path, problem)) << problem;
        EXPECT_EQ(output.new_file(), "") << path;
        ASSERT_EQ(::write(output.fd(), "+\n", 2), 2);
        EXPECT_TRUE(output.commit(problem)) << problem;
    }
    EXPECT_EQ(read_text("old.txt"), "old\n+\n+\n+\n");
    EXPECT_EQ(problem_of("/dev/fd/" + fd, "input"), "");
    // One pipe by two names: what goes into it would be mixed.
    int pipe_ends[2];
    ASSERT_EQ(::pipe(pipe_ends), 0);
    const std::string pipe = std::to_string(pipe_ends[1]);
    EXPECT_EQ(problem_of("/dev/fd/" + pipe, ("/proc/self/fd/" + pipe).c_str()),
              "/dev/fd/" + pipe + ": is the same file as /proc/self/fd/" + pipe);
    ::close(pipe_ends[0]);
    ::close(pipe_ends[1]);
    EXPECT_EQ(problem_of("/dev/fd/" + std::to_string(read_only), nullptr),
              "cannot write /dev/fd/" + std::to_string(read_only) + ": Bad file descriptor");
    ::close(appended);
    ::close(read_only);
}

// Discarded, or not committed for any reason, an output leaves the file as
// it was and nothing beside it; outputs committed together are all
// replaced or none, whichever fails to complete.
TEST_F(OutputRule, NothingReplacedUnlessEveryOutputIsComplete) {
    {
        output_file output("test", 0644);
        std::string problem;
        ASSERT_TRUE(output.open("old.txt", problem)) << problem;
        ASSERT_EQ(::write(output.fd(), "new\n", 4), 4);
        output.discard();
        output_file dropped("test", 0644);
        ASSERT_TRUE(dropped.open("in.txt", problem)) << problem;
    }
    EXPECT_EQ(read_text("old.txt"), "old\n");
    EXPECT_EQ(read_text("in.txt"), "input\n");
    for (const int failing : {0, 1, -1}) {
        output_file first("test", 0644);
        output_file second("test", 0644);
        std::string problem;
        ASSERT_TRUE(first.open("old.txt", problem) && second.open("in.txt", problem)) << problem;
        ASSERT_EQ(::write(first.fd(), "1\n", 2), 2);
        ASSERT_EQ(::write(second.fd(), "2\n", 2), 2);
        if (failing >= 0) {
            // Its descriptor closed behind its back: completing it fails.
            ::close((failing == 0 ? first : second).fd());
        }
        EXPECT_EQ(commit_together(first, &second, problem), failing < 0) << failing;
        EXPECT_EQ(read_text("old.txt"), failing < 0 ? "1\n" : "old\n") << failing;
        EXPECT_EQ(read_text("in.txt"), failing < 0 ? "2\n" : "input\n") << failing;
    }
    EXPECT_EQ(names(), files_) << "a file left beside the outputs";
}

// A new file beside an output is named for its command's PID; one that a
// command ended at once left (its PID runs no process) is removed by the
// next, one of a command still running is not.
TEST_F(OutputRule, RemovesWhatAnEndedCommandLeftBeside) {
    const pid_t ended = ::fork();
    if (ended == 0) {
        ::_exit(0);
    }
    ASSERT_GT(ended, 0);
    ::waitpid(ended, nullptr, 0);
    const std::string left = ".test." + std::to_string(ended) + ".abcdef";
    const std::string running = ".test." + std::to_string(::getppid()) + ".abcdef";
    write_text(left, "");
    write_text(running, "");
    output_file output("test", 0644);
    std::string problem;
    ASSERT_TRUE(output.open("new.txt", problem)) << problem;
    EXPECT_FALSE(fs::exists(left));
    EXPECT_TRUE(fs::exists(running));
    EXPECT_NE(output.new_file().find(".test." + std::to_string(::getpid()) + "."), std::string::npos);
    fs::remove(running);
}

}  // namespace
