#include "platform/random.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

void SeedRandom(RandomState& random, double clock_reading) {
    float single = static_cast<float>(clock_reading);
    std::memcpy(&random.state, &single, sizeof random.state);
}

std::int32_t RandomInteger(RandomState& random, std::int32_t a, std::int32_t b) {
    random.state = random.state * 134775813u + 1u;
    double r = static_cast<double>(random.state >> 1) / 2147483648.0;
    std::int64_t lo = std::min(a, b);
    std::int64_t hi = std::max(a, b);
    return static_cast<std::int32_t>(static_cast<std::int64_t>(std::floor(r * static_cast<double>(hi - lo + 1))) + lo);
}

}  // namespace platform
