// The coach decides at every menu drawing while it is on, and must do so in
// under a millisecond with 100,000 records. Its worst case is a history in
// which some kind was never played: only a scan to the very first record can
// tell. The floor is that one scan alone, reading the kind of every record,
// measured in the same run; "x_floor" is the coach's time over the floor's.
//
//   build/coach_bench
//
// Arguments: records, reach, the kind missing from the history (0: none).

#include "progress/coach.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

std::unique_ptr<GameState> HistoryOf(int records, int reach, int missing_kind) {
    auto game = std::make_unique<GameState>();
    game->settings.PastPerformanceReach = reach;
    game->history.PlayerHistory.assign(static_cast<std::size_t>(records) + 1, PlayerRecord{});
    game->history.NumRecords = records;
    for (int i = 1; i <= records; ++i) {
        int kind = i % 16 + 1;
        if (kind == missing_kind) kind = kind % 16 + 1;
        PlayerRecord& record = game->history.PlayerHistory[static_cast<std::size_t>(i)];
        const int fields[] = {kind, 20 + i % 200, 6, 6 + i % 2, 2026, i % 12 + 1, i % 28 + 1, 14, 5, 33, i % 3 - 1};
        for (int field = 1; field <= 11; ++field) record[field] = static_cast<std::int16_t>(fields[field - 1]);
    }
    return game;
}

// The least any coach that knows which kinds were never played must do.
int ScanEveryKind(const History& history) {
    int sum = 0;
    for (std::int32_t i = history.NumRecords; i >= 1; --i) sum += history.PlayerHistory[static_cast<std::size_t>(i)][1];
    return sum;
}

void BM_CoachChooseKind(benchmark::State& state) {
    auto game = HistoryOf(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                          static_cast<int>(state.range(2)));
    using Clock = std::chrono::steady_clock;
    const Clock::time_point coach_start = Clock::now();
    for (auto _ : state) benchmark::DoNotOptimize(progress::CoachChooseKind(*game));
    const double coach_seconds = std::chrono::duration<double>(Clock::now() - coach_start).count();

    const Clock::time_point floor_start = Clock::now();
    for (benchmark::IterationCount n = 0; n < state.iterations(); ++n) {
        benchmark::DoNotOptimize(ScanEveryKind(game->history));
    }
    const double floor_seconds = std::chrono::duration<double>(Clock::now() - floor_start).count();
    state.counters["x_floor"] = floor_seconds > 0 ? coach_seconds / floor_seconds : 0;
    state.counters["kind"] = progress::CoachChooseKind(*game);
}
BENCHMARK(BM_CoachChooseKind)
    ->Args({100000, 10, 0})        // every kind played: the scan stops once each has its reach
    ->Args({100000, 10, 16})       // PYR Any never played: the whole history is read
    ->Args({100000, 10000, 16})    // the widest reach
    ->Unit(benchmark::kMicrosecond);

}  // namespace
