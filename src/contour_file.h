#pragma once

#include "line_channel.h"
#include "line_layout.h"
#include "run_grid.h"

// The contour file, from opening to closing. It is opened without
// truncating it and emptied just before the first line goes in, so a run
// that writes nothing leaves an existing file as it was, and one that
// writes holds only its own lines. Whatever goes wrong, the file ends in a
// whole line. Failures are reported on the diagnostic descriptor.
class contour_file {
public:
    explicit contour_file(int diagnostic_fd) : diagnostic_fd_(diagnostic_fd) {}
    // Finishes the file if the run did not: nothing buffered is lost and
    // the descriptor is closed on every path.
    ~contour_file() {
        if (channel_.fd() >= 0 && !finished_) {
            finish();
        }
    }
    contour_file(const contour_file&) = delete;
    contour_file& operator=(const contour_file&) = delete;

    // Opens the file and takes an exclusive lock on it, waiting while
    // another run holds it, so that runs in one directory take turns.
    // Refuses, before anything is written, when `output_fd` (where the
    // error lines go) is this same file. False, reported, on failure.
    bool open(int output_fd);

    template <std::size_t Length>
    void write(const text_line<Length>& line) {
        if (!emptied_) {
            empty();
        }
        channel_.write(line);
    }

    bool failed() const { return channel_.failed(); }

    // Writes out what is buffered and closes the file, once. After a failed
    // write the file is cut back to its last whole line. False, reported,
    // when a write or the close failed.
    bool finish();

private:
    void empty();
    void cut_back_to_whole_lines();

    int diagnostic_fd_;
    bool emptied_ = false;
    bool finished_ = false;
    bool regular_ = false;
    line_channel channel_{-1};
};
