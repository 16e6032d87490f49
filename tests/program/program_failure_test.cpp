// The contour file's life cycle, refused input and failing surroundings:
// nothing may be reported as success that was not done.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "program_runner.h"
#include "reference_runs.h"

namespace {

const char* const CONTOUR_FILE = "dist-strike-contour.txt";

std::size_t line_count(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

void expect_one_diagnostic(const program_run& run, const std::string& expected) {
    EXPECT_EQ(run.err.rfind("dist-strike-contour: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
    EXPECT_EQ(line_count(run.err), 1u) << run.err;
}

// A failure of the surroundings: exit status 2 and one diagnostic.
void expect_io_failure(const program_run& run, const std::string& expected) {
    EXPECT_EQ(run.exit_status, 2) << expected;
    expect_one_diagnostic(run, expected);
}

TEST(ContourFile, AnOlderLongerFileIsFullyReplaced) {
    scratch_dir dir;
    write_file(dir.work_path(CONTOUR_FILE), std::string(3'000'000, 'x'));
    EXPECT_EQ(run_program(dir, "120 30 25").exit_status, 0);
    expect_stored_run(read_file(dir.work_path(CONTOUR_FILE)), "lon120_lat30_step25", CONTOUR_FILE);
}

TEST(ContourFile, NegativeStepKeepsAnExistingFileAndCreatesAMissingOne) {
    scratch_dir dir;
    program_run run = run_program(dir, "0 0 -5");
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(file_exists(dir.work_path(CONTOUR_FILE)));
    EXPECT_EQ(read_file(dir.work_path(CONTOUR_FILE)), "");

    write_file(dir.work_path(CONTOUR_FILE), "earlier content\n");
    run = run_program(dir, "0 0 -2147483648");
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(read_file(dir.work_path(CONTOUR_FILE)), "earlier content\n");
}

TEST(ContourFile, RefusedInputLeavesTheFileAlone) {
    scratch_dir dir;
    for (const char* input : {"", "1 2", "0 0 0", "0 0 10.5", "1e39 0 1", "2*0 1", ",1 2 3"}) {
        const program_run run = run_program(dir, input);
        EXPECT_EQ(run.exit_status, 1) << input;
        EXPECT_EQ(run.out, "") << input;
        expect_one_diagnostic(run, "");
        EXPECT_FALSE(file_exists(dir.work_path(CONTOUR_FILE))) << input;
    }
    write_file(dir.work_path(CONTOUR_FILE), "kept\n");
    expect_one_diagnostic(run_program(dir, "0 0 0"), "the distance step must not be zero");
    EXPECT_EQ(read_file(dir.work_path(CONTOUR_FILE)), "kept\n");
}

TEST(ContourFile, UnwritableFileFailsTheRun) {
    scratch_dir dir;
    ::mkdir(dir.work_path(CONTOUR_FILE).c_str(), 0755);
    program_run run = run_program(dir, "0 0 10");
    expect_io_failure(run, "cannot open dist-strike-contour.txt");
    ::rmdir(dir.work_path(CONTOUR_FILE).c_str());

    ASSERT_EQ(::symlink("/dev/full", dir.work_path(CONTOUR_FILE).c_str()), 0);
    run = run_program(dir, "0 0 10");
    expect_io_failure(run, "cannot write dist-strike-contour.txt: No space left on device");
}

// The file system filling part way through the run, as a file size limit
// of 100 KiB: the run stops with a diagnostic and a failure status, and
// leaves a prefix of its whole lines.
TEST(ContourFile, FillingUpPartWayLeavesWholeLinesAndFailsTheRun) {
    scratch_dir full_run;
    run_program(full_run, "120.5 -33.25 1");
    const std::string complete = read_file(full_run.work_path(CONTOUR_FILE));

    scratch_dir dir;
    run_setup setup{text_input("120.5 -33.25 1")};
    setup.file_size_limit = 100 * 1024;
    const program_run run = run_program(dir, setup);
    expect_io_failure(run, "cannot write dist-strike-contour.txt: File too large");
    const std::string written = read_file(dir.work_path(CONTOUR_FILE));
    ASSERT_GT(written.size(), 0u);
    EXPECT_EQ(written.back(), '\n');
    EXPECT_EQ(complete.compare(0, written.size(), written), 0);
}

// Error lines written into the contour file would overwrite its records.
TEST(ContourFile, StandardOutputIntoTheFileItselfIsRefused) {
    scratch_dir dir;
    ASSERT_EQ(::symlink(dir.work_path(CONTOUR_FILE).c_str(), dir.io_path("link").c_str()), 0);
    for (const std::string& path : {dir.work_path(CONTOUR_FILE), dir.io_path("link")}) {
        const program_run run = run_program(dir, {text_input("0 0 10"), output_path(path)});
        expect_io_failure(run, "standard output is dist-strike-contour.txt itself");
        EXPECT_EQ(read_file(dir.work_path(CONTOUR_FILE)), "") << path;
    }
    // Both streams into the file (">> file 2>&1"): nothing said there, and
    // the file left as it was.
    write_file(dir.work_path(CONTOUR_FILE), "an earlier run\n");
    run_setup both{text_input("0 0 10"), appended_output(dir.work_path(CONTOUR_FILE))};
    both.error_path = dir.work_path(CONTOUR_FILE);
    EXPECT_EQ(run_program(dir, both).exit_status, 2);
    EXPECT_EQ(read_file(dir.work_path(CONTOUR_FILE)), "an earlier run\n");
}

// Runs in one directory take turns, and readers of the contour file with
// them: while a run holds the file, a run or a reader says so and waits
// (stopped while it waits, it leaves the file alone), and a run waits for
// readers as well; once the lock is free each does its work whole. The
// lock is held here until each has said that it waits.
TEST(ContourFile, RunsAndReadersTakeTurns) {
    scratch_dir dir;
    const std::string path = dir.work_path(CONTOUR_FILE);
    const std::string run_waits = "dist-strike-contour: warning: another run or a reader holds " +
                                  std::string(CONTOUR_FILE) + "; waiting for it to finish\n";
    const std::string reader_waits = "dist-strike-contour-export: warning: a run is writing " +
                                     std::string(CONTOUR_FILE) + "; waiting for it to finish\n";
    write_file(path, "a line of another run\n");
    const int holder = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    run_setup export_setup{closed_input()};
    export_setup.program = EXPORT_PATH;
    started_run interrupted = start_program(dir, run_setup{text_input("0 0 10")});
    started_run reader = start_program(dir, export_setup);
    started_run waiting = start_program(dir, run_setup{text_input("0 0 10")});
    EXPECT_TRUE(says_before_ending(interrupted, run_waits)) << "a run did not wait for a run";
    EXPECT_TRUE(says_before_ending(reader, reader_waits)) << "a reader did not wait for a run";
    EXPECT_TRUE(says_before_ending(waiting, run_waits)) << "a run did not wait for a run";
    for (started_run* stopped_one : {&interrupted, &reader}) {
        ::kill(stopped_one->pid, SIGINT);
    }
    const program_run stopped = finish_program(interrupted);
    EXPECT_EQ(stopped.end_signal, SIGINT);
    EXPECT_EQ(stopped.err, run_waits);
    const program_run stopped_reader = finish_program(reader);
    EXPECT_EQ(stopped_reader.end_signal, SIGINT) << stopped_reader.err;
    EXPECT_EQ(stopped_reader.err, reader_waits);
    EXPECT_EQ(read_file(path), "a line of another run\n");
    ::close(holder);
    EXPECT_EQ(finish_program(waiting).exit_status, 0);
    EXPECT_EQ(lines_of(read_file(path)).size(), 18u * 362);
    // A reader holds the file: the run waits for it.
    const int reading = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(reading, LOCK_SH), 0);
    started_run after_reader = start_program(dir, run_setup{text_input("0 0 20")});
    EXPECT_TRUE(says_before_ending(after_reader, run_waits)) << "a run did not wait for a reader";
    EXPECT_EQ(lines_of(read_file(path)).size(), 18u * 362);
    ::close(reading);
    EXPECT_EQ(finish_program(after_reader).exit_status, 0);
    EXPECT_EQ(lines_of(read_file(path)).size(), 9u * 362);
}

// Every signal that ends the process by default, landing in the middle of a
// write (writes here go 1000 bytes at a time, and the run stops itself after
// the piece of its Nth write, the file ending in a cut line, until the
// signal is sent): the file is a prefix of the complete run that ends in a
// whole line, and the exit status tells the signal.
TEST(ContourFile, SignalsLeaveWholeLinesAndEndTheRunAtOnce) {
    scratch_dir reference;
    ASSERT_EQ(run_program(reference, "120.5 -33.25 1").exit_status, 0);
    const std::string complete = read_file(reference.work_path(CONTOUR_FILE));
    const struct {
        int signal_number;
        long write;  // N: the first write, the second buffer's, later ones
    } stops[] = {{SIGTERM, 1}, {SIGINT, 70}, {SIGHUP, 300}, {SIGUSR1, 1500}, {SIGALRM, 4000}};
    for (const auto& stop : stops) {
        const std::string name = strsignal(stop.signal_number);
        scratch_dir dir;
        run_setup setup{text_input("120.5 -33.25 1")};
        setup.preload = SHORT_WRITES_PATH;
        setup.environment = {"STOP_AT_WRITE=" + std::to_string(stop.write)};
        started_run run = start_program(dir, setup);
        const bool stopped = stops_itself(run);
        const std::string cut = read_file(dir.work_path(CONTOUR_FILE));
        ::kill(run.pid, stop.signal_number);
        ::kill(run.pid, SIGCONT);
        const program_run ended = finish_program(run);
        ASSERT_TRUE(stopped) << name << ": the run ended before its write " << stop.write;
        ASSERT_TRUE(!cut.empty() && cut.back() != '\n') << name << ": no line cut when stopped";
        const std::string left = read_file(dir.work_path(CONTOUR_FILE));
        EXPECT_EQ(ended.end_signal, stop.signal_number) << name << ": " << ended.exit_status;
        EXPECT_EQ(complete.compare(0, left.size(), left), 0) << name;
        EXPECT_TRUE(left.empty() || left.back() == '\n')
            << name << ": ends in a cut line, " << left.size() << " bytes";
    }
    // Standard output stalled (a reader that stopped reading): once the pipe
    // is full the run waits in its write for ever, and TERM ends it there;
    // so do PIPE and XFSZ sent by another process, which a failed write of
    // the run's own would not be.
    for (const int signal_number : {SIGTERM, SIGPIPE, SIGXFSZ}) {
        scratch_dir dir;
        started_run stalled = start_program(dir, {text_input("0 -89.99 1"), stalled_output()});
        const int capacity = ::fcntl(stalled.stalled_fd, F_GETPIPE_SZ);
        int queued = 0;
        while (::ioctl(stalled.stalled_fd, FIONREAD, &queued) == 0 && queued < capacity &&
               !has_ended(stalled)) {
            ::usleep(2 * 1000);
        }
        EXPECT_EQ(queued, capacity) << "the run ended with its standard output unread";
        ::kill(stalled.pid, signal_number);
        EXPECT_EQ(finish_program(stalled).end_signal, signal_number) << strsignal(signal_number);
        const std::string left = read_file(dir.work_path(CONTOUR_FILE));
        EXPECT_TRUE(left.empty() || left.back() == '\n') << strsignal(signal_number);
    }
}

// Linux releases a descriptor even when its close reports EINTR; every
// byte was written before, so the run has succeeded.
TEST(ContourFile, AnInterruptedCloseIsNoFailure) {
    scratch_dir dir;
    run_setup setup{text_input("120 30 25")};
    setup.preload = INTERRUPTED_CLOSE_PATH;
    const program_run run = run_program(dir, setup);
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(lines_of(read_file(dir.work_path(CONTOUR_FILE))).size(), 8u * 362);
}

TEST(StandardOutput, WriteFailuresWhileErrorLinesAreDueFailTheRun) {
    for (const program_output& output : {output_path("/dev/full"), closed_output()}) {
        scratch_dir dir;
        const program_run run = run_program(dir, {text_input("0 0 10"), output});
        expect_io_failure(run, "cannot write standard output");
        // The contour file is still complete.
        expect_stored_run(read_file(dir.work_path(CONTOUR_FILE)), "lon0_lat0_step10",
                          CONTOUR_FILE);
    }
}

TEST(StandardOutput, ClosedOutputIsFineWhenNoErrorLinesAreDue) {
    scratch_dir dir;
    EXPECT_EQ(run_program(dir, {text_input("120 30 25"), closed_output()}).exit_status, 0);
}

TEST(StandardInput, ClosedOrUnreadableInputFailsTheRun) {
    // The last fails to read after the first digit of the distance step.
    run_setup interrupted{text_input("")};
    interrupted.preload = INTERRUPTED_READ_PATH;
    for (const run_setup& setup : {run_setup{closed_input()}, run_setup{input_path("/")}, interrupted}) {
        scratch_dir dir;
        const program_run run = run_program(dir, setup);
        expect_io_failure(run, "cannot read standard input");
        EXPECT_FALSE(file_exists(dir.work_path(CONTOUR_FILE)));
    }
}

TEST(StandardInput, EndlessOrHugeInputIsHandledWithoutReadingItAll) {
    scratch_dir dir;
    EXPECT_EQ(run_program(dir, run_setup{repeated_input("0 0 90\n")}).exit_status, 0);
    expect_one_diagnostic(run_program(dir, run_setup{input_path("/dev/zero")}),
                          "contains a NUL byte");
    expect_one_diagnostic(run_program(dir, run_setup{repeated_input("7")}),
                          "longer than 1024 characters");
}

// The rest of the third value's line belongs to this run; the next line is
// left for whatever reads standard input next.
TEST(StandardInput, WhatFollowsTheThirdValuesLineIsLeftUnread) {
    scratch_dir dir;
    const program_run run = run_program(dir, "0 0 500 # rest\nnext\n");
    EXPECT_EQ(run.input_offset, 15);
}

}  // namespace
