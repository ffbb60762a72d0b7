#include "app/menu.h"

#include "app/rounding.h"
#include "platform/platform.h"
#include "platform/text_forms.h"
#include "progress/coach.h"
#include "progress/help_page.h"
#include "progress/progress_page.h"
#include "records/name_entry.h"

#include <string>
#include <string_view>

namespace app {

namespace {

constexpr platform::Color kMenuText = platform::Rgb(255, 255, 255);
constexpr platform::Color kMenuBackground = platform::Rgb(0, 0, 0);
// The entry that shows a current setting stands out in orange.
constexpr platform::Color kMenuHighlight = platform::Rgb(255, 150, 0);

constexpr int kProgressChoice = 60;
constexpr int kHelpChoice = 61;
constexpr int kCoachChoice = 62;
constexpr int kPlayChoice = 98;
constexpr int kExitChoice = 99;

// The sixteen etude kinds, four axis groups of four steps; each group shares a line.
constexpr std::string_view kEtudeEntries[16] = {
    "    1 Pitch45", "   2 Pitch90", "   3 Pitch135", "   4 PitchAny",  //
    "    5 Yaw  45", "   6 Yaw  90", "   7 Yaw  135", "   8 Yaw  Any",  //
    "    9 Roll 45", "  10 Roll 90", "  11 Roll 135", "  12 Roll Any",  //
    "   13 PYR  45", "  14 PYR  90", "  15 PYR  135", "  16 PYR  Any",
};

constexpr std::string_view kBeforeEntries[4] = {
    "   30  Color       White",
    "   31  Color       Transparent",
    "   32  Transparent Color",
    "   33  Transparent Transparent",
};
constexpr std::string_view kAfterEntries[4] = {
    "   34  Color       White",
    "   35  Color       Transparent",
    "   36  Transparent Color",
    "   37  Transparent Transparent",
};
constexpr std::string_view kEchoEntries[4] = {
    "   40  None",
    "   41  \"Pitch Up\"",
    "   42  \"Pitch Up\" or SUNK",
    "   43                SUNK",
};

void PrintLine(platform::Platform& platform, std::string_view text) {
    platform::GraphicPrintText(platform, text);
    platform::GraphicNewLine(platform);
}

// An entry in the highlight colour when it shows the current setting; the text
// colour is white again right after it.
void PrintEntry(platform::Platform& platform, std::string_view text, bool current) {
    if (current) {
        platform::GraphicSetColor(platform, kMenuHighlight, kMenuBackground);
        platform::GraphicPrintText(platform, text);
        platform::GraphicSetColor(platform, kMenuText, kMenuBackground);
    } else {
        platform::GraphicPrintText(platform, text);
    }
}

void PrintEntryLine(platform::Platform& platform, std::string_view text, bool current) {
    PrintEntry(platform, text, current);
    platform::GraphicNewLine(platform);
}

// The menu's font and colours; set again at every drawing, because the pages
// it opens draw in their own.
void UseMenuLook(const GameState& game) {
    platform::Platform& platform = *game.platform;
    platform::SetGameFont(platform, "courier new", RoundToInt32(game.screen.TextScale * 15.0));
    platform::GraphicSetColor(platform, kMenuText, kMenuBackground);
}

void DrawMenu(const GameState& game) {
    platform::Platform& platform = *game.platform;
    const Settings& settings = game.settings;
    UseMenuLook(game);
    platform::GraphicClear(platform);

    // The menu's empty top line tells of a record not kept (the etude just
    // left with "1", or finished) or a player file that cannot be read.
    if (!game.history.FileTrouble.empty()) {
        platform::GraphicSetColor(platform, kMenuHighlight, kMenuBackground);
        platform::GraphicPrintText(platform, " " + game.history.FileTrouble);
        platform::GraphicSetColor(platform, kMenuText, kMenuBackground);
    }
    platform::GraphicNewLine(platform);
    PrintLine(platform, " PLAYER NAME");
    platform::GraphicPrintText(platform, "    0  ");
    PrintLine(platform, settings.PlayerName);
    platform::GraphicNewLine(platform);

    PrintLine(platform, " ETUDE Rotation Degrees");
    for (int group = 0; group < 4; ++group) {
        for (int step = 1; step <= 4; ++step) {
            int kind = group * 4 + step;
            PrintEntry(platform, kEtudeEntries[kind - 1], settings.EtudeNumber == kind);
        }
        platform::GraphicNewLine(platform);
    }
    platform::GraphicNewLine(platform);

    PrintLine(platform, " CUBE FACE APPEARANCE");
    PrintLine(platform, "       Wall        Character");
    PrintLine(platform, " Before ROBO Arrives");
    for (int look = 1; look <= 4; ++look) {
        PrintEntryLine(platform, kBeforeEntries[look - 1], settings.BeforeArrivalLook == look);
    }
    PrintLine(platform, " After ROBO Arrives");
    for (int look = 1; look <= 4; ++look) {
        PrintEntryLine(platform, kAfterEntries[look - 1], settings.AfterArrivalLook == look);
    }
    platform::GraphicNewLine(platform);

    PrintLine(platform, " ECHO");
    for (int mode = 0; mode <= 3; ++mode) {
        PrintEntryLine(platform, kEchoEntries[mode], settings.EchoMode == mode);
    }
    platform::GraphicNewLine(platform);

    PrintLine(platform, " PAST PERFORMANCE REACH");
    platform::GraphicPrintText(platform, "   50  ");
    platform::GraphicPrintNumber(platform, settings.PastPerformanceReach);
    platform::GraphicNewLine(platform);
    platform::GraphicNewLine(platform);

    // Pages to read and the coach; like PLAY and EXIT the pages show no
    // setting, the coach is lit while it chooses the kind.
    PrintLine(platform, " PRACTICE");
    PrintLine(platform, "   60  PROGRESS");
    PrintLine(platform, "   61  HELP");
    PrintEntryLine(platform, "   62  COACH", settings.CoachOn);
    platform::GraphicNewLine(platform);
    platform::GraphicNewLine(platform);

    PrintLine(platform, " WHAT NEXT");
    PrintLine(platform, "   98  PLAY");
    PrintLine(platform, "   99  EXIT");
    platform::GraphicNewLine(platform);
    platform::GraphicPrintText(platform, " ? ");
}

}  // namespace

bool ApplyMenuChoice(GameState& game, int choice) {
    Settings& settings = game.settings;
    if (choice == 0) {
        // Records go to the new name's file from now on; its history is
        // loaded at the next pass.
        records::EnterPlayerName(game);
    } else if (choice >= 1 && choice <= 16) {
        settings.EtudeNumber = choice;
        // The player takes the choice back; the coach's run of choices ends here.
        settings.CoachOn = false;
        settings.CoachChoices.Fill(0);
    } else if (choice >= 30 && choice <= 33) {
        settings.BeforeArrivalLook = static_cast<std::int16_t>(choice - 29);
    } else if (choice >= 34 && choice <= 37) {
        settings.AfterArrivalLook = static_cast<std::int16_t>(choice - 33);
    } else if (choice >= 40 && choice <= 43) {
        settings.EchoMode = static_cast<std::int16_t>(choice - 40);
    } else if (choice == 50) {
        records::AskPastPerformanceReach(game);
    } else if (choice == kProgressChoice) {
        progress::ShowProgressPage(game);
    } else if (choice == kHelpChoice) {
        progress::ShowHelpPage(game);
    } else if (choice == kCoachChoice) {
        settings.CoachOn = true;
        settings.EtudeNumber = progress::CoachChooseKind(game);
    } else if (choice == kPlayChoice) {
        if (settings.CoachOn) {
            settings.EtudeNumber = progress::CoachChooseKind(game);
            progress::NoteCoachChoice(game);
        }
        return false;
    } else if (choice == kExitChoice) {
        game.flow.Quit = true;
        return false;
    }
    return true;
}

void ShowMainMenu(GameState& game) {
    platform::Platform& platform = *game.platform;
    platform::GraphicSetFocus(platform);
    platform::GraphicClear(platform);
    UseMenuLook(game);

    for (;;) {
        // The coach's kind follows the history and the reach, so the menu
        // shows the etude that PLAY will start.
        if (game.settings.CoachOn) game.settings.EtudeNumber = progress::CoachChooseKind(game);
        DrawMenu(game);
        std::string line = platform::GraphicLineInput(platform);
        if (platform::QuitRequested(platform)) {
            game.flow.Quit = true;
            return;
        }
        std::int16_t choice = RoundToInt16(platform::LeadingNumber(platform::ConsoleInputField(line, 1)));
        if (!ApplyMenuChoice(game, choice)) return;
        if (game.flow.Quit) return;  // the window was closed during a question screen
    }
}

}  // namespace app
