#pragma once

// Exit statuses of every command, the program and its companions alike.

// The work is done.
inline constexpr int EXIT_STATUS_OK = 0;

// Refused as given: the input, the arguments or a file read is not what the
// command takes. Nothing was written and no file was touched.
inline constexpr int EXIT_STATUS_REFUSED = 1;

// The work could not be completed: a file or stream could not be read or
// written (or, for the map, GMT failed). Whatever was there before is kept,
// but for the program's contour file, which is left ending in a whole line.
inline constexpr int EXIT_STATUS_FAILED = 2;
