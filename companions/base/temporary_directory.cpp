#include "base/temporary_directory.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

std::string temporary_base() {
    const char* tmpdir = std::getenv("TMPDIR");
    if (tmpdir != nullptr && *tmpdir != '\0') {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::absolute(tmpdir, error);
        if (!error && std::filesystem::is_directory(base, error)) {
            return base.string();
        }
    }
    return "/tmp";
}

int nameless_temporary_file(const char* program) {
    std::string name = temporary_base() + "/" + program + ".XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) {
        ::unlink(name.c_str());
    }
    return fd;
}
