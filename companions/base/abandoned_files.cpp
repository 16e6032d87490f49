#include "base/abandoned_files.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

// The characters mkstemp puts in place of "XXXXXX".
constexpr std::size_t RANDOM_PART = 6;

// The PID in a name PREFIX PID . XXXXXX, or 0 for any other name.
pid_t owner_of(std::string_view name, std::string_view prefix) {
    if (name.substr(0, prefix.size()) != prefix) {
        return 0;
    }
    name.remove_prefix(prefix.size());
    const std::size_t dot = name.find('.');
    // At most 9 digits: every PID, and no overflow.
    if (dot == std::string_view::npos || dot == 0 || dot > 9 ||
        name.size() != dot + 1 + RANDOM_PART ||
        name.substr(0, dot).find_first_not_of("0123456789") != std::string_view::npos) {
        return 0;
    }
    return static_cast<pid_t>(std::stol(std::string(name.substr(0, dot))));
}

}  // namespace

std::string own_name_pattern(const std::string& directory, std::string_view prefix) {
    return directory + "/" + std::string(prefix) + std::to_string(::getpid()) + ".XXXXXX";
}

void remove_abandoned(const std::string& directory, std::string_view prefix) {
    DIR* listing = ::opendir(directory.c_str());
    if (listing == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(listing)) {
        const pid_t owner = owner_of(entry->d_name, prefix);
        const std::string path = directory + "/" + entry->d_name;
        struct stat info {};
        if (owner > 0 && ::lstat(path.c_str(), &info) == 0 &&
            (S_ISDIR(info.st_mode) || S_ISREG(info.st_mode)) && info.st_uid == ::geteuid() &&
            ::kill(owner, 0) != 0 && errno == ESRCH) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }
    ::closedir(listing);
}
