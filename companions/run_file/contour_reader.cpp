#include "run_file/contour_reader.h"

#include <cstring>
#include <optional>

#include "base/blanks.h"
#include "base/shortest_digits.h"
#include "line_layout.h"
#include "record_writer.h"
#include "run_file/distance_check.h"
#include "run_file/record_reader.h"
#include "run_file/solved_points.h"
#include "sphere/azimuth_cal.h"
#include "sphere/dist_calculation.h"

namespace {

constexpr std::string_view SEPARATOR{" >"};

std::string ring_name(std::int32_t grid_dist) {
    return grid_dist == 0 ? "the centre ring" : "ring " + std::to_string(grid_dist);
}

// The same point and distance check, bit for bit.
bool same_record(const contour_position& a, const contour_position& b) {
    return std::memcmp(&a.lon, &b.lon, sizeof a.lon) == 0 &&
           std::memcmp(&a.lat, &b.lat, sizeof a.lat) == 0 && a.dist_check == b.dist_check;
}

// A measurement as a message gives it: the shortest text of the single.
std::string shortest_text(float value) {
    char text[SHORTEST_TEXT_SIZE];
    return std::string(text, write_shortest_real(text, value));
}

}  // namespace

// Takes the lines of a contour file one by one and builds the run,
// checking each line against what a whole run has at that place.
class run_builder {
public:
    run_builder(contour_run& run, resolution_source source)
        : run_(run), records_alone_(source == resolution_source::records) {
        run_.dist_step = 0;
        run_.rings.clear();
        for (int az = 0; az < RING_POSITIONS; ++az) {
            azimuth_items_[az] = make_real_item(static_cast<float>(az));
        }
        for (std::int32_t dist = 0; dist <= LAST_RING_DIST; ++dist) {
            distance_items_[dist] = make_integer_item(dist);
        }
    }

    // A record in the middle of a ring beyond the centre, as nearly every
    // record is (see read_usual_record), whose check holds: taken at once,
    // as take_record would take it. False, with nothing changed, for any
    // other line, which take then takes or refuses with its reason.
    bool take_usual_record(std::string_view line) {
        if (run_.rings.empty() || ring_closed_ || next_az_ >= RING_POSITIONS) {
            return false;
        }
        contour_ring& ring = run_.rings.back();
        const auto az = static_cast<std::size_t>(next_az_);
        contour_position position{};
        std::int32_t measured = 0;
        if (ring.grid_dist == 0 ||
            !read_usual_record(line, distance_items_[ring.grid_dist], azimuth_items_[az],
                               position)) {
            return false;
        }
        position.dist_check = ring.grid_dist;
        // With the records alone, the point the solver finds at the position
        // and the ring's check, as the usual record has it, are the run's
        // own: it is the point the run accepted, within 0.01 degree of the
        // ring, so its check holds; measuring it again is spared.
        if (records_alone_ ? !resolution_shown(position)
                           : !distance_check_.holds(position, measured)) {
            return false;
        }
        ring.positions[az] = position;
        ++next_az_;
        return true;
    }

    // False, with what was expected, when the line cannot come next.
    bool take(std::string_view line, std::string& expected) {
        if (line == SEPARATOR) {
            return take_separator(expected);
        }
        if (line.size() != contour_record::length) {
            expected = "a contour record (75 characters) or the separator \" >\"";
            return false;
        }
        return take_record(line, expected);
    }

    // False, with what was expected, when the run is not whole at the end.
    bool finish(std::string& expected) const {
        if (run_.rings.empty()) {
            expected = "the centre ring, not an empty file (a run with a negative step "
                       "leaves one, and so does a run ended or failed before its first line)";
            return false;
        }
        const std::int32_t grid_dist = run_.rings.back().grid_dist;
        if (next_az_ < RING_POSITIONS) {
            expected = "the rest of " + ring_name(grid_dist) + ", but the file ends after " +
                       std::to_string(next_az_) + " of 361 records (a run cut short)";
            return false;
        }
        if (!ring_closed_) {
            expected = "the separator \" >\" closing " + ring_name(grid_dist) +
                       ", but the file ends (a run cut short)";
            return false;
        }
        if (run_.dist_step > 0 && grid_dist + run_.dist_step <= LAST_RING_DIST) {
            expected = "ring " + std::to_string(grid_dist + run_.dist_step) +
                       " (rings every " + std::to_string(run_.dist_step) + " degrees up to " +
                       std::to_string(LAST_RING_DIST / run_.dist_step * run_.dist_step) +
                       "), but the file ends after ring " + std::to_string(grid_dist) +
                       " (a run cut short)";
            return false;
        }
        return true;
    }

private:
    bool take_separator(std::string& expected) {
        if (run_.rings.empty() || ring_closed_) {
            expected = "a contour record, not a separator";
            return false;
        }
        if (next_az_ < RING_POSITIONS) {
            expected = "the record at azimuth " + std::to_string(next_az_) + " of " +
                       ring_name(run_.rings.back().grid_dist) + ", not a separator after " +
                       std::to_string(next_az_) + " of 361 records";
            return false;
        }
        ring_closed_ = true;
        return true;
    }

