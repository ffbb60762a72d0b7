#pragma once
// Text forms shared by the console and the graphic window: the print form of
// numbers, the splitting of a typed answer into fields, and month names. Pure
// functions, no system calls.

#include <string>
#include <string_view>

namespace platform {

// Print form: a sign position (blank or "-"), at most 15 (double) or 7 (single)
// significant digits without trailing zeros, and one trailing blank.
// 5 -> " 5 ", -2.5 -> "-2.5 ", 0 -> " 0 ".
std::string PrintForm(double number, bool single_precision);

// Field n (from 1) of a typed line: leading blanks skipped; a field opened by a
// double quote runs to the next double quote; otherwise it ends at the first
// comma or the end of the line.
std::string ConsoleInputField(std::string_view line, int field);

// The leading decimal number of a field (optional sign, digits, optional
// fraction), read as far as it reads as one; empty or non-numeric text gives 0.
double LeadingNumber(std::string_view field);

// "January" .. "December" for 1..12; "" otherwise.
std::string MonthName(int month);

}  // namespace platform
