#pragma once
// Every real-to-integer conversion in the game rounds to the nearest integer
// with halves going to the even neighbour (2.5 -> 2, 3.5 -> 4): menu numbers,
// font sizes, layout sizes and recorded durations all go through here, so the
// rule lives in one place.

#include <cmath>
#include <cstdint>
#include <limits>

// Nearest integer, halves to even. Values beyond the 64-bit range saturate.
inline std::int64_t RoundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
    if (value <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
    double whole = std::floor(value);
    double fraction = value - whole;
    if (fraction > 0.5) return static_cast<std::int64_t>(whole) + 1;
    if (fraction < 0.5) return static_cast<std::int64_t>(whole);
    auto lower = static_cast<std::int64_t>(whole);
    return (lower % 2 == 0) ? lower : lower + 1;
}

// Rounded and then clamped into the range of a 16-bit game integer, as the
// game's 16-bit fields (menu choice, record fields) store their values.
inline std::int16_t RoundToInt16(double value) {
    // Whole numbers in range, nearly every value read from a player file, need no rounding.
    if (value >= -32768.0 && value <= 32767.0) {
        const auto whole = static_cast<std::int16_t>(value);
        if (whole == value) return whole;
    }
    std::int64_t rounded = RoundHalfEven(value);
    if (rounded > 32767) return 32767;
    if (rounded < -32768) return -32768;
    return static_cast<std::int16_t>(rounded);
}

// Rounded and clamped into a 32-bit game integer.
inline std::int32_t RoundToInt32(double value) {
    std::int64_t rounded = RoundHalfEven(value);
    if (rounded > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (rounded < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(rounded);
}
