#pragma once

#include <string>
#include <string_view>

// What a command makes for itself beside its outputs or in TMPDIR is named
// PREFIX, its PID, a dot and 6 characters of mkstemp's, so that what a
// command ended at once left behind (SIGKILL between making a file and
// naming it to whoever would remove it) can be told and removed later.

// PREFIX, this process's PID and a dot, then "XXXXXX" for mkstemp.
std::string own_name_pattern(const std::string& directory, std::string_view prefix);

// Removes from `directory` what such a name calls abandoned: files and
// directories (with all they hold) named PREFIX PID . XXXXXX, of this
// user, whose PID runs no process. Links and other users' files are left
// alone.
void remove_abandoned(const std::string& directory, std::string_view prefix);
