#include "progress/figures.h"

#include <algorithm>
#include <cstddef>

namespace progress {

namespace {

constexpr std::string_view kKindNames[NumEtudeKinds] = {
    "Pitch 45", "Pitch 90", "Pitch 135", "Pitch Any",  //
    "Yaw 45",   "Yaw 90",   "Yaw 135",   "Yaw Any",    //
    "Roll 45",  "Roll 90",  "Roll 135",  "Roll Any",   //
    "PYR 45",   "PYR 90",   "PYR 135",   "PYR Any",
};

constexpr int kStatusWon = 1;
constexpr int kStatusLost = 0;
constexpr int kStatusIncomplete = -1;
constexpr int kDaysInWeek = 7;

const PlayerRecord& RecordAt(const History& history, std::int32_t index) {
    return history.PlayerHistory[static_cast<std::size_t>(index)];
}

// What a kind's scan adds up before the shares and means are taken.
struct KindSums {
    KindFigures figures;
    double won_degrees = 0;   // 45 x expected presses of the wins with a positive duration
    double won_seconds = 0;   // their durations
    double excess = 0;        // observed - expected over the completed etudes
};

// Counts one record of the kind into its sums, as the performance table
// counts it: any status other than won, lost or incomplete counts nowhere.
void CountRecord(KindSums& sums, const PlayerRecord& record) {
    KindFigures& figures = sums.figures;
    switch (record[11]) {
        case kStatusWon:
            ++figures.won;
            if (record[2] > 0) {
                sums.won_degrees += kDegreesPerPress * record[3];
                sums.won_seconds += record[2];
            }
            sums.excess += record[4] - record[3];
            break;
        case kStatusLost:
            ++figures.lost;
            sums.excess += record[4] - record[3];
            break;
        case kStatusIncomplete: ++figures.incomplete; break;
        default: break;
    }
    figures.etudes = figures.won + figures.lost + figures.incomplete;
}

KindFigures FinishKind(const KindSums& sums) {
    KindFigures figures = sums.figures;
    figures.completed = figures.won + figures.lost;
    if (figures.etudes > 0) figures.share_won = 100.0 * figures.won / figures.etudes;
    if (figures.completed > 0) figures.mean_excess = sums.excess / figures.completed;
    figures.has_speed = sums.won_seconds > 0;
    if (figures.has_speed) figures.speed = sums.won_degrees / sums.won_seconds;
    return figures;
}

double SpeedOf(const PlayerRecord& record) {
    return kDegreesPerPress * record[3] / record[2];
}

}  // namespace

std::int32_t LastRecord(const History& history) {
    auto held = static_cast<std::int32_t>(history.PlayerHistory.size()) - 1;
    return std::max<std::int32_t>(0, std::min(history.NumRecords, held));
}

std::string_view KindName(int kind) {
    return (kind >= 1 && kind <= NumEtudeKinds) ? kKindNames[kind - 1] : std::string_view();
}

// -- Per kind --

KindFigures FiguresOfKind(const History& history, int kind, int reach) {
    KindSums sums;
    for (std::int32_t i = LastRecord(history); i >= 1 && sums.figures.etudes < reach; --i) {
        const PlayerRecord& record = RecordAt(history, i);
        if (record[1] == kind) CountRecord(sums, record);
    }
    return FinishKind(sums);
}

void FiguresOfAllKinds(const History& history, int reach, KindTable& table) {
    std::array<KindSums, NumEtudeKinds + 1> sums{};
    int kinds_open = reach > 0 ? NumEtudeKinds : 0;
    for (std::int32_t i = LastRecord(history); i >= 1 && kinds_open > 0; --i) {
        const PlayerRecord& record = RecordAt(history, i);
        int kind = record[1];
        if (kind < 1 || kind > NumEtudeKinds) continue;
        KindSums& kind_sums = sums[static_cast<std::size_t>(kind)];
        if (kind_sums.figures.etudes >= reach) continue;
        int before = kind_sums.figures.etudes;
        CountRecord(kind_sums, record);
        if (before < reach && kind_sums.figures.etudes >= reach) --kinds_open;
    }
    table[0] = KindFigures{};
    for (int kind = 1; kind <= NumEtudeKinds; ++kind)
        table[static_cast<std::size_t>(kind)] = FinishKind(sums[static_cast<std::size_t>(kind)]);
}

// -- Learning curves --

void LearningCurveOf(const History& history, int group, LearningCurve& curve) {
    curve.points.clear();
    curve.median.clear();
    std::array<float, kRollingMedianWins> last_wins{};  // ring of the latest wins' seconds per wall
    std::array<float, kRollingMedianWins> sorted{};
    int wins_seen = 0;
    std::int32_t last = LastRecord(history);
    for (std::int32_t i = 1; i <= last; ++i) {
        const PlayerRecord& record = RecordAt(history, i);
        int kind = record[1];
        if (kind < 1 || kind > NumEtudeKinds || GroupOfKind(kind) != group) continue;
        if (record[11] != kStatusWon && record[11] != kStatusLost) continue;
        CurvePoint point;
        point.record = i;
        point.seconds_per_wall = static_cast<float>(record[2]) / NumFaces;
        point.won = record[11] == kStatusWon;
        curve.points.push_back(point);
        if (!point.won) continue;

        last_wins[static_cast<std::size_t>(wins_seen % kRollingMedianWins)] = point.seconds_per_wall;
        ++wins_seen;
        int count = std::min(wins_seen, kRollingMedianWins);
        std::copy_n(last_wins.begin(), count, sorted.begin());
        std::sort(sorted.begin(), sorted.begin() + count);
        float middle = count % 2 == 1 ? sorted[static_cast<std::size_t>(count / 2)]
                                      : (sorted[static_cast<std::size_t>(count / 2 - 1)] +
                                         sorted[static_cast<std::size_t>(count / 2)]) / 2;
        curve.median.push_back(MedianPoint{i, middle});
    }
}

// -- Totals --

std::int32_t DayNumberOf(int year, int month, int day) {
    static constexpr int kDaysInMonth[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > kDaysInMonth[month - 1]) return -1;
    bool leap_year = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap_year) return -1;
    // Counting from March puts the leap day at the end of the counted year.
    int shifted_year = month <= 2 ? year - 1 : year;
    int shifted_month = month <= 2 ? month + 9 : month - 3;  // March 0 .. February 11
    int day_of_year = (153 * shifted_month + 2) / 5 + day - 1;
    return shifted_year * 365 + shifted_year / 4 - shifted_year / 100 + shifted_year / 400 + day_of_year;
}

