#include "plot/picture_output.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "command_line.h"
#include "plot/stop_signals.h"

namespace {

std::string directory_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

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
        if (!write_all(to, std::string_view(buffer, static_cast<std::size_t>(count))) ||
            stop_requested()) {
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

std::string output_problem(const std::string& output, const std::string& contour_file) {
    if (output == "-") {
        return "the picture cannot go to standard output (\"-\"): give a file name";
    }
    struct stat output_info {};
    if (::stat(output.c_str(), &output_info) == 0) {
        if (S_ISDIR(output_info.st_mode)) {
            return output + ": is a directory; give the picture's file name";
        }
        struct stat contour_info {};
        if (::stat(contour_file.c_str(), &contour_info) == 0 &&
            output_info.st_dev == contour_info.st_dev && output_info.st_ino == contour_info.st_ino) {
            return output + ": is the contour file itself";
        }
    }
    struct stat directory_info {};
    const std::string directory = directory_of(output);
    if (::stat(directory.c_str(), &directory_info) != 0 || !S_ISDIR(directory_info.st_mode)) {
        return directory + ": no such directory for " + output;
    }
    return "";
}

bool install_picture(const std::string& made, const std::string& output, std::string& problem) {
    std::string temporary = directory_of(output) + "/.dist-strike-contour-plot.XXXXXX";
    const int to = ::mkstemp(temporary.data());
    if (to < 0) {
        problem = "cannot write " + output + ": " + std::strerror(errno);
        return false;
    }
    int error = 0;
    const int from = ::open(made.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) {
        error = errno;
    } else {
        errno = 0;
        if (!copy_all(from, to)) {
            error = errno != 0 ? errno : EINTR;  // no error number: stopped
        }
        ::close(from);
    }
    // The permissions a new file would have; mkstemp gives 0600.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (error == 0 && ::fchmod(to, 0666 & ~mask) != 0) {
        error = errno;
    }
    if (error == 0 && ::fsync(to) != 0) {
        error = errno;
    }
    if (::close(to) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && stop_requested()) {
        error = EINTR;
    }
    if (error == 0 && ::rename(temporary.c_str(), output.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        problem = "cannot write " + output + ": " + std::strerror(error);
        return false;
    }
    return true;
}
