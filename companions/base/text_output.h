#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>


// Buffered text on a file descriptor, for the formats and tables the
// commands write. After the first failed write it keeps the error and
// writes nothing more, so that a caller checks once, at the end.
class text_output {
public:
    // `stopped`, when given, ends a write interrupted by a signal that asks
    // the command to stop (see write_all).
    explicit text_output(int fd, bool (*stopped)() = nullptr) : fd_(fd), stopped_(stopped) {}
    text_output(const text_output&) = delete;
    text_output& operator=(const text_output&) = delete;

    void put(std::string_view text) {
        if (text.empty()) {
            return;  // an empty view may hold no address at all
        }
        if (text.size() <= BUFFER_SIZE - used_) {
            std::memcpy(buffer_ + used_, text.data(), text.size());
            used_ += text.size();
        } else {
            put_in_parts(text);
        }
    }
    void put(char c) { put(std::string_view(&c, 1)); }
    void put_integer(std::int32_t value);
    // The shortest text that reads back as the same single (at most 9
    // significant digits), e.g. 120.5, -33.25, 1e-05.
    void put_real(float value);
    // Each value after the separator, as put_real writes it: the reals of
    // a row at once, with one check of the room left.
    void put_separated_reals(char separator, const float* values, std::size_t count);
    // The longitude lon + 360 x turns (degrees), exactly: the shortest text
    // of lon with the whole turns added to it in decimal.
    void put_longitude(float lon, std::int32_t turns);

    // Writes out what is buffered. False once any write has failed.
    bool flush();
    int error_number() const { return error_number_; }

private:
    // The shortest fixed text of lon as a whole number of 10^-decimals;
    // false when it has more decimals than a sum with whole turns keeps.
    static bool scaled_shortest(float lon, __int128& scaled, int& decimals);
    void put_in_parts(std::string_view text);

    // Bytes gathered before a write call.
    static constexpr std::size_t BUFFER_SIZE = 1 << 16;

    int fd_;
    bool (*stopped_)();
    int error_number_ = 0;
    bool failed_ = false;
    std::size_t used_ = 0;
    char buffer_[BUFFER_SIZE];
};
