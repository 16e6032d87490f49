#include "run_file/saved_errors.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

#include "base/read_chunks.h"
#include "line_layout.h"
#include "open_file.h"
#include "record_writer.h"
#include "run_file/solved_points.h"

namespace {

// Every position of the longest run unresolved: 176 rings of 361 lines of
// 41 bytes. A longer file is no run's error lines.
constexpr std::size_t LONGEST_FILE = 176 * RING_POSITIONS * error_line::size;

// The position an error line names: the index of its ring in the run and
// its azimuth. False when the line is not one the run could have written.
bool position_of(std::string_view line, const contour_run& run, std::size_t& ring, int& az) {
    if (line.size() != error_line::length) {
        return false;
    }
    const float dist = std::strtof(std::string(line.substr(7, REAL_WIDTH)).c_str(), nullptr);
    const float azimuth = std::strtof(std::string(line.substr(24, REAL_WIDTH)).c_str(), nullptr);
    if (!(azimuth >= 0.0f && azimuth <= static_cast<float>(LAST_AZIMUTH)) || run.dist_step <= 0 ||
        !(dist > 0.0f && dist <= static_cast<float>(LAST_RING_DIST))) {
        return false;
    }
    const auto grid_dist = static_cast<std::int32_t>(dist);
    az = static_cast<int>(azimuth);
    ring = static_cast<std::size_t>(grid_dist / run.dist_step);
    const error_line written =
        make_error_line(static_cast<float>(grid_dist), static_cast<float>(az));
    return grid_dist % run.dist_step == 0 && ring < run.rings.size() &&
           line == std::string_view(written.chars.data(), error_line::length);
}

bool same_point(const contour_position& a, const contour_position& b) {
    return std::memcmp(&a.lon, &b.lon, sizeof a.lon) == 0 &&
           std::memcmp(&a.lat, &b.lat, sizeof a.lat) == 0;
}

// The error lines agree with the records: a resolved position's record
// holds the point the solver finds there (solved_points) and the ring's
// distance check, an unresolved one's repeats the record before it.
// Returns "" or, after the record's line, what disagrees.
std::string disagreement(const contour_run& run, const std::string& contour_name) {
    const contour_position& centre = run.rings[0].positions[0];
    solved_points solved(centre.lon, centre.lat);
    for (std::size_t r = 1; r < run.rings.size(); ++r) {
        const contour_ring& ring = run.rings[r];
        solved.start_ring(ring.grid_dist);
        for (int az = 0; az < RING_POSITIONS; ++az) {
            const contour_position& record = ring.positions[static_cast<std::size_t>(az)];
            const contour_position& before =
                az > 0 ? ring.positions[static_cast<std::size_t>(az - 1)]
                       : run.rings[r - 1].positions[RING_POSITIONS - 1];
            const bool unresolved = ring.unresolved[static_cast<std::size_t>(az)];
            const bool agrees = unresolved ? same_point(record, before)
                                           : record.dist_check == ring.grid_dist &&
                                                 solved.holds(record, az);
            if (!agrees) {
                return contour_name + ":" + std::to_string(record_line(r, az)) + ": ring " +
                       std::to_string(ring.grid_dist) + " azimuth " + std::to_string(az) +
                       (unresolved ? " is called unresolved, but its record does not repeat "
                                     "the one before it"
                                   : " is called resolved, but its record holds no point of "
                                     "that ring and azimuth");
            }
        }
    }
    return "";
}

}  // namespace

saved_errors::~saved_errors() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool saved_errors::open(const std::string& file, std::string& problem) {
    name_ = file == "-" ? "standard input" : file;
    fd_ = file == "-" ? ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0)
                      : open_file(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        problem = "cannot open " + name_ + ": " + std::strerror(errno);
        return false;
    }
    identity_ = identity_of_descriptor(fd_);
    error_stream_is_input_ = same_file(identity_, identity_of_descriptor(STDERR_FILENO));
    if (error_stream_is_input_) {
        problem = "standard error is " + name_ + " itself";
        return false;
    }
    return identity_.known || read_rest(problem);
}

bool saved_errors::read_rest(std::string& problem) {
    if (fd_ < 0) {
        return true;
    }
    const int error_number = read_chunks(fd_, [this](std::string_view bytes) {
        text_.append(bytes);
        return text_.size() <= LONGEST_FILE;  // beyond it, no run's: refused below
    });
    ::close(fd_);
    fd_ = -1;
    if (error_number != 0) {
        problem = "cannot read " + name_ + ": " + std::strerror(error_number);
        return false;
    }
    return true;
}

bool saved_errors::apply(contour_run& run, const std::string& contour_name,
                         std::string& problem) {
    if (!read_rest(problem)) {
        return false;
    }
    const std::string& text = text_;
    const std::string& file = name_;
    for (contour_ring& ring : run.rings) {
        ring.resolution_known = true;
        ring.unresolved.reset();
    }
    std::size_t line_number = 1;
    std::size_t last = 0;  // the last position named, counted over the run
    for (std::size_t start = 0; start < text.size(); ++line_number) {
        const std::size_t end = text.find('\n', start);
        std::size_t ring = 0;
        int az = 0;
        if (end == std::string::npos ||
            !position_of(std::string_view(text).substr(start, end - start), run, ring, az) ||
            ring * RING_POSITIONS + static_cast<std::size_t>(az) < last) {
            problem = file + ":" + std::to_string(line_number) +
                      ": expected an error line of this run, \" error D A\" with D a ring "
                      "distance and A an azimuth after the line before, as the run writes it";
            return false;
        }
        last = ring * RING_POSITIONS + static_cast<std::size_t>(az) + 1;
        run.rings[ring].unresolved.set(static_cast<std::size_t>(az));
        start = end + 1;
    }
    const std::string wrong = disagreement(run, contour_name);
    if (!wrong.empty()) {
        problem = file + ": the error lines are not this contour file's: " + wrong;
        return false;
    }
    return true;
}
