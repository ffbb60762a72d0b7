// The small services: the random generator, rounding, print form, typed-answer
// fields, month names, and the date and time texts.

#include "core/rounding.h"
#include "platform/clock.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "platform/random.h"
#include "platform/text_forms.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace platform;

// -- Random generator --

TEST(RandomTest, SeedVectorsRepeatTheKnownSequences) {
    RandomState midnight;
    SeedRandom(midnight, 0.0);
    EXPECT_EQ(midnight.state, 0u);
    for (int expected : {1, 11, 275, 65}) EXPECT_EQ(RandomInteger(midnight, 1, 319), expected);

    RandomState noon;
    SeedRandom(noon, 43200.0);
    EXPECT_EQ(noon.state, 0x4728C000u);
    for (int expected : {129, 32, 155, 253}) EXPECT_EQ(RandomInteger(noon, 1, 319), expected);
}

TEST(RandomTest, BoundsMayComeInEitherOrder) {
    RandomState forward, backward;
    SeedRandom(forward, 1234.5);
    SeedRandom(backward, 1234.5);
    std::set<int> seen;
    for (int i = 0; i < 400; ++i) {
        int a = RandomInteger(forward, 0, 3);
        EXPECT_EQ(RandomInteger(backward, 3, 0), a);
        seen.insert(a);
    }
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3}));

    std::set<int> pair;
    for (int i = 0; i < 200; ++i) pair.insert(RandomInteger(forward, 0, -1));
    EXPECT_EQ(pair, (std::set<int>{-1, 0}));
}

// -- Rounding --

TEST(RoundingTest, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(959.5), 960);
    EXPECT_EQ(RoundHalfEven(2.4999999), 2);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
    EXPECT_EQ(RoundToInt16(40000.0), 32767);
    EXPECT_EQ(RoundToInt16(-40000.0), -32768);
    EXPECT_EQ(RoundToInt32(1e12), 2147483647);
}

// -- Print form --

TEST(PrintFormTest, SignPositionDigitsAndTrailingBlank) {
    EXPECT_EQ(PrintForm(5, false), " 5 ");
    EXPECT_EQ(PrintForm(-2.5, false), "-2.5 ");
    EXPECT_EQ(PrintForm(0, false), " 0 ");
    EXPECT_EQ(PrintForm(-0.0, false), " 0 ");
    EXPECT_EQ(PrintForm(-1, false), "-1 ");
    EXPECT_EQ(PrintForm(100, false), " 100 ");
    EXPECT_EQ(PrintForm(1.0 / 3.0, false), " 0.333333333333333 ");
    EXPECT_EQ(PrintForm(1.0 / 3.0, true), " 0.3333333 ");
    EXPECT_EQ(PrintForm(0.1 + 0.2, false), " 0.3 ");
    EXPECT_EQ(PrintForm(123456789012345.0, false), " 123456789012345 ");
    EXPECT_EQ(PrintForm(1e20, false), " 1E+20 ");
    EXPECT_EQ(PrintForm(-1.5e-9, false), "-1.5E-09 ");
    EXPECT_EQ(PrintForm(86399.999f, true), " 86400 ");  // single precision keeps 7 digits
}

// -- Typed answers --

TEST(InputFieldTest, BlanksQuotesAndCommas) {
    EXPECT_EQ(ConsoleInputField("  12,34", 1), "12");
    EXPECT_EQ(ConsoleInputField("  12,34", 2), "34");
    EXPECT_EQ(ConsoleInputField("\"Smith, J\",7", 1), "Smith, J");
    EXPECT_EQ(ConsoleInputField("\"Smith, J\" junk,7", 2), "7");
    EXPECT_EQ(ConsoleInputField("\"open quote", 1), "open quote");
    EXPECT_EQ(ConsoleInputField("", 1), "");
    EXPECT_EQ(ConsoleInputField("one", 2), "");
    EXPECT_EQ(ConsoleInputField("a,,c", 2), "");
    EXPECT_EQ(ConsoleInputField("a,,c", 3), "c");
}

TEST(InputFieldTest, LeadingNumberReadsAsFarAsItCan) {
    EXPECT_EQ(LeadingNumber(""), 0.0);
    EXPECT_EQ(LeadingNumber("12"), 12.0);
    EXPECT_EQ(LeadingNumber("98abc"), 98.0);
    EXPECT_EQ(LeadingNumber("-3.5x"), -3.5);
    EXPECT_EQ(LeadingNumber("+7"), 7.0);
    EXPECT_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_EQ(LeadingNumber("abc"), 0.0);
    EXPECT_EQ(LeadingNumber("-"), 0.0);
    EXPECT_EQ(LeadingNumber("."), 0.0);
    EXPECT_EQ(LeadingNumber(ConsoleInputField("  12,34", 1)), 12.0);
}

// -- Months, dates and times --

TEST(ClockTextTest, MonthNamesAndTextShapes) {
    EXPECT_EQ(MonthName(1), "January");
    EXPECT_EQ(MonthName(3).substr(0, 3), "Mar");
    EXPECT_EQ(MonthName(12), "December");
    EXPECT_EQ(MonthName(0), "");
    EXPECT_EQ(MonthName(13), "");
    EXPECT_EQ(FormatDate(2027, 3, 5), "03-05-2027");
    EXPECT_EQ(FormatTime(7, 4, 9), "07:04:09");
    EXPECT_EQ(FormatDate(987, 12, 31), "12-31-0987");

    LocalMoment moment;
    moment.hour = 23;
    moment.minute = 59;
    moment.second = 59;
    moment.millisecond = 999;
    EXPECT_DOUBLE_EQ(SecondsSinceMidnight(moment), 86399.999);
}

TEST(ClockTextTest, OffscreenClockGivesDateAndTimeAndCrossesMidnight) {
    OffscreenOptions options;
    options.year = 2027;
    options.month = 3;
    options.day = 5;
    options.start_clock = 7 * 3600 + 4 * 60 + 9.25;
    PlatformHandle platform = CreateOffscreenPlatform(options);
    EXPECT_EQ(DateText(*platform), "03-05-2027");
    EXPECT_EQ(TimeText(*platform), "07:04:09");
    EXPECT_DOUBLE_EQ(Timer(*platform), 25449.25);

    SetClock(*platform, 86399.5);
    double before = Timer(*platform);
    AdvanceClock(*platform, 1.0);
    EXPECT_DOUBLE_EQ(Timer(*platform), 0.5);  // back to 0 at midnight: differences across it are negative
    EXPECT_LT(Timer(*platform) - before, 0.0);
    EXPECT_EQ(DateText(*platform), "03-06-2027");
    EXPECT_EQ(TimeText(*platform), "00:00:00");

    SetClock(*platform, 28 * 86400.0);  // into April
    EXPECT_EQ(DateText(*platform), "04-02-2027");
}

}  // namespace
