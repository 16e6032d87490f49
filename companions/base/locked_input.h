#pragma once

#include <string>

#include "file_identity.h"

// A file the companions read (a contour file, a table of points) opened and
// read under the shared lock a run takes exclusively while it writes its
// contour file: a file that is a contour file is never read while a run is
// part way through it, and a run that starts meanwhile waits until the
// reading is done.

// Opens FILE for reading ("-" is standard input), naming it as messages
// give it (the path, or "standard input") and telling which file it is.
// -1, with "cannot open NAME: ..." in `problem`, when it cannot be opened,
// or with `error_stream_is_input` set when standard error is that very file
// (a line there would land in the file read).
int open_input(const std::string& file, std::string& name, file_identity& identity,
               bool& error_stream_is_input, std::string& problem);

// Whether FILE is standard input: "-", or a name of the very file (pipe,
// terminal, regular file) standard input is, such as /dev/stdin.
bool names_standard_input(const std::string& file);

// Whether two names are one stream that two readers would share: both
// standard input, or one pipe or socket by two names (/dev/fd/3, a FIFO).
bool names_one_stream(const std::string& a, const std::string& b);

// The exit status that ends a command whose input was not taken, after one
// line "PROGRAM: PROBLEM" on standard error; nothing is said when standard
// error is the input itself.
int refuse_input(const char* program, bool error_stream_is_input, const std::string& problem);

// Takes the shared lock on a regular file (identity known), saying first in
// one warning line, under the program's name, when a run holds the file and
// the reader has to wait for it.
void lock_shared(int fd, const file_identity& identity, const std::string& name,
                 const char* program, int diagnostic_fd);

// Ends the reading: closes the file, which releases its lock; standard
// input stays open and its lock is released.
void release_shared(int fd, bool standard_input);
