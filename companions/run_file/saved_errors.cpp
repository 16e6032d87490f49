#include "run_file/saved_errors.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "base/read_chunks.h"
#include "contour/nearest_integer.h"
#include "line_layout.h"
#include "open_file.h"
#include "record_writer.h"
#include "sphere/azimuth_cal.h"
#include "sphere/dist_calculation.h"

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

// Degrees within which a point of its own ring measures back at the ring's
// distance and azimuth: the 0.01 the run accepted it with, and a little
// more, so that a file made with another C library's last digits passes.
constexpr float MEASURING_SLACK = 0.011f;

// Whether the record's point measures back from the centre at the ring's
// distance and azimuth, by the rule the run accepted points with (an
// azimuth difference of a whole turn, as the routines give -180..180,
// included). A held point repeated from the azimuth before measures a
// degree off, and so is told apart below azimuth 180; from 180 on the
// whole-turn rule, loose as the run applied it, takes it too (a resolved
// point near a pole passes only by that rule, so it cannot be tightened).
bool measures_as_ring_point(const contour_position& centre, const contour_position& record,
                            std::int32_t grid_dist, int az) {
    float dist = 0.0f;
    float measured_az = 0.0f;
    dist_calculation(centre.lat, centre.lon, record.lat, record.lon, dist);
    azimuth_cal(centre.lon, centre.lat, record.lon, record.lat, measured_az);
    const float az_diff = std::fabs(measured_az - static_cast<float>(az));
    return std::fabs(dist - static_cast<float>(grid_dist)) <= MEASURING_SLACK &&
           (az_diff <= MEASURING_SLACK || nearest_integer(az_diff / 360.0f) == 1);
}

bool same_point(const contour_position& a, const contour_position& b) {
    return std::memcmp(&a.lon, &b.lon, sizeof a.lon) == 0 &&
           std::memcmp(&a.lat, &b.lat, sizeof a.lat) == 0;
}

// The error lines agree with the records: a resolved position's record
// holds a point of its ring (distance check the ring's, and measuring back
// at its distance and azimuth), an unresolved one's repeats the record
// before it. Returns "" or what disagrees.
std::string disagreement(const contour_run& run) {
    const contour_position& centre = run.rings[0].positions[0];
    for (std::size_t r = 1; r < run.rings.size(); ++r) {
        const contour_ring& ring = run.rings[r];
        for (int az = 0; az < RING_POSITIONS; ++az) {
            const contour_position& record = ring.positions[static_cast<std::size_t>(az)];
            const contour_position& before =
                az > 0 ? ring.positions[static_cast<std::size_t>(az - 1)]
                       : run.rings[r - 1].positions[RING_POSITIONS - 1];
            const bool unresolved = ring.unresolved[static_cast<std::size_t>(az)];
            const bool agrees =
                unresolved ? same_point(record, before)
                           : record.dist_check == ring.grid_dist &&
                                 measures_as_ring_point(centre, record, ring.grid_dist, az);
            if (!agrees) {
                return "ring " + std::to_string(ring.grid_dist) + " azimuth " +
                       std::to_string(az) + (unresolved ? " is called unresolved" :
                                                          " is called resolved") +
                       ", but its record says otherwise";
            }
        }
    }
    return "";
}

}  // namespace

bool read_saved_errors(const std::string& file, contour_run& run, file_identity& identity,
                       std::string& problem) {
    const int fd = open_file(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        problem = "cannot open " + file + ": " + std::strerror(errno);
        return false;
    }
    identity = identity_of_descriptor(fd);
    std::string text;
    const int error_number = read_chunks(fd, [&text](std::string_view bytes) {
        text.append(bytes);
        return text.size() <= LONGEST_FILE;  // beyond it, no run's: refused below
    });
    ::close(fd);
    if (error_number != 0) {
        problem = "cannot read " + file + ": " + std::strerror(error_number);
        return false;
    }
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
    const std::string wrong = disagreement(run);
    if (!wrong.empty()) {
        problem = file + ": the error lines are not this contour file's: " + wrong;
        return false;
    }
    return true;
}
