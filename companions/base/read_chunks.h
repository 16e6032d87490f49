#pragma once

#include <functional>
#include <string_view>

// The one read loop of the companion commands: the descriptor's bytes to
// its end, handed over in pieces of up to 64 KiB as they come, going on
// after calls interrupted by a signal unless `stopped` (when given) says
// the signal asked the command to stop. `take` returns false to stop early.
// Returns 0, or the error number of a read that failed (EINTR for one
// interrupted by a stop).
int read_chunks(int fd, const std::function<bool(std::string_view)>& take,
                bool (*stopped)() = nullptr);
