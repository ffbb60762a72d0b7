#include "platform/clock.h"

#include <time.h>

#include <chrono>
#include <cstdio>

namespace platform {

LocalMoment ReadLocalClock() {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    struct tm local {};
    ::localtime_r(&now.tv_sec, &local);
    LocalMoment moment;
    moment.year = local.tm_year + 1900;
    moment.month = local.tm_mon + 1;
    moment.day = local.tm_mday;
    moment.hour = local.tm_hour;
    moment.minute = local.tm_min;
    // A leap second reads as the last second of the minute, so Timer stays
    // below one day.
    moment.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    moment.millisecond = static_cast<int>(now.tv_nsec / 1000000);
    return moment;
}

double SecondsSinceMidnight(const LocalMoment& moment) {
    long long milliseconds = moment.hour * 3600000LL + moment.minute * 60000LL + moment.second * 1000LL +
                             moment.millisecond;
    return static_cast<double>(milliseconds) / 1000.0;
}

std::string FormatDate(int year, int month, int day) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d", month % 100, day % 100, year % 10000);
    return text;
}

std::string FormatTime(int hour, int minute, int second) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour % 100, minute % 100, second % 100);
    return text;
}

void AddDays(int& year, int& month, int& day, long long days) {
    using namespace std::chrono;
    sys_days start{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} /
                   std::chrono::day{static_cast<unsigned>(day)}};
    year_month_day moved{start + std::chrono::days{days}};
    year = static_cast<int>(moved.year());
    month = static_cast<int>(static_cast<unsigned>(moved.month()));
    day = static_cast<int>(static_cast<unsigned>(moved.day()));
}

}  // namespace platform