std::int32_t DayNumberOfRecord(const PlayerRecord& record) {
    return DayNumberOf(record[5], record[6], record[7]);
}

Totals TotalsOf(const History& history, std::int32_t today) {
    Totals totals;
    std::vector<std::int32_t> days;
    std::int32_t last = LastRecord(history);
    days.reserve(static_cast<std::size_t>(last));
    double week_degrees = 0, week_seconds = 0;
    for (std::int32_t i = 1; i <= last; ++i) {
        const PlayerRecord& record = RecordAt(history, i);
        if (record[11] == kStatusWon || record[11] == kStatusLost) ++totals.completed;
        if (record[11] == kStatusIncomplete) ++totals.left;
        totals.practice_seconds += std::max<std::int16_t>(0, record[2]);
        std::int32_t day = DayNumberOfRecord(record);
        if (day >= 0) days.push_back(day);
        bool in_last_week = day >= 0 && day <= today && day > today - kDaysInWeek;
        if (in_last_week) ++totals.last_week_etudes;
        if (record[11] != kStatusWon || record[2] <= 0) continue;
        double speed = SpeedOf(record);
        if (!totals.has_best || speed > totals.best_speed) {
            totals.has_best = true;
            totals.best_speed = speed;
            totals.best_kind = record[1];
            totals.best_record = i;
        }
        if (in_last_week) {
            week_degrees += kDegreesPerPress * record[3];
            week_seconds += record[2];
        }
    }
    totals.has_last_week = week_seconds > 0;
    if (totals.has_last_week) totals.last_week_speed = week_degrees / week_seconds;

    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    totals.days_practised = static_cast<int>(days.size());
    // A run is still going on the day after its last day: today may not have
    // been played yet. Days after today (a clock set back) do not count.
    auto past_end = std::upper_bound(days.begin(), days.end(), today);
    if (past_end != days.begin() && *(past_end - 1) >= today - 1) {
        totals.current_run = 1;
        for (auto day = past_end - 1; day != days.begin() && *(day - 1) == *day - 1; --day) ++totals.current_run;
    }
    return totals;
}

}  // namespace progress
