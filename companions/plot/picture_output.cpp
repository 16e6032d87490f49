#include "plot/picture_output.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "plot/stop_signals.h"
#include "write_all.h"

namespace {

std::string lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

bool copy_all(int from, int to) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t count = ::read(from, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR && !stop_requested()) {
            continue;
        }
        if (count <= 0) {
            return count == 0 && !stop_requested();
        }
        const write_outcome outcome =
            write_all(to, buffer, static_cast<std::size_t>(count), stop_requested);
        if (outcome.error_number != 0) {
            errno = outcome.error_number;
            return false;
        }
        if (stop_requested()) {
            return false;
        }
    }
}

}  // namespace

bool picture_format_of(const std::string& output, picture_format& format) {
    const std::size_t dot = output.rfind('.');
    if (dot == std::string::npos || output.find('/', dot) != std::string::npos) {
        return false;
    }
    const std::string extension = lower(output.substr(dot + 1));
    const std::pair<const char*, const char*> formats[] = {
        {"png", "png"}, {"pdf", "pdf"}, {"jpg", "jpg"}, {"jpeg", "jpg"}, {"eps", "eps"},
        {"ps", "ps"},   {"tif", "tif"}, {"tiff", "tif"}, {"bmp", "bmp"},  {"ppm", "ppm"}};
    for (const auto& [name, gmt_name] : formats) {
        if (extension == name) {
            format.gmt_name = gmt_name;
            return true;
        }
    }
    return false;
}

bool copy_picture(const std::string& made, const output_file& output, std::string& problem) {
    const int from = ::open(made.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) {
        problem = errno == ENOENT ? "GMT reported no error but made no picture (--verbose "
                                    "shows its messages)"
                                  : "cannot read the picture GMT made: " +
                                        std::string(std::strerror(errno));
        return false;
    }
    errno = 0;
    const bool copied = copy_all(from, output.fd());
    const int error = errno != 0 ? errno : EINTR;  // no error number: stopped
    ::close(from);
    if (!copied) {
        problem = "cannot write " + output.path() + ": " + std::strerror(error);
    }
    return copied;
}
