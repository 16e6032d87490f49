#pragma once

#include <string>

#include "libm_family.h"

// Path of a file of a stored run of the running family (known families only).
std::string stored_run_path(const std::string& run, const std::string& file);

// Expects `actual` to equal a file of a stored run of the running family.
// On a C library of neither family the comparison is skipped: the test is
// reported skipped with one line saying what differed, and the rest of it
// still runs.
void expect_stored_run(const std::string& actual, const std::string& run,
                       const std::string& file);
