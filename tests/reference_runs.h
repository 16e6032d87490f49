#pragma once

#include <string>

// The stored reference runs come in two families, because the last digits
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

// Path of a file of a stored run of the running family (known families only).
std::string stored_run_path(const std::string& run, const std::string& file);

// Expects `actual` to equal a file of a stored run of the running family.
// On a C library of neither family the comparison is skipped: the test is
// reported skipped with one line saying what differed, and the rest of it
// still runs.
void expect_stored_run(const std::string& actual, const std::string& run,
                       const std::string& file);
