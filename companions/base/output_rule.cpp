#include "base/output_rule.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "base/abandoned_files.h"

namespace {

std::string directory_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string base_name_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path with symbolic links and dots resolved, or "" when it is missing.
std::string resolved(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) != nullptr ? std::string(buffer) : std::string();
}

std::string cannot_write(const std::string& path, int error_number) {
    return "cannot write " + path + ": " + std::strerror(error_number);
}

}  // namespace

namespace {

// The descriptor of this command that a path names as /dev/fd/N,
// /proc/self/fd/N or /proc/PID/fd/N with its own PID (its directory
// resolved, so each form is found however it is reached); -1 for any other.
int descriptor_named(const std::string& path) {
    const std::string name = base_name_of(path);
    // At most 9 digits: every descriptor number, and no overflow.
    if (name.empty() || name.size() > 9 ||
        name.find_first_not_of("0123456789") != std::string::npos) {
        return -1;
    }
    const std::string own = "/proc/" + std::to_string(::getpid()) + "/fd";
    return resolved(directory_of(path)) == own ? std::atoi(name.c_str()) : -1;
}

// Where a path leads: symbolic links followed link by link (at most as
// many as the system follows), also to a target that does not exist yet;
// `path` itself when it is no link. A step that names a descriptor of the
// command (/dev/stdout leads to /proc/self/fd/1) ends the way there: the
// descriptor is the output.
struct link_end {
    std::string target;
    int descriptor;  // -1 unless the way ends at a descriptor
};

link_end follow_links(const std::string& path) {
    std::string target = path;
    for (int links = 0; links < 40; ++links) {
        const int descriptor = descriptor_named(target);
        if (descriptor >= 0) {
            return {target, descriptor};
        }
        struct stat info {};
        char buffer[PATH_MAX];
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            break;
        }
        const ssize_t length = ::readlink(target.c_str(), buffer, sizeof buffer);
        if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) {
            break;
        }
        const std::string leads_to(buffer, static_cast<std::size_t>(length));
        target = leads_to[0] == '/' ? leads_to : directory_of(target) + "/" + leads_to;
    }
    return {target, -1};
}

}  // namespace

// An output that is a descriptor the command was given: written as a
// stream, at the descriptor's own offset (appended, after ">>"), never
// replaced.
bool output_file::check_descriptor(int descriptor, std::string& problem) {
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fstat(descriptor, &existing_) != 0) {
        problem = cannot_write(path_, errno);
        return false;
    }
    if ((flags & O_ACCMODE) == O_RDONLY) {
        problem = cannot_write(path_, EBADF);
        return false;
    }
    exists_ = true;
    regular_ = false;
    descriptor_ = descriptor;
    destination_ = "/proc/self/fd/" + std::to_string(descriptor);
    return true;
}

bool output_file::check_target(std::string& problem) {
    if (path_.empty() || path_ == "-") {
        problem = "\"" + path_ + "\" is not a file name";
        return false;
    }
    const link_end end = follow_links(path_);
    target_ = end.target;
    if (end.descriptor >= 0) {
        return check_descriptor(end.descriptor, problem);
    }
    exists_ = ::stat(target_.c_str(), &existing_) == 0;
    if (!exists_ && errno == ELOOP) {
        problem = cannot_write(path_, ELOOP);  // links that lead round in a circle
        return false;
    }
    if (exists_ && S_ISDIR(existing_.st_mode)) {
        problem = path_ + ": is a directory; give a file name";
        return false;
    }
    regular_ = !exists_ || S_ISREG(existing_.st_mode);
    if (exists_ && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) {
        problem = cannot_write(path_, errno);
        return false;
    }
    const std::string directory = resolved(directory_of(target_));
    struct stat directory_info {};
    if (directory.empty() || ::stat(directory.c_str(), &directory_info) != 0 ||
        !S_ISDIR(directory_info.st_mode)) {
        problem = directory_of(target_) + ": no such directory for " + path_;
        return false;
    }
    const std::string name = base_name_of(target_);
    if (name.size() > NAME_MAX) {
        problem = cannot_write(path_, ENAMETOOLONG);
        return false;
    }
    destination_ = directory + "/" + name;
    return true;
}

