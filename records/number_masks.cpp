#include "records/number_masks.h"

#include "core/rounding.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace records {

namespace {

struct MaskShape {
    char fill = ' ';
    int width = 0;        // positions of the integer part, sign included
    int zero_digits = 0;  // "0" positions: digits that must show even as leading zeros
    int decimals = 0;
};

MaskShape ReadMask(std::string_view mask) {
    MaskShape shape;
    std::size_t i = 0;
    for (; i < mask.size() && mask[i] != '.'; ++i) {
        char c = mask[i];
        if (c == '*' && i + 1 < mask.size()) {
            shape.fill = mask[i + 1];
            shape.width += 2;
            ++i;
        } else if (c == '#') {
            ++shape.width;
        } else if (c == '0') {
            ++shape.width;
            ++shape.zero_digits;
        }
    }
    for (++i; i < mask.size(); ++i) {
        if (mask[i] == '0' || mask[i] == '#') ++shape.decimals;
    }
    return shape;
}

}  // namespace

std::size_t FormatWithMaskInto(char* out, std::size_t capacity, double value, std::string_view mask) {
    MaskShape shape = ReadMask(mask);

    // The plain digits first. RoundHalfEven saturates at the 64-bit range, so
    // even absurd values stay within a few dozen characters.
    char digits[64];
    int length = 0;
    if (shape.decimals > 0) {
        double scale = std::pow(10.0, shape.decimals);
        double scaled = static_cast<double>(RoundHalfEven(value * scale)) / scale;
        length = std::snprintf(digits, sizeof digits, "%.*f", shape.decimals, scaled);
    } else {
        length = std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(RoundHalfEven(value)));
    }
    if (length < 0) length = 0;
    if (length >= static_cast<int>(sizeof digits)) length = static_cast<int>(sizeof digits) - 1;

    bool negative = length > 0 && digits[0] == '-';
    const char* magnitude = negative ? digits + 1 : digits;
    int magnitude_length = negative ? length - 1 : length;
    const char* point = static_cast<const char*>(std::memchr(magnitude, '.', static_cast<std::size_t>(magnitude_length)));
    int integer_length = point ? static_cast<int>(point - magnitude) : magnitude_length;
    int zeros = shape.zero_digits > integer_length ? shape.zero_digits - integer_length : 0;

    int text_length = (negative ? 1 : 0) + zeros + magnitude_length;
    int total_width = shape.width + (shape.decimals > 0 ? shape.decimals + 1 : 0);
    int fills = total_width > text_length ? total_width - text_length : 0;

    std::size_t written = 0;
    auto put = [&](char c) {
        if (written < capacity) out[written++] = c;
    };
    for (int n = 0; n < fills; ++n) put(shape.fill);
    if (negative) put('-');
    for (int n = 0; n < zeros; ++n) put('0');
    for (int n = 0; n < magnitude_length; ++n) put(magnitude[n]);
    return written;
}

std::string FormatWithMask(double value, std::string_view mask) {
    char buffer[96];
    std::size_t length = FormatWithMaskInto(buffer, sizeof buffer, value, mask);
    return std::string(buffer, length);
}

}  // namespace records