    bool take_record(std::string_view line, std::string& expected) {
        contour_position position{};
        std::int32_t grid_dist = 0;
        if (!parse_record(line, position, grid_dist, expected)) {
            return false;
        }
        if (run_.rings.empty() || ring_closed_) {
            if (!open_ring(grid_dist, expected)) {
                return false;
            }
        } else if (next_az_ == RING_POSITIONS) {
            expected = "the separator \" >\" after the 361st record of " +
                       ring_name(run_.rings.back().grid_dist);
            return false;
        }
        contour_ring& ring = run_.rings.back();
        if (grid_dist != ring.grid_dist) {
            expected = "ring distance " + std::to_string(ring.grid_dist) +
                       " throughout the ring, not " + std::to_string(grid_dist);
            return false;
        }
        if (std::memcmp(azimuth_field(line).data(), azimuth_items_[next_az_].chars.data(),
                        REAL_WIDTH) != 0) {
            expected = "azimuth " + std::to_string(next_az_) + " (the records of a ring run "
                       "from azimuth 0 to 360), not \"" +
                       std::string(without_blanks(azimuth_field(line), " ")) +
                       "\"";
            return false;
        }
        if (grid_dist == 0 && !repeats_centre(position)) {
            expected = "the centre itself at every azimuth of the centre ring, with distance "
                       "check 0";
            return false;
        }
        std::int32_t measured = 0;
        if (grid_dist != 0 && !distance_check_.holds(position, measured)) {
            expected = "distance check " + std::to_string(measured) +
                       " (the point's distance from the centre, rounded), not " +
                       std::to_string(position.dist_check);
            return false;
        }
        if (grid_dist != 0 && !resolution_shown(position, &expected)) {
            return false;
        }
        ring.positions[static_cast<std::size_t>(next_az_++)] = position;
        return true;
    }

    // With the records alone to tell which positions were resolved, the
    // record at the next azimuth of a ring beyond the centre either repeats
    // the record before it or holds the point the solver finds there (one
    // of its two candidates; which one the run took, its distance check
    // tells). False, with what was expected when `expected` is given, for
    // any other.
    bool resolution_shown(const contour_position& position, std::string* expected = nullptr) {
        if (!records_alone_) {
            return true;
        }
        const std::size_t r = run_.rings.size() - 1;
        const contour_ring& ring = run_.rings[r];
        const contour_position& before =
            next_az_ > 0 ? ring.positions[static_cast<std::size_t>(next_az_ - 1)]
                         : run_.rings[r - 1].positions[RING_POSITIONS - 1];
        if (same_record(position, before)) {
            return true;
        }
        if (position.dist_check == ring.grid_dist && solved_->holds(position, next_az_)) {
            return true;
        }
        float dist = 0.0f;
        float azimuth = 0.0f;
        const contour_position& centre = run_.rings[0].positions[0];
        dist_calculation(centre.lat, centre.lon, position.lat, position.lon, dist);
        azimuth_cal(centre.lon, centre.lat, position.lon, position.lat, azimuth);
        if (expected != nullptr) {
            const std::string ring_point = "a point of ring " + std::to_string(ring.grid_dist) +
                                           " at azimuth " + std::to_string(next_az_);
            *expected = position.dist_check != ring.grid_dist
                            ? ring_point + " (distance check " + std::to_string(ring.grid_dist) +
                                  ") or the record before it repeated (a position left "
                                  "unresolved), not a point of ring " +
                                  std::to_string(position.dist_check)
                            : ring_point + ", but this point measures back from the centre at "
                                           "distance " + shortest_text(dist) + " and azimuth " +
                                  shortest_text(azimuth < 0.0f ? azimuth + 360.0f : azimuth) +
                                  " (a point moved, copied or swapped?)";
        }
        return false;
    }

