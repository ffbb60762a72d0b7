#pragma once
// The performance table beside the scene, drawn at every frame from the history
// in memory: per etude kind the fastest win among the most recent etudes and
// the won, lost and incomplete counts with the share won.

#include "core/game_state.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace records {

// What the table shows of one etude kind, counted over its `reach` most recent etudes.
struct KindSummary {
    std::int32_t best = 0;  // record of the fastest win counted; 0 = none
    std::int32_t won = 0;
    std::int32_t lost = 0;
    std::int32_t incomplete = 0;
};

// The summaries of kinds 1..16 (index 0..15), newest record first, read from the history alone.
using KindSummaries = std::array<KindSummary, NumEtudeKinds>;
KindSummaries SummariseKinds(const History& history, std::int32_t reach);

// The axis group of kinds 4g-3 .. 4g, as the table and the PROGRESS page name
// it: group 1..4 is "Pitch", "Yaw", "Roll", "PYR"; "" otherwise.
std::string_view AxisGroupName(int group);

void DrawPerformanceReport(const GameState& game);

}  // namespace records
