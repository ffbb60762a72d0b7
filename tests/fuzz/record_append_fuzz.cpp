// The record file's promise, fuzzed: whatever a player file held before (any
// bytes: garbage, Ctrl-Z anywhere, a cut-off line, no line end), every record
// the game appends reads back identical at the next load, and the records
// before it read as they did. The game's own load and append routines run on a
// real file in a scratch folder.
//
// Input layout: byte 0 picks 1..3 appends; then 22 bytes per append, the
// record's eleven fields as little-endian 16-bit integers (missing bytes read
// as 0); everything after that is the file's prior content.

#include "core/game_state.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "records/record_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr const char* kPlayerName = "FUZZ";
constexpr std::size_t kBytesPerRecord = 2 * FieldsPerRecord;

platform::Platform* g_platform = nullptr;

std::string Describe(const PlayerRecord& record) {
    std::string text;
    for (int field = 1; field <= FieldsPerRecord; ++field) {
        if (field > 1) text += ',';
        text += std::to_string(record[field]);
    }
    return text;
}

[[noreturn]] void Fail(const std::string& what, std::int32_t index, const PlayerRecord& expected,
                       const PlayerRecord& found) {
    std::fprintf(stderr, "APPEND PROPERTY BROKEN: %s at record %d: expected %s, loaded %s\n", what.c_str(),
                 static_cast<int>(index), Describe(expected).c_str(), Describe(found).c_str());
    std::abort();
}

std::vector<PlayerRecord> Load() {
    GameState game;
    game.platform = g_platform;
    game.settings.PlayerName = kPlayerName;
    records::LoadPlayerHistory(game);
    if (game.history.NumRecords < 0 ||
        static_cast<std::size_t>(game.history.NumRecords) + 1 != game.history.PlayerHistory.size()) {
        std::fprintf(stderr, "NumRecords %d does not match the %zu loaded records\n",
                     static_cast<int>(game.history.NumRecords), game.history.PlayerHistory.size());
        std::abort();
    }
    return game.history.PlayerHistory;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A folder of its own, so the player file never meets a real one; the
    // deep check points TMPDIR at a folder it removes afterwards.
    std::random_device entropy;
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("gyrovessel-fuzz-" + std::to_string(entropy()) + std::to_string(entropy()));
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    static platform::PlatformHandle handle = platform::CreateOffscreenPlatform(platform::OffscreenOptions{});
    g_platform = handle.get();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::size_t appends = 1 + data[0] % 3;
    std::size_t at = 1;
    std::vector<PlayerRecord> added(appends);
    for (PlayerRecord& record : added) {
        for (int field = 1; field <= FieldsPerRecord; ++field) {
            std::uint16_t bits = 0;
            if (at < size) bits = data[at];
            if (at + 1 < size) bits = static_cast<std::uint16_t>(bits | data[at + 1] << 8);
            at += 2;
            record[field] = static_cast<std::int16_t>(bits);
        }
    }
    std::size_t content_start = 1 + appends * kBytesPerRecord;
    std::string prior;
    if (content_start < size) prior.assign(reinterpret_cast<const char*>(data) + content_start, size - content_start);

    const std::string file_name = records::PlayerFileName(kPlayerName);
    {
        std::ofstream file(file_name, std::ios::binary | std::ios::trunc);
        file.write(prior.data(), static_cast<std::streamsize>(prior.size()));
    }

    std::vector<PlayerRecord> expected = Load();
    for (const PlayerRecord& record : added) {
        GameState game;
        game.platform = g_platform;
        game.settings.PlayerName = kPlayerName;
        game.history.PlayerHistory = expected;
        game.history.NumRecords = static_cast<std::int32_t>(expected.size());
        game.history.PlayerHistory.push_back(record);
        records::AppendLastRecord(game);
        expected.push_back(record);

        std::vector<PlayerRecord> loaded = Load();
        std::size_t common = std::min(loaded.size(), expected.size());
        for (std::size_t i = 1; i < common; ++i) {
            bool same = true;
            for (int field = 1; field <= FieldsPerRecord; ++field) same = same && loaded[i][field] == expected[i][field];
            if (!same) {
                Fail(i + 1 == expected.size() ? "the appended record reads back changed"
                                              : "an earlier record reads differently",
                     static_cast<std::int32_t>(i), expected[i], loaded[i]);
            }
        }
        if (loaded.size() != expected.size()) {
            std::fprintf(stderr, "APPEND PROPERTY BROKEN: %zu records expected after the append, %zu loaded\n",
                         expected.size() - 1, loaded.size() - 1);
            std::abort();
        }
    }
    std::filesystem::remove(file_name);
    return 0;
}
