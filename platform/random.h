#pragma once
// The game's one source of chance: a 32-bit linear congruential generator
// seeded once per run from the clock. Every draw anywhere in the game advances
// the same state, so a run seeded with the same clock reading and given the
// same keys repeats itself exactly.

#include <cstdint>

namespace platform {

struct RandomState {
    std::uint32_t state = 0;
};

// The clock reading is rounded to single precision and its IEEE 754 bit
// pattern becomes the state.
void SeedRandom(RandomState& random, double clock_reading);

// A uniform whole number between a and b inclusive; the bounds may come in
// either order.
std::int32_t RandomInteger(RandomState& random, std::int32_t a, std::int32_t b);

}  // namespace platform
