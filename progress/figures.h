#pragma once
// The figures of a player's progress, worked out from PlayerHistory alone (no
// file, no window), so the PROGRESS page, the coach and the exports all show
// the same numbers and tests can call them on hand-made histories.
//
//  - KindName(kind): the etude kind as the menu names it, "Pitch 45" .. "PYR Any".
//  - FiguresOfKind / FiguresOfAllKinds: per kind over its most recent `reach`
//    etudes (newest first, as the performance table counts them): etudes, won,
//    lost, incomplete, share won, rotation speed in degrees per second
//    (45 x expected presses / seconds, summed over the won etudes counted) and
//    the mean excess moves (observed - expected) of the completed ones.
//  - LearningCurveOf(history, group): seconds per wall of every completed etude
//    of an axis group in the order played, won or lost, and the rolling median
//    of the last ten wins.
//  - TotalsOf(history, today): etudes completed and left, days practised, the
//    current run of consecutive days, total practice time, the best speed of one
//    win and the speed of the last seven days.
//  - DayNumberOf: a calendar date as a count of days, for runs and weeks.

#include "core/game_state.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace progress {

constexpr int kNumAxisGroups = 4;       // Pitch, Yaw, Roll, PYR
constexpr int kRollingMedianWins = 10;  // wins in the rolling median of a learning curve
constexpr double kDegreesPerPress = 45;  // one key press turns ROBO by 45 degrees

std::string_view KindName(int kind);     // "Roll 135"; "" outside 1..16
// The last record actually held: NumRecords never reaches past the table.
std::int32_t LastRecord(const History& history);
constexpr int GroupOfKind(int kind) { return (kind - 1) / 4 + 1; }

// -- Per kind --
struct KindFigures {
    int etudes = 0;            // etudes of the kind counted: won + lost + incomplete, at most the reach
    int won = 0;
    int lost = 0;
    int incomplete = 0;
    double share_won = 0;      // percent of the counted etudes won, 0..100; 0 when none counted
    bool has_speed = false;    // at least one counted win with a positive duration
    double speed = 0;          // degrees per second over those wins; 0 without one
    int completed = 0;         // won + lost: the etudes whose excess is known
    double mean_excess = 0;    // mean of observed - expected presses over the completed ones; 0 without one
};
using KindTable = std::array<KindFigures, NumEtudeKinds + 1>;  // indexed by kind 1..16; 0 unused

KindFigures FiguresOfKind(const History& history, int kind, int reach);
// All sixteen kinds in one newest-first pass that stops once every kind has its reach.
void FiguresOfAllKinds(const History& history, int reach, KindTable& table);

// -- Learning curves --
struct CurvePoint {
    std::int32_t record = 0;        // index into PlayerHistory, 1..NumRecords: the place in the order played
    float seconds_per_wall = 0;     // Duration / 6
    bool won = false;
};
struct MedianPoint {
    std::int32_t record = 0;        // the win at which the median is taken
    float seconds_per_wall = 0;     // median of this win and up to nine wins of the group before it
};
struct LearningCurve {
    std::vector<CurvePoint> points;   // every completed etude (won or lost) of the group, oldest first
    std::vector<MedianPoint> median;  // one per win, oldest first
};
void LearningCurveOf(const History& history, int group, LearningCurve& curve);

// -- Totals --
// Days counted from 1 March of year 0, so that consecutive dates differ by one;
// -1 for a record whose date is not a calendar date.
std::int32_t DayNumberOf(int year, int month, int day);
std::int32_t DayNumberOfRecord(const PlayerRecord& record);

struct Totals {
    int completed = 0;             // etudes won or lost
    int left = 0;                  // etudes left incomplete
    int days_practised = 0;        // distinct dates among all records
    int current_run = 0;           // consecutive days ending today or yesterday; 0 when the last is older
    std::int64_t practice_seconds = 0;  // sum of all recorded durations
    bool has_best = false;
    double best_speed = 0;         // degrees per second of the fastest single win
    int best_kind = 0;             // its kind, 0 without one
    std::int32_t best_record = 0;  // its record
    bool has_last_week = false;
    double last_week_speed = 0;    // degrees per second over all wins of the seven days ending today
    int last_week_etudes = 0;      // records of those seven days
};
// today: DayNumberOf the date the page is shown for.
Totals TotalsOf(const History& history, std::int32_t today);

}  // namespace progress
