#include "formats/description.h"

void put_description(const contour_run& run, text_output& out) {
    const contour_position& centre = run.rings[0].positions[0];
    out.put("Rings of equal great-circle distance (degrees) on a sphere around ");
    out.put_real(centre.lon);
    out.put(", ");
    out.put_real(centre.lat);
}
