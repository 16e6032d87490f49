// Preloaded into the program by a test: every write to a file other than
// the standard streams takes at most 1000 bytes, as a write to a slow or
// nearly full device can, so a run's writes are mostly in progress, and a
// line is cut in two unless the program makes it whole again. With
// STOP_AT_WRITE=N in the environment, the Nth of them stops the process
// once its piece is written: a signal the test sends then, before it lets
// the process continue, lands in the middle of the write.

#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <sys/types.h>

extern "C" ssize_t write(int fd, const void* buffer, size_t count) {
    using write_function = ssize_t (*)(int, const void*, size_t);
    static const auto real_write = reinterpret_cast<write_function>(dlsym(RTLD_NEXT, "write"));
    static const char* const stop_at = std::getenv("STOP_AT_WRITE");
    static long writes = 0;
    constexpr size_t PIECE = 1000;  // not a multiple of any line's length
    if (fd <= 2) {
        return real_write(fd, buffer, count);
    }
    const ssize_t written = real_write(fd, buffer, count > PIECE ? PIECE : count);
    if (stop_at != nullptr && ++writes == std::atol(stop_at)) {
        std::raise(SIGSTOP);
    }
    return written;
}
