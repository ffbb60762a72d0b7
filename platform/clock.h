#pragma once
// The local wall clock as the game reads it: seconds since local midnight with
// millisecond resolution, and the date and time texts of a record line. The
// off-screen back end builds the same texts from its scripted clock.

#include <string>

namespace platform {

struct LocalMoment {
    int year = 1970, month = 1, day = 1;      // calendar date
    int hour = 0, minute = 0, second = 0;     // 24-hour clock
    int millisecond = 0;                      // 0..999
};

LocalMoment ReadLocalClock();                          // now, in the local time zone
double SecondsSinceMidnight(const LocalMoment& moment);  // 0 .. 86399.999
std::string FormatDate(int year, int month, int day);   // "MM-DD-YYYY"
std::string FormatTime(int hour, int minute, int second);  // "HH:MM:SS"
// The date a whole number of days after the given one (negative goes back).
void AddDays(int& year, int& month, int& day, long long days);

}  // namespace platform