bool output_file::open(const std::string& path, std::string& problem) {
    discard();
    path_ = path;
    descriptor_ = -1;
    if (!check_target(problem)) {
        return false;
    }
    if (descriptor_ >= 0) {
        fd_ = ::fcntl(descriptor_, F_DUPFD_CLOEXEC, 0);
        if (fd_ < 0) {
            problem = cannot_write(path_, errno);
            return false;
        }
        return true;
    }
    if (!regular_) {
        // Not retried when interrupted: opening a pipe waits for a reader,
        // and a signal that stops the command ends the wait.
        fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd_ < 0) {
            problem = cannot_write(path_, errno);
            return false;
        }
        return true;
    }
    // Named for this process, so that one abandoned by a command ended at
    // once is removed by the next.
    const std::string prefix = std::string(".") + program_ + ".";
    remove_abandoned(directory_of(target_), prefix);
    std::string temporary = own_name_pattern(directory_of(target_), prefix);
    fd_ = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd_ < 0) {
        // The file itself may be writable: its directory is what refuses.
        problem = "cannot write " + path_ + ": cannot make a file in " + directory_of(target_) +
                  " (" + std::strerror(errno) +
                  "), where the output is written whole before it takes its place";
        return false;
    }
    temporary_ = temporary;
    return take_over_mode_and_owner(problem);
}

// The new file gets the mode and owner of the file it replaces, or a new
// file's mode.
bool output_file::take_over_mode_and_owner(std::string& problem) {
    const mode_t mode = exists_ ? existing_.st_mode & 07777 : new_file_mode_;
    struct stat made {};
    if (exists_ && ::fstat(fd_, &made) == 0 &&
        (made.st_uid != existing_.st_uid || made.st_gid != existing_.st_gid) &&
        ::fchown(fd_, existing_.st_uid, existing_.st_gid) != 0) {
        problem = "cannot write " + path_ + ": its owner and group could not be kept (" +
                  std::strerror(errno) + ")";
        discard();
        return false;
    }
    // After the owner: changing it clears the set-user-ID and set-group-ID bits.
    if (::fchmod(fd_, mode) != 0) {
        problem = cannot_write(path_, errno);
        discard();
        return false;
    }
    return true;
}

bool output_file::commit(std::string& problem) {
    return complete(problem) && put_in_place(problem);
}

bool output_file::complete(std::string& problem) {
    if (fd_ < 0) {
        problem = cannot_write(path_, EBADF);
        return false;
    }
    int error = regular_ && ::fsync(fd_) != 0 ? errno : 0;
    // A close interrupted by a signal has still released the descriptor.
    if (::close(fd_) != 0 && errno != EINTR && error == 0) {
        error = errno;
    }
    fd_ = -1;
    if (error != 0) {
        problem = cannot_write(path_, error);
        discard();
        return false;
    }
    return true;
}

bool output_file::put_in_place(std::string& problem) {
    if (regular_ && ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        problem = cannot_write(path_, errno);
        discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void output_file::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool output_file::clear_of_input(const file_identity& input, const char* input_kind,
                                 std::string& problem) const {
    if (exists_ && same_file(input, identity_of(existing_))) {
        problem = path_ + ": is " + input_kind + " itself";
        return false;
    }
    return true;
}

bool output_file::clear_of(const output_file& other, std::string& problem) const {
    // Two names of one pipe or socket would mix what goes into it; a
    // device such as /dev/null may take any number of outputs.
    const bool same_stream = exists_ && other.exists_ && is_stream(existing_) &&
                             existing_.st_dev == other.existing_.st_dev &&
                             existing_.st_ino == other.existing_.st_ino;
    const bool same = same_stream ||
                      (exists_ && other.exists_
                           ? same_file(identity_of(existing_), identity_of(other.existing_))
                           : destination_ == other.destination_);
    if (same) {
        problem = path_ + ": is the same file as " + other.path_;
        return false;
    }
    return true;
}

bool commit_together(output_file& first, output_file* second, std::string& problem) {
    return first.complete(problem) && (second == nullptr || second->complete(problem)) &&
           first.put_in_place(problem) && (second == nullptr || second->put_in_place(problem));
}

bool standard_output_clear_of_input(const file_identity& input, const std::string& input_name,
                                    std::string& problem) {
    if (same_file(input, identity_of_descriptor(STDOUT_FILENO))) {
        problem = "standard output is " + input_name +
                  " itself; writing to it would destroy the file being read";
        return false;
    }
    return true;
}
