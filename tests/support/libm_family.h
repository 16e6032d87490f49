#pragma once

#include <string>

// The stored reference data come in two families, because the last digits
// of a run follow the C library's single-precision arcsine, arccosine and
// two-argument arctangent: glibc up to 2.40 ("classic") and glibc 2.41 on,
// where they are correctly rounded. The family of the running C library is
// told by its results, never by a version string.
struct libm_family {
    bool known;
    std::string directory;    // under the test data directory; empty if unknown
    std::string description;  // the family, or what matched neither
};

// The family of the C library this process runs on, probed once.
const libm_family& running_libm_family();

// Path of a file of the running family's reference data (known families
// only), e.g. "routine-vectors.tsv" or "lon0_lat0_step10/input.txt".
std::string family_data_path(const std::string& file);
