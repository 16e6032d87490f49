#pragma once

#include <string>
#include <sys/stat.h>

#include "file_identity.h"

// The one rule for everything a command writes:
// - never the contour file it reads, never another of its own outputs, never
//   a directory;
// - a file is written whole or not at all: into a new file beside it, which
//   is renamed over it only once complete, so that a failure or a stop
//   leaves what was there before. A file that exists keeps its mode and
//   owner, and one the command may not write is refused, as cp refuses it,
//   as is one whose owner a new file could not be given (another user's
//   file in a directory the command may write).
//   A symbolic link is followed and its target written, as cp does, even
//   when the target does not exist yet. A device, pipe or socket
//   (/dev/null), and a descriptor the command was given (/dev/stdout,
//   /dev/fd/N, /proc/self/fd/N, also through links), is a stream: written
//   as it is, in order, never replaced by a rename;
// - every output is opened and checked before anything is written, so that
//   a failure is reported before anything is replaced;
// - standard output is checked the same way: never the file read.
// Every check says what is wrong in one line.

class output_file {
public:
    // `program` names the new file beside the output: ".PROGRAM.XXXXXX";
    // an output that does not exist yet is made with `new_file_mode`.
    output_file(const char* program, mode_t new_file_mode)
        : program_(program), new_file_mode_(new_file_mode) {}
    // Removes the new file unless it was renamed over the output.
    ~output_file() { discard(); }
    output_file(const output_file&) = delete;
    output_file& operator=(const output_file&) = delete;

    // Checks PATH and makes the new file to write into. False, with why.
    bool open(const std::string& path, std::string& problem);
    // Where to write; -1 before open() and after commit().
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    // The new file beside the output until it is put in place; "" for a
    // stream and before open().
    const std::string& new_file() const { return temporary_; }
    // Puts the new file in the output's place. False, with why, and the
    // output left as it was, when it could not be completed.
    bool commit(std::string& problem);
    // The two steps of commit(): everything that can fail (the data on
    // disk, the close), then the rename, so that several outputs are
    // renamed only once all are complete.
    bool complete(std::string& problem);
    bool put_in_place(std::string& problem);
    // Removes the new file, if any, leaving the output as it was.
    void discard();

    // Refuses the output when it is a file read ("the contour file", say,
    // as `input_kind`), or the same as `other`.
    bool clear_of_input(const file_identity& input, const char* input_kind,
                        std::string& problem) const;
    bool clear_of(const output_file& other, std::string& problem) const;

private:
    bool check_target(std::string& problem);
    bool check_descriptor(int descriptor, std::string& problem);
    bool take_over_mode_and_owner(std::string& problem);

    const char* program_;
    mode_t new_file_mode_;
    std::string path_;          // as given
    std::string target_;        // the file replaced: path_, or its link's target
    std::string destination_;   // target_ with its directory resolved, to compare outputs
    std::string temporary_;     // the new file, "" when there is none
    bool exists_ = false;
    bool regular_ = true;       // false for a stream, written directly
    int descriptor_ = -1;       // the command's descriptor that is the output, or -1
    struct stat existing_ {};
    int fd_ = -1;
};

// Completes every output, then puts each in place: none is replaced unless
// all could be written.
bool commit_together(output_file& first, output_file* second, std::string& problem);

// Refuses standard output when it is the file read: the output would
// overwrite its own input.
bool standard_output_clear_of_input(const file_identity& input, const std::string& input_name,
                                    std::string& problem);
