// Typed answers, fuzzed: the first-field rule, the player-name check and the
// menu number, each through the game's own routines. The input is the keys a
// player types (Enter included, backspace included) before a known answer.
// Whatever they are: no crash and no undefined behaviour, every setting stays
// in its range, a stored name is 1..20 of A-Z and 0-9 and names a file inside
// the working directory, and a plain answer means what it says.

#include "app/main_flow.h"
#include "app/menu.h"
#include "core/game_state.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "platform/text_forms.h"
#include "records/name_entry.h"
#include "records/record_file.h"
#include "render/view.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
// Longer plain lines could meet the window's right edge, where typing stops.
constexpr std::size_t kPlainLineLimit = 40;

void Check(bool holds, const char* what, std::string_view input) {
    if (holds) return;
    std::fprintf(stderr, "TYPED ANSWER BROKEN: %s; typed %zu bytes:", what, input.size());
    for (unsigned char c : input) std::fprintf(stderr, " %02x", c);
    std::fprintf(stderr, "\n");
    std::abort();
}

// Keys that reach the line unchanged: no Enter, no backspace, no control key.
bool IsPlainLine(std::string_view keys) {
    if (keys.size() > kPlainLineLimit) return false;
    for (unsigned char c : keys) {
        if (c < 32 || c == 127) return false;
    }
    return true;
}

bool IsValidName(const std::string& name) {
    if (name.empty() || name.size() > 20) return false;
    for (char c : name) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

// The name a plain line asks for: its first field, blanks trimmed, a-z raised.
std::string AskedName(std::string_view line) {
    std::string field = platform::ConsoleInputField(line, 1);
    std::size_t first = field.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    std::size_t last = field.find_last_not_of(' ');
    std::string name = field.substr(first, last - first + 1);
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return name;
}

std::unique_ptr<GameState> NewGame(platform::PlatformHandle& handle) {
    platform::OffscreenOptions options;
    options.width = kWidth;
    options.height = kHeight;
    handle = platform::CreateOffscreenPlatform(options);
    auto game = std::make_unique<GameState>();
    game->platform = handle.get();
    render::ComputeScreenMetricsFor(game->screen, kWidth, kHeight);
    if (!app::OpenPassWindow(*game)) std::abort();
    return game;
}

// -- The first-field rule and the number read from it --

void CheckFields(std::string_view line) {
    for (int n = 1; n <= 3; ++n) {
        std::string field = platform::ConsoleInputField(line, n);
        Check(field.size() <= line.size(), "a field is longer than its line", line);
        if (n == 1) {
            Check(line.find(field) != std::string_view::npos, "the first field is not a piece of its line", line);
            std::size_t start = line.find_first_not_of(' ');
            bool quoted = start != std::string_view::npos && line[start] == '"';
            if (quoted) Check(field.find('"') == std::string::npos, "a quoted field holds a double quote", line);
            else Check(field.find(',') == std::string::npos, "a plain field holds a comma", line);
        }
        double number = platform::LeadingNumber(field);
        Check(!std::isnan(number), "a field reads as NaN", line);
    }
}

// -- The name question --

void CheckNameQuestion(std::string_view keys) {
    platform::PlatformHandle handle;
    std::unique_ptr<GameState> game = NewGame(handle);
    platform::QueueKeys(*handle, keys);
    // Whatever the keys were, a good name comes after them.
    platform::QueueKeys(*handle, "\rFALLBACK\r");
    records::EnterPlayerName(*game);
    const std::string& name = game->settings.PlayerName;
    Check(!game->flow.Quit, "the name question quit with a good name still to come", keys);
    Check(IsValidName(name), "a refused name was stored", keys);
    std::filesystem::path file = records::PlayerFileName(name);
    Check(file.has_filename() && !file.has_parent_path() && file.filename() == file && file != "." && file != "..",
          "the player file is not a file in the working directory", keys);
    if (IsPlainLine(keys)) {
        std::string asked = AskedName(keys);
        if (IsValidName(asked)) Check(name == asked, "a valid name was not taken as typed", keys);
        else Check(name == "FALLBACK", "an invalid name was not refused", keys);
    }
}

// -- The menu number --

void CheckMenuChoice(std::string_view keys) {
    platform::PlatformHandle handle;
    std::unique_ptr<GameState> game = NewGame(handle);
    game->settings.PlayerName = "BEFORE";
    platform::QueueKeys(*handle, keys);
    // Then PLAY; after 0 or 50 the question takes "98" as its answer instead,
    // and the keys run out (the menu then returns as if the window closed).
    platform::QueueKeys(*handle, "\r98\r");
    app::ShowMainMenu(*game);
    const Settings& settings = game->settings;
    Check(settings.EtudeNumber >= 1 && settings.EtudeNumber <= 16, "the etude kind left 1..16", keys);
    Check(settings.BeforeArrivalLook >= 1 && settings.BeforeArrivalLook <= 4, "a look left 1..4", keys);
    Check(settings.AfterArrivalLook >= 1 && settings.AfterArrivalLook <= 4, "a look left 1..4", keys);
    Check(settings.EchoMode >= 0 && settings.EchoMode <= 3, "the echo mode left 0..3", keys);
    Check(settings.PastPerformanceReach >= 1 && settings.PastPerformanceReach <= 10000, "the reach left 1..10000",
          keys);
    Check(IsValidName(settings.PlayerName), "the menu left an invalid name", keys);
    // A plain whole number is the choice it reads as.
    if (IsPlainLine(keys) && !keys.empty() && keys.size() <= 4 &&
        keys.find_first_not_of("0123456789") == std::string_view::npos) {
        int choice = std::stoi(std::string(keys));
        if (choice >= 1 && choice <= 16) Check(settings.EtudeNumber == choice, "a plain etude kind was not taken", keys);
        if (choice == 99) Check(game->flow.Quit, "99 did not end the game", keys);
        if (choice == 98) Check(!game->flow.Quit, "98 ended the game", keys);
        if (choice == 50) Check(settings.PastPerformanceReach == 98, "50 did not ask for the reach", keys);
        if (choice == 0) Check(settings.PlayerName == "98", "0 did not ask for a name", keys);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view keys(reinterpret_cast<const char*>(data), size);
    CheckFields(keys);
    CheckNameQuestion(keys);
    CheckMenuChoice(keys);
    return 0;
}
