#include "platform/text_forms.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace platform {

// -- Print form --

std::string PrintForm(double number, bool single_precision) {
    if (single_precision) number = static_cast<double>(static_cast<float>(number));
    if (std::isnan(number)) return " NaN ";
    std::string text(number < 0 ? "-" : " ");
    double magnitude = std::fabs(number);
    if (std::isinf(magnitude)) return text + "Inf ";
    // %G drops trailing zeros and the bare point, and switches to the exponent
    // form only where the plain digits could not show the value.
    std::array<char, 48> digits{};
    std::snprintf(digits.data(), digits.size(), single_precision ? "%.7G" : "%.15G", magnitude);
    text += digits.data();
    text += ' ';
    return text;
}

// -- Typed answers --

std::string ConsoleInputField(std::string_view line, int field) {
    std::size_t at = 0;
    for (int n = 1;; ++n) {
        while (at < line.size() && line[at] == ' ') ++at;
        std::string_view text;
        if (at < line.size() && line[at] == '"') {
            std::size_t close = line.find('"', at + 1);
            if (close == std::string_view::npos) close = line.size();
            text = line.substr(at + 1, close - at - 1);
            at = close;
        } else {
            std::size_t comma = line.find(',', at);
            if (comma == std::string_view::npos) comma = line.size();
            text = line.substr(at, comma - at);
            at = comma;
        }
        if (n >= field) return std::string(text);
        // Past the rest of this field up to and over its comma.
        std::size_t comma = line.find(',', at);
        if (comma == std::string_view::npos) return std::string();
        at = comma + 1;
    }
}

double LeadingNumber(std::string_view field) {
    std::size_t at = 0;
    while (at < field.size() && (field[at] == ' ' || field[at] == '\t')) ++at;
    std::size_t start = at;
    if (at < field.size() && (field[at] == '+' || field[at] == '-')) ++at;
    std::size_t digits = 0;
    while (at < field.size() && field[at] >= '0' && field[at] <= '9') ++at, ++digits;
    if (at < field.size() && field[at] == '.') {
        ++at;
        while (at < field.size() && field[at] >= '0' && field[at] <= '9') ++at, ++digits;
    }
    if (digits == 0) return 0.0;
    std::string number(field.substr(start, at - start));
    return std::strtod(number.c_str(), nullptr);
}

// -- Month names --

std::string MonthName(int month) {
    static constexpr std::array<const char*, 12> kMonths = {
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", "December"};
    if (month < 1 || month > 12) return std::string();
    return kMonths[static_cast<std::size_t>(month - 1)];
}

}  // namespace platform
