#include "plot/picture_output.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "base/read_chunks.h"
#include "plot/stop_signals.h"
#include "write_all.h"

namespace {

std::string lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// Copies everything `from` holds to `to`. 0, or the error number of the
// read or write that failed (EINTR for a stop).
int copy_all(int from, int to) {
    int write_error = 0;
    const int read_error = read_chunks(
        from,
        [&](std::string_view bytes) {
            write_error = write_all(to, bytes.data(), bytes.size(), stop_requested).error_number;
            return write_error == 0 && !stop_requested();
        },
        stop_requested);
    if (read_error != 0 || write_error != 0) {
        return read_error != 0 ? read_error : write_error;
    }
    return stop_requested() ? EINTR : 0;
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
    const int error = copy_all(from, output.fd());
    ::close(from);
    if (error != 0) {
        problem = "cannot write " + output.path() + ": " + std::strerror(error);
    }
    return error == 0;
}
