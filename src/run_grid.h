#pragma once

#include <cstdint>

// The grid every run walks and the file it is written to, shared by the
// program that writes contour files and the commands that read them back.

// Name of the contour file, in the current working directory.
inline constexpr const char* CONTOUR_FILE_NAME = "dist-strike-contour.txt";

// The program that writes it, as its diagnostics name it.
inline constexpr const char* CONTOUR_PROGRAM = "dist-strike-contour";

// Largest ring distance in degrees; rings stop before passing it.
inline constexpr std::int32_t LAST_RING_DIST = 175;

// Azimuths run 0..360 degrees inclusive so that every ring closes on itself.
inline constexpr std::int32_t LAST_AZIMUTH = 360;

// Records per ring: one at each whole degree of azimuth.
inline constexpr int RING_POSITIONS = LAST_AZIMUTH + 1;
