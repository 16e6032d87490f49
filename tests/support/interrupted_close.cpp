// Preloaded into the program by a test: every close of a descriptor above
// the standard ones releases it, as Linux does, and then reports EINTR, as
// an interrupted close on some file systems does.

#include <cerrno>
#include <dlfcn.h>

extern "C" int close(int fd) {
    using close_function = int (*)(int);
    static const auto real_close = reinterpret_cast<close_function>(dlsym(RTLD_NEXT, "close"));
    const int result = real_close(fd);
    if (result == 0 && fd > 2) {
        errno = EINTR;
        return -1;
    }
    return result;
}
