// Preloaded into the program by a test: every write to a file other than
// the standard streams takes at most 1000 bytes, as a write to a slow or
// nearly full device can, so a run's writes are mostly in progress, and a
// line is cut in two unless the program makes it whole again.

#include <dlfcn.h>
#include <sys/types.h>

extern "C" ssize_t write(int fd, const void* buffer, size_t count) {
    using write_function = ssize_t (*)(int, const void*, size_t);
    static const auto real_write = reinterpret_cast<write_function>(dlsym(RTLD_NEXT, "write"));
    constexpr size_t PIECE = 1000;  // not a multiple of any line's length
    return real_write(fd, buffer, fd > 2 && count > PIECE ? PIECE : count);
}
