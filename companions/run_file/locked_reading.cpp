#include "run_file/locked_reading.h"

#include <cstring>
#include <string_view>
#include <unistd.h>

#include "base/command_frame.h"
#include "base/locked_input.h"
#include "base/read_chunks.h"
#include "run_file/contour_reader.h"
#include "run_file/saved_errors.h"

namespace {

bool read_all(int fd, const run_file& file, contour_reader& reader, std::string& problem) {
    bool taken = true;
    const int error = read_chunks(fd, [&](std::string_view bytes) {
        taken = reader.take(bytes);
        return taken;
    });
    if (error != 0) {
        problem = "cannot read " + file.name + ": " + std::strerror(error);
        return false;
    }
    if (!taken || !reader.finish()) {
        problem = reader.problem(file.name);
        return false;
    }
    return true;
}

// Reads the contour file itself under its lock.
bool read_contour_file(const std::string& file, resolution_source source, const char* program,
                       int diagnostic_fd, run_file& result, std::string& problem) {
    const bool standard_input = file == "-";
    const int fd =
        open_input(file, result.name, result.identity, result.error_stream_is_file, problem);
    if (fd < 0) {
        return false;
    }
    lock_shared(fd, result.identity, result.name, program, diagnostic_fd);
    contour_reader reader(result.run, source);
    const bool whole = read_all(fd, result, reader, problem);
    release_shared(fd, standard_input);
    return whole;
}

}  // namespace

bool read_run_file(const std::string& file, const std::string& errors, const char* program,
                   int diagnostic_fd, run_file& result, std::string& problem) {
    if (errors.empty()) {
        return read_contour_file(file, resolution_source::records, program, diagnostic_fd,
                                 result, problem);
    }
    // Refused before either is read: a stream of error lines is read whole
    // at once, and standard input with it.
    if (names_one_stream(errors, file)) {
        problem = names_standard_input(errors) && names_standard_input(file)
                      ? "the contour file and the error lines (" + errors +
                            ") cannot both be standard input"
                      : "the contour file and the error lines are one stream (" + file +
                            " and " + errors + ")";
        return false;
    }
    saved_errors saved;
    if (!saved.open(errors, problem)) {
        result.error_stream_is_file = saved.error_stream_is_input();
        return false;
    }
    if (!read_contour_file(file, resolution_source::error_lines, program, diagnostic_fd, result,
                           problem) ||
        !saved.apply(result.run, result.name, problem)) {
        return false;
    }
    result.errors_identity = saved.identity();
    return true;
}

int refuse_run_file(const char* program, const run_file& file, const std::string& problem) {
    return refuse_input(program, file.error_stream_is_file, problem);
}
