// The player file is read at every pass: how long loading takes for a long
// history (100,000 etudes) and for a 10 MB file of bare line feeds (10 million
// blank lines, each a record of zeros), from a real file. Each figure comes
// with its ratio to the floor measured in the same run: reading the same
// bytes whole from the file and counting its line feeds, which any loader
// must at least do.
//
// Peak memory: /usr/bin/time -v build/record_file_bench --benchmark_filter=<name>
// ("Maximum resident set size").

#include "records/record_file.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

// A folder of its own for the player file, made the working directory while
// the benchmark runs.
struct BenchFolder {
    fs::path previous = fs::current_path();
    fs::path path = fs::temp_directory_path() / "gyrovessel-record-bench";
    BenchFolder() {
        fs::create_directories(path);
        fs::current_path(path);
    }
    ~BenchFolder() {
        fs::current_path(previous);
        fs::remove_all(path);
    }
};

std::string LongHistory(int records) {
    std::string text;
    text.reserve(static_cast<std::size_t>(records) * 36);
    for (int i = 1; i <= records; ++i) {
        text += std::to_string(i % 16 + 1) + "," + std::to_string(20 + i % 200) + ",6,6,2026," +
                std::to_string(i % 12 + 1) + "," + std::to_string(i % 28 + 1) + ",14,5,33," +
                std::to_string(i % 3 - 1) + "\r\n";
    }
    return text;
}

// Seconds to read the file whole and count its line feeds: the floor.
double FloorSeconds(const std::string& name) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        auto start = std::chrono::steady_clock::now();
        std::ifstream in(name, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        benchmark::DoNotOptimize(std::count(bytes.begin(), bytes.end(), '\n'));
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

void LoadFrom(benchmark::State& state, const std::string& bytes) {
    BenchFolder folder;
    auto game = std::make_unique<GameState>();
    game->settings.PlayerName = "ACE1";
    const std::string name = records::PlayerFileName(game->settings.PlayerName);
    {
        std::ofstream out(name, std::ios::binary);
        out << bytes;
    }
    const double floor = FloorSeconds(name);
    double total = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        records::LoadPlayerHistory(*game);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(game->history.NumRecords);
    }
    state.counters["records"] = game->history.NumRecords;
    state.counters["ratio_to_floor"] = total / static_cast<double>(state.iterations()) / floor;
    state.counters["record_MB"] = game->history.PlayerHistory.capacity() * sizeof(PlayerRecord) / 1e6;
}

void BM_LoadHundredThousandRecords(benchmark::State& state) {
    LoadFrom(state, LongHistory(100000));
}
BENCHMARK(BM_LoadHundredThousandRecords)->Unit(benchmark::kMillisecond);

void BM_LoadTenMegabytesOfLineFeeds(benchmark::State& state) {
    LoadFrom(state, std::string(10 * 1000 * 1000, '\n'));
}
BENCHMARK(BM_LoadTenMegabytesOfLineFeeds)->Unit(benchmark::kMillisecond);

}  // namespace
