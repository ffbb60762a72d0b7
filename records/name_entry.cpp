#include "records/name_entry.h"

#include "core/rounding.h"
#include "platform/platform.h"
#include "platform/text_forms.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace records {

namespace {

constexpr std::size_t kMaxNameLength = 20;
constexpr std::int32_t kMinReach = 1;
constexpr std::int32_t kMaxReach = 10000;

// Both question screens start alike: focus, a clean window, the question font,
// white on black.
void OpenQuestionScreen(GameState& game) {
    platform::Platform& platform = *game.platform;
    platform::GraphicSetFocus(platform);
    platform::GraphicClear(platform);
    platform::SetGameFont(platform, "courier new", RoundToInt32(game.screen.TextScale * 15.0));
    platform::GraphicSetColor(platform, platform::Rgb(255, 255, 255), platform::Rgb(0, 0, 0));
}

// The typed answer's first field, or false when the player closed the window
// (or the key script ran out) instead of answering.
bool ReadAnswer(GameState& game, std::string& field) {
    platform::Platform& platform = *game.platform;
    std::string line = platform::GraphicLineInput(platform);
    if (platform::QuitRequested(platform)) {
        game.flow.Quit = true;
        return false;
    }
    field = platform::ConsoleInputField(line, 1);
    return true;
}

std::string TrimmedUpperCase(std::string_view field) {
    std::size_t first = field.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    std::size_t last = field.find_last_not_of(' ');
    std::string name(field.substr(first, last - first + 1));
    // Only a-z change: every other character is refused by the check anyway.
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return name;
}

bool IsNameCharacter(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); }

// The message for a refused name, or empty text for a good one. The checks run
// in this order and the first failure decides.
std::string_view NameProblem(const std::string& name) {
    if (name.empty()) return "     Too short, minimum one character, please redo";
    if (name.size() > kMaxNameLength) return "     Too long, maximum 20 characters, please redo";
    for (char c : name) {
        if (!IsNameCharacter(c)) return "     AlphaNumeric characters only, please redo";
    }
    return {};
}

}  // namespace

// -- Player name --

void EnterPlayerName(GameState& game) {
    platform::Platform& platform = *game.platform;
    OpenQuestionScreen(game);
    for (;;) {
        // The window is not cleared between attempts: each new prompt comes
        // below the last message, and the window scrolls as it fills.
        platform::GraphicNewLine(platform);
        platform::GraphicNewLine(platform);
        platform::GraphicNewLine(platform);
        platform::GraphicPrintText(platform, "     PlayerName ? ");

        std::string field;
        if (!ReadAnswer(game, field)) return;
        std::string name = TrimmedUpperCase(field);
        std::string_view problem = NameProblem(name);
        if (problem.empty()) {
            // Only a valid name is ever stored: it becomes part of a file name.
            game.settings.PlayerName = std::move(name);
            return;
        }
        platform::GraphicPrintText(platform, problem);
        platform::GraphicNewLine(platform);
    }
}

// -- Past performance reach --

void AskPastPerformanceReach(GameState& game) {
    platform::Platform& platform = *game.platform;
    OpenQuestionScreen(game);
    platform::GraphicNewLine(platform);
    platform::GraphicPrintText(platform, "     Past Performance Reach ? ");

    std::string field;
    if (!ReadAnswer(game, field)) return;
    std::int64_t reach = RoundHalfEven(platform::LeadingNumber(field));
    if (reach < kMinReach) reach = kMinReach;
    if (reach > kMaxReach) reach = kMaxReach;
    game.settings.PastPerformanceReach = static_cast<std::int32_t>(reach);
}

}  // namespace records
