#include "records/number_masks.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using records::FormatWithMask;
using records::FormatWithMaskInto;

TEST(NumberMasks, RightAlignsIntegersInTheirWidth) {
    EXPECT_EQ(FormatWithMask(2, "* #"), "  2");
    EXPECT_EQ(FormatWithMask(16, "* #"), " 16");
    EXPECT_EQ(FormatWithMask(6, "* ##"), "   6");
    EXPECT_EQ(FormatWithMask(2026, "* ##"), "2026");
    EXPECT_EQ(FormatWithMask(35, "* ###"), "   35");
    EXPECT_EQ(FormatWithMask(0, "* ###"), "    0");
    EXPECT_EQ(FormatWithMask(-12, "* ###"), "  -12");
}

TEST(NumberMasks, FillCharacterComesFromTheStar) {
    EXPECT_EQ(FormatWithMask(7, "*x##"), "xxx7");
}

TEST(NumberMasks, ZeroPositionsShowLeadingZeros) {
    EXPECT_EQ(FormatWithMask(5, "00"), "05");
    EXPECT_EQ(FormatWithMask(0, "00"), "00");
    EXPECT_EQ(FormatWithMask(33, "00"), "33");
    EXPECT_EQ(FormatWithMask(0, "####0"), "    0");
    EXPECT_EQ(FormatWithMask(123, "####0"), "  123");
}

TEST(NumberMasks, DecimalsRoundToTwoPlaces) {
    EXPECT_EQ(FormatWithMask(75, "* ###.00"), "   75.00");
    EXPECT_EQ(FormatWithMask(100.0f * 2 / 3, "* ###.00"), "   66.67");
    EXPECT_EQ(FormatWithMask(100, "* ###.00"), "  100.00");
    EXPECT_EQ(FormatWithMask(0.125, "* ###.00"), "    0.12");  // half to even
    EXPECT_EQ(FormatWithMask(-0.001, "* ###.00"), "    0.00");  // no negative zero
}

TEST(NumberMasks, WholeNumbersRoundHalfToEven) {
    EXPECT_EQ(FormatWithMask(12.5, "####0"), "   12");
    EXPECT_EQ(FormatWithMask(13.5, "####0"), "   14");
    EXPECT_EQ(FormatWithMask(-2.5, "* #"), " -2");
}

TEST(NumberMasks, WiderValuesArePrintedWhole) {
    EXPECT_EQ(FormatWithMask(-12345, "* ###"), "-12345");
    EXPECT_EQ(FormatWithMask(123, "* #"), "123");
    EXPECT_EQ(FormatWithMask(123456.5, "* ###.00"), "123456.50");
}

TEST(NumberMasks, BufferFormNeverWritesPastItsCapacity) {
    char buffer[8];
    std::memset(buffer, '!', sizeof buffer);
    std::size_t written = FormatWithMaskInto(buffer, 4, 1234567, "* ###");
    EXPECT_EQ(written, 4u);
    EXPECT_EQ(std::string(buffer, 4), "1234");
    EXPECT_EQ(buffer[4], '!');
}

}  // namespace
