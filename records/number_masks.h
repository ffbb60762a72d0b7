#pragma once
// The number masks of the status bar and the performance table: "* #", "* ##",
// "* ###", "* ###.00", "00" and "####0". A mask's "*" takes the character after
// it as the fill character and counts, with it, as two digit positions; every
// "#" and "0" is one more; a "0" position is filled with a zero, not the fill
// character; ".00" asks for two decimals. A value wider than its mask is
// printed whole, never cut.

#include <cstddef>
#include <string>
#include <string_view>

namespace records {

std::string FormatWithMask(double value, std::string_view mask);

// The same text written into out (not terminated); returns the characters
// written. The report uses this at every frame, so it never allocates. With
// capacity of at least 32 nothing is ever cut.
std::size_t FormatWithMaskInto(char* out, std::size_t capacity, double value, std::string_view mask);

}  // namespace records