    // A ring starts with its record at azimuth 0; ring distances are 0,
    // then the step and its multiples up to 175.
    bool open_ring(std::int32_t grid_dist, std::string& expected) {
        const auto count = static_cast<std::int32_t>(run_.rings.size());
        if (count == 0 && grid_dist != 0) {
            expected = "the centre ring (ring distance 0) first, not ring " +
                       std::to_string(grid_dist);
            return false;
        }
        if (count == 1 && (grid_dist < 1 || grid_dist > LAST_RING_DIST)) {
            expected = "the second ring at a distance from 1 to 175, not " +
                       std::to_string(grid_dist);
            return false;
        }
        if (count >= 2 && count * run_.dist_step > LAST_RING_DIST) {
            expected = "the end of the file after ring " +
                       std::to_string(run_.rings.back().grid_dist) +
                       ", the last of a run with rings every " +
                       std::to_string(run_.dist_step) + " degrees, not ring " +
                       std::to_string(grid_dist) + " (two runs joined?)";
            return false;
        }
        if (count >= 2 && grid_dist != count * run_.dist_step) {
            expected = "ring " + std::to_string(count * run_.dist_step) + " (rings every " +
                       std::to_string(run_.dist_step) + " degrees), not ring " +
                       std::to_string(grid_dist);
            return false;
        }
        if (count == 1) {
            run_.dist_step = grid_dist;
            const contour_position& centre = run_.rings[0].positions[0];
            distance_check_ = distance_check(centre.lon, centre.lat);
            solved_.emplace(centre.lon, centre.lat);
        }
        if (count >= 1) {
            solved_->start_ring(grid_dist);
        }
        run_.rings.push_back({grid_dist, {}, false, {}});
        next_az_ = 0;
        ring_closed_ = false;
        return true;
    }

    // The five items, each exactly as the contour program writes its value.
    bool parse_record(std::string_view line, contour_position& position, std::int32_t& grid_dist,
                      std::string& expected) const {
        const std::int32_t likely = likely_ring_dist();
        std::string problem;
        if (!read_record(line, likely, distance_items_[likely], position, grid_dist, problem)) {
            expected = "a contour record with " + problem +
                       ", written as the contour program writes it";
            return false;
        }
        return true;
    }

    // The ring distance the next record most likely has: its ring's, or the
    // next ring's after a separator.
    std::int32_t likely_ring_dist() const {
        if (run_.rings.empty()) {
            return 0;
        }
        const std::int32_t next = run_.rings.back().grid_dist + run_.dist_step;
        return !ring_closed_ ? run_.rings.back().grid_dist : next <= LAST_RING_DIST ? next : 0;
    }

    bool repeats_centre(const contour_position& position) const {
        const contour_position& centre = run_.rings.back().positions[0];
        const bool first = next_az_ == 0;
        return position.dist_check == 0 &&
               (first || (std::memcmp(&position.lon, &centre.lon, sizeof(float)) == 0 &&
                          std::memcmp(&position.lat, &centre.lat, sizeof(float)) == 0));
    }

    contour_run& run_;
    bool records_alone_;             // whether the records alone tell the resolved positions
    distance_check distance_check_;  // from the centre, once its ring is read
    std::optional<solved_points> solved_;  // around the centre, once its ring is read
    int next_az_ = RING_POSITIONS;
    bool ring_closed_ = true;
    real_item azimuth_items_[RING_POSITIONS];
    integer_item distance_items_[LAST_RING_DIST + 1];
};

contour_reader::contour_reader(contour_run& run, resolution_source source)
    : builder_(std::make_unique<run_builder>(run, source)) {}

contour_reader::~contour_reader() = default;

bool contour_reader::take(std::string_view bytes) {
    if (!expected_.empty()) {
        return false;
    }
    while (!bytes.empty()) {
        // A usual record is known whole by its newline alone: taking it
        // checks every one of its characters, none of them a newline.
        if (partial_.empty() && bytes.size() > contour_record::length &&
            bytes[contour_record::length] == '\n' &&
            builder_->take_usual_record(bytes.substr(0, contour_record::length))) {
            ++line_;
            bytes.remove_prefix(contour_record::size);
            continue;
        }
        const std::size_t newline = bytes.find('\n');
        // A line within the bytes is taken where it lies; one that runs over
        // from the bytes before is gathered first.
        std::string_view whole = bytes.substr(0, newline);
        if (!partial_.empty() || newline == std::string_view::npos) {
            partial_.append(whole);
            whole = partial_;
        }
        if (whole.size() > contour_record::length) {
            builder_->take(whole, expected_);  // too long for any line: refused
            return false;
        }
        if (newline == std::string_view::npos) {
            break;
        }
        if (!builder_->take(whole, expected_)) {
            return false;
        }
        partial_.clear();
        ++line_;
        bytes.remove_prefix(newline + 1);
    }
    return true;
}

bool contour_reader::finish() {
    if (!expected_.empty()) {
        return false;
    }
    if (!partial_.empty()) {
        expected_ = "a whole line, not one cut short without its newline (a run cut short)";
        return false;
    }
    return builder_->finish(expected_);
}

std::string contour_reader::problem(const std::string& name) const {
    return name + ":" + std::to_string(line_) + ": expected " + expected_;
}

bool read_contour_text(std::string_view text, const std::string& name, contour_run& run,
                       std::string& problem, resolution_source source) {
    contour_reader reader(run, source);
    if (reader.take(text) && reader.finish()) {
        return true;
    }
    problem = reader.problem(name);
    return false;
}
