#include "base/read_chunks.h"

#include <cerrno>
#include <unistd.h>

namespace {

// Bytes taken from the descriptor per read call.
constexpr std::size_t CHUNK_SIZE = 1 << 16;

}  // namespace

int read_chunks(int fd, const std::function<bool(std::string_view)>& take, bool (*stopped)()) {
    char chunk[CHUNK_SIZE];
    for (;;) {
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR && (stopped == nullptr || !stopped())) {
            continue;
        }
        if (count < 0) {
            return errno;
        }
        if (count == 0 || !take(std::string_view(chunk, static_cast<std::size_t>(count)))) {
            return 0;
        }
    }
}
