#pragma once
// A plausible history of a player who learns: sessions on most days over some
// weeks, every etude kind, times per wall that shrink with practice (harder
// axes and larger turns slower), some losses and some etudes left incomplete.
// Shared by the make_history tool (which writes it as a player file), the
// PROGRESS page benchmark and the pictures in docs/, so all three look at the
// same kind of history. Deterministic for a given seed.

#include "app/game_state.h"
#include "platform/clock.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

namespace tools {

struct HistoryChoice {
    int records = 400;
    unsigned seed = 13;
    int last_year = 2026, last_month = 12, last_day = 7;  // the date of the last session
    double sessions_per_day = 0.7;  // chance that a day has a session
};

// Fills history with records 0..choice.records in the record file's layout.
inline void MakePlausibleHistory(History& history, const HistoryChoice& choice) {
    std::mt19937 random(choice.seed);
    auto uniform = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); };
    auto chance = [&](double p) { return uniform(0, 1) < p; };

    int records = std::max(0, choice.records);
    history.NumRecords = records;
    history.PlayerHistory.assign(static_cast<std::size_t>(records) + 1, PlayerRecord{});

    // Session days, newest last; about twelve etudes a session.
    std::vector<int> session_sizes;
    for (int left = records; left > 0;) {
        int size = std::min(left, static_cast<int>(uniform(4, 16)));
        session_sizes.push_back(size);
        left -= size;
    }
    std::vector<int> day_offsets(session_sizes.size());  // days before the last session
    int offset = 0;
    for (std::size_t s = session_sizes.size(); s-- > 0;) {
        day_offsets[s] = offset;
        do ++offset; while (!chance(choice.sessions_per_day));
    }

    std::array<int, NumEtudeKinds + 1> practised{};
    int kind = 1;
    std::int32_t index = 0;
    for (std::size_t s = 0; s < session_sizes.size(); ++s) {
        int year = choice.last_year, month = choice.last_month, day = choice.last_day;
        platform::AddDays(year, month, day, -day_offsets[s]);
        double clock = uniform(8, 21) * 3600;
        for (int e = 0; e < session_sizes[s]; ++e) {
            // Mostly the same kind for a few etudes, sometimes another.
            if (chance(0.3)) kind = static_cast<int>(uniform(1, NumEtudeKinds + 1));
            kind = std::clamp(kind, 1, static_cast<int>(NumEtudeKinds));
            int step = (kind - 1) % 4 + 1, axis = (kind - 1) / 4 + 1;
            int presses = 0;
            for (int wall = 0; wall < NumFaces; ++wall) presses += step == 4 ? static_cast<int>(uniform(1, 4)) : step;
            // Practice of any kind helps every kind a little, practice of the kind most.
            double practice = index / 150.0 + practised[static_cast<std::size_t>(kind)] / 18.0;
            double skill = 1.0 - std::exp(-practice);
            ++practised[static_cast<std::size_t>(kind)];
            double base = axis == 4 ? 7.0 : axis == 3 ? 3.6 : axis == 2 ? 4.6 : 5.2;
            double seconds_per_press = base * (1.0 - 0.72 * skill) + 0.5;
            double seconds = presses * seconds_per_press * std::exp(uniform(-0.3, 0.4)) + 5;
            int status = chance(0.05) ? -1 : chance(0.45 - 0.33 * skill) ? 0 : 1;
            int observed = presses;
            if (status == 0) {
                observed += static_cast<int>(uniform(1, 5));
                seconds *= 1.25;
            }
            if (status == -1) {
                seconds *= uniform(0.2, 0.8);
                presses = observed = 0;
            }
            clock += seconds + uniform(4, 40);
            PlayerRecord& record = history.PlayerHistory[static_cast<std::size_t>(++index)];
            record[1] = static_cast<std::int16_t>(kind);
            record[2] = static_cast<std::int16_t>(std::lround(seconds));
            record[3] = static_cast<std::int16_t>(presses);
            record[4] = static_cast<std::int16_t>(observed);
            record[5] = static_cast<std::int16_t>(year);
            record[6] = static_cast<std::int16_t>(month);
            record[7] = static_cast<std::int16_t>(day);
            auto second_of_day = static_cast<int>(std::min(clock, 86399.0));
            record[8] = static_cast<std::int16_t>(second_of_day / 3600);
            record[9] = static_cast<std::int16_t>(second_of_day / 60 % 60);
            record[10] = static_cast<std::int16_t>(second_of_day % 60);
            record[11] = static_cast<std::int16_t>(status);
        }
    }
}

}  // namespace tools
