#include "records/number_masks.h"

#include "app/rounding.h"

#include <cmath>
#include <cstdio>

namespace records {

std::string FormatWithMask(double value, std::string_view mask) {
    char fill = ' ';
    int width = 0;       // positions of the integer part, sign included
    int zero_digits = 0; // trailing "0" positions that must show a digit
    int decimals = 0;
    std::size_t i = 0;
    for (; i < mask.size() && mask[i] != '.'; ++i) {
        char c = mask[i];
        if (c == '*' && i + 1 < mask.size()) {
            fill = mask[i + 1];
            width += 2;
            ++i;
        } else if (c == '#') {
            ++width;
        } else if (c == '0') {
            ++width;
            ++zero_digits;
        }
    }
    for (++i; i < mask.size(); ++i) {
        if (mask[i] == '0' || mask[i] == '#') ++decimals;
    }

    std::string digits;
    if (decimals > 0) {
        double scale = std::pow(10.0, decimals);
        double scaled = static_cast<double>(RoundHalfEven(value * scale)) / scale;
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals, scaled);
        digits = buffer;
    } else {
        digits = std::to_string(RoundHalfEven(value));
    }

    // Zero positions: pad the digits (after any sign) with zeros up to their count.
    bool negative = !digits.empty() && digits[0] == '-';
    std::string magnitude = negative ? digits.substr(1) : digits;
    std::size_t integer_length = magnitude.find('.');
    if (integer_length == std::string::npos) integer_length = magnitude.size();
    if (static_cast<int>(integer_length) < zero_digits) {
        magnitude.insert(0, static_cast<std::size_t>(zero_digits) - integer_length, '0');
    }
    std::string text = (negative ? "-" : "") + magnitude;

    int total_width = width + (decimals > 0 ? decimals + 1 : 0);
    if (static_cast<int>(text.size()) < total_width) {
        text.insert(0, static_cast<std::size_t>(total_width) - text.size(), fill);
    }
    return text;
}

}  // namespace records
