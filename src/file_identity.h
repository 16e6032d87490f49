#pragma once

#include <sys/stat.h>
#include <sys/types.h>

// A regular file as the file system knows it, so that a command can tell
// when two names or descriptors are the same file. Only regular files are
// told apart: a device such as /dev/null may stand for any number of them.
struct file_identity {
    bool known = false;  // false for anything but a regular file
    dev_t device = 0;
    ino_t inode = 0;
};

inline file_identity identity_of(const struct stat& info) {
    if (!S_ISREG(info.st_mode)) {
        return {};
    }
    return {true, info.st_dev, info.st_ino};
}

// A pipe or a socket: what one reader takes, another does not see.
inline bool is_stream(const struct stat& info) {
    return S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode);
}

inline bool same_file(const file_identity& a, const file_identity& b) {
    return a.known && b.known && a.device == b.device && a.inode == b.inode;
}

// The file an open descriptor refers to (not known unless a regular file).
inline file_identity identity_of_descriptor(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 ? identity_of(info) : file_identity{};
}
