#include "base/output_rule.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

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

// Where a symbolic link at `path` leads, followed link by link (at most
// as many as the system follows), also to a target that does not exist
// yet; `path` itself when it is no link.
std::string link_target(const std::string& path) {
    std::string target = path;
    for (int links = 0; links < 40; ++links) {
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
    return target;
}

}  // namespace

bool output_file::check_target(std::string& problem) {
    if (path_.empty() || path_ == "-") {
        problem = "\"" + path_ + "\" is not a file name";
        return false;
    }
    target_ = link_target(path_);
    exists_ = ::stat(target_.c_str(), &existing_) == 0;
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
    if (!check_target(problem)) {
        return false;
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
    std::string temporary = directory_of(target_) + "/." + program_ + ".XXXXXX";
    fd_ = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd_ < 0) {
        problem = cannot_write(path_, errno);
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
    const bool same = exists_ && other.exists_
                          ? same_file(identity_of(existing_), identity_of(other.existing_))
                          : destination_ == other.destination_;
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
