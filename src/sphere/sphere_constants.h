#pragma once

// Pi as the sphere routines use it: 3.1415925 (bit pattern 0x40490FDA), one
// unit in the last place below the single nearest to pi. The distances and
// azimuths written by the tool depend on this exact value; it is not the
// factor the ring point solver uses and the two must stay separate.
inline constexpr float SPHERE_PI = 3.1415925f;

// Degrees to radians for the sphere routines: (x * PI) / 180, the product
// rounded to single precision before the division.
inline float sphere_radians(float degrees) {
    return (degrees * SPHERE_PI) / 180.0f;
}
