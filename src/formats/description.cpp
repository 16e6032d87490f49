#include "formats/description.h"

#include <charconv>

namespace {

// The shortest text that reads back as the same single, as put_real writes it.
std::string real_text(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

}  // namespace

std::string description_text(const contour_run& run) {
    const contour_position& centre = run.rings[0].positions[0];
    return "Rings of equal great-circle distance (degrees) on a sphere around " +
           real_text(centre.lon) + ", " + real_text(centre.lat);
}

void put_description(const contour_run& run, text_output& out) {
    out.put(description_text(run));
}
