#include "app/menu.h"

#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "progress/help_page.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr platform::Color kWhite = platform::Rgb(255, 255, 255);
constexpr platform::Color kHighlight = platform::Rgb(255, 150, 0);

// Every text of one menu drawing and the line (1..43) it belongs on: the
// written lines as they have always been, and the PRACTICE block before WHAT NEXT.
struct MenuLine {
    int line;
    const char* text;
};
const std::vector<MenuLine> kMenuTexts = {
    {2, " PLAYER NAME"},
    {3, "    0  "},
    {3, "ACE1"},
    {5, " ETUDE Rotation Degrees"},
    {6, "    1 Pitch45"}, {6, "   2 Pitch90"}, {6, "   3 Pitch135"}, {6, "   4 PitchAny"},
    {7, "    5 Yaw  45"}, {7, "   6 Yaw  90"}, {7, "   7 Yaw  135"}, {7, "   8 Yaw  Any"},
    {8, "    9 Roll 45"}, {8, "  10 Roll 90"}, {8, "  11 Roll 135"}, {8, "  12 Roll Any"},
    {9, "   13 PYR  45"}, {9, "  14 PYR  90"}, {9, "  15 PYR  135"}, {9, "  16 PYR  Any"},
    {11, " CUBE FACE APPEARANCE"},
    {12, "       Wall        Character"},
    {13, " Before ROBO Arrives"},
    {14, "   30  Color       White"},
    {15, "   31  Color       Transparent"},
    {16, "   32  Transparent Color"},
    {17, "   33  Transparent Transparent"},
    {18, " After ROBO Arrives"},
    {19, "   34  Color       White"},
    {20, "   35  Color       Transparent"},
    {21, "   36  Transparent Color"},
    {22, "   37  Transparent Transparent"},
    {24, " ECHO"},
    {25, "   40  None"},
    {26, "   41  \"Pitch Up\""},
    {27, "   42  \"Pitch Up\" or SUNK"},
    {28, "   43                SUNK"},
    {30, " PAST PERFORMANCE REACH"},
    {31, "   50  "},
    {31, " 10 "},
    {33, " PRACTICE"},
    {34, "   60  PROGRESS"},
    {35, "   61  HELP"},
    {36, "   62  COACH"},
    {39, " WHAT NEXT"},
    {40, "   98  PLAY"},
    {41, "   99  EXIT"},
    {43, " ? "},
};

class MenuTest : public test_support::PassCanvasTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(PassCanvasTest::SetUp());
        game_->settings.PlayerName = "ACE1";
    }

    // Types the answers (each ended by Enter) and runs the menu until it returns.
    void Run(const std::string& keys) {
        platform::QueueKeys(*platform_, keys);
        app::ShowMainMenu(*game_);
    }

    // The texts of every menu drawing so far, each from " PLAYER NAME" to the " ? " prompt.
    std::vector<std::vector<platform::PrintedText>> Menus() {
        std::vector<std::vector<platform::PrintedText>> menus;
        bool inside = false;
        for (const auto& printed : platform::PrintedTexts(*platform_)) {
            if (printed.text == " PLAYER NAME") {
                menus.emplace_back();
                inside = true;
            }
            if (!inside || printed.text.empty()) continue;
            menus.back().push_back(printed);
            if (printed.text == " ? ") inside = false;
        }
        return menus;
    }

    // The texts of the last menu drawing.
    std::vector<platform::PrintedText> LastMenu() {
        auto menus = Menus();
        return menus.empty() ? std::vector<platform::PrintedText>{} : menus.back();
    }

    void AddRecord(int kind, int status) {
        auto& records = game_->history.PlayerHistory;
        if (records.empty()) records.assign(1, PlayerRecord{});
        PlayerRecord record{};
        record[1] = static_cast<std::int16_t>(kind);
        record[2] = 30;
        record[3] = record[4] = 6;
        record[11] = static_cast<std::int16_t>(status);
        records.push_back(record);
        game_->history.NumRecords = static_cast<std::int32_t>(records.size()) - 1;
    }

    bool Highlighted(const std::vector<platform::PrintedText>& menu, const std::string& text) {
        for (const auto& printed : menu) {
            if (printed.text == text) return printed.color == kHighlight;
        }
        ADD_FAILURE() << "not in the menu: " << text;
        return false;
    }

    bool Printed(const std::string& text) {
        for (const auto& printed : platform::PrintedTexts(*platform_)) {
            if (printed.text == text) return true;
        }
        return false;
    }
};

TEST_F(MenuTest, FortyThreeLinesWithTheCurrentSettingsHighlighted) {
    Run("14\r");  // then the script runs out, which closes the window
    EXPECT_EQ(game_->settings.EtudeNumber, 14);
    EXPECT_TRUE(game_->flow.Quit);

    auto menu = LastMenu();
    ASSERT_EQ(menu.size(), kMenuTexts.size());
    const float line_height = menu[0].y - menu[1].y;  // lines 2 and 3
    ASSERT_GT(line_height, 0);
    // Default looks 3 and 4 and echo 1, and the kind just chosen.
    const std::vector<std::string> highlighted = {"  14 PYR  90", "   32  Transparent Color",
                                                  "   37  Transparent Transparent", "   41  \"Pitch Up\""};
    for (std::size_t n = 0; n < menu.size(); ++n) {
        EXPECT_EQ(menu[n].text, kMenuTexts[n].text);
        int line = 2 + static_cast<int>(std::lround((menu[0].y - menu[n].y) / line_height));
        EXPECT_EQ(line, kMenuTexts[n].line) << menu[n].text;
        bool current = std::find(highlighted.begin(), highlighted.end(), menu[n].text) != highlighted.end();
        EXPECT_EQ(menu[n].color, current ? kHighlight : kWhite) << menu[n].text;
        EXPECT_EQ(menu[n].font_face, "courier new");
        EXPECT_EQ(menu[n].font_points, 10);
    }
    // The four entries of a group follow one another on their line.
    for (std::size_t n = 5; n < 20; ++n) {
        if (kMenuTexts[n].line == kMenuTexts[n - 1].line) {
            EXPECT_GT(menu[n].x, menu[n - 1].x);
        }
    }
}

TEST_F(MenuTest, ChoicesRoundHalfToEvenAndOnlyTheFirstFieldCounts) {
    Run("2.5\r98\r");
    EXPECT_EQ(game_->settings.EtudeNumber, 2);
    Run("3.5\r98\r");
    EXPECT_EQ(game_->settings.EtudeNumber, 4);
    Run("7,99\r98\r");
    EXPECT_EQ(game_->settings.EtudeNumber, 7);
    EXPECT_FALSE(game_->flow.Quit);
}

TEST_F(MenuTest, EverySettingOfTheEffectTable) {
    Run("16\r30\r37\r43\r98\r");
    EXPECT_EQ(game_->settings.EtudeNumber, 16);
    EXPECT_EQ(game_->settings.BeforeArrivalLook, 1);
    EXPECT_EQ(game_->settings.AfterArrivalLook, 4);
    EXPECT_EQ(game_->settings.EchoMode, 3);
    Run("1\r33\r34\r40\r98\r");
    EXPECT_EQ(game_->settings.EtudeNumber, 1);
    EXPECT_EQ(game_->settings.BeforeArrivalLook, 4);
    EXPECT_EQ(game_->settings.AfterArrivalLook, 1);
    EXPECT_EQ(game_->settings.EchoMode, 0);
    EXPECT_FALSE(game_->flow.Quit);
}

TEST_F(MenuTest, NumbersOutsideTheTableChangeNothing) {
    Settings before = game_->settings;
    Run("17\r29\r38\r44\r51\r59\r63\r97\r-1\r98\r");
    EXPECT_EQ(game_->settings.EtudeNumber, before.EtudeNumber);
    EXPECT_EQ(game_->settings.BeforeArrivalLook, before.BeforeArrivalLook);
    EXPECT_EQ(game_->settings.AfterArrivalLook, before.AfterArrivalLook);
    EXPECT_EQ(game_->settings.EchoMode, before.EchoMode);
    EXPECT_EQ(game_->settings.PastPerformanceReach, before.PastPerformanceReach);
    EXPECT_EQ(game_->settings.PlayerName, before.PlayerName);
    EXPECT_FALSE(game_->settings.CoachOn);
    EXPECT_FALSE(Printed("     PlayerName ? "));
    EXPECT_FALSE(game_->flow.Quit);
    // Each number only redraws: every drawing is the first one again, text,
    // place and colour.
    auto menus = Menus();
    ASSERT_EQ(menus.size(), 10u);
    for (std::size_t m = 1; m < menus.size(); ++m) {
        ASSERT_EQ(menus[m].size(), menus[0].size());
        for (std::size_t n = 0; n < menus[0].size(); ++n) {
            EXPECT_EQ(menus[m][n].text, menus[0][n].text);
            EXPECT_EQ(menus[m][n].x, menus[0][n].x);
            EXPECT_EQ(menus[m][n].y, menus[0][n].y);
            EXPECT_EQ(menus[m][n].color, menus[0][n].color) << menus[m][n].text;
        }
    }
}

TEST_F(MenuTest, SixtyTwoLetsTheCoachChooseUntilAKindIsChosen) {
    AddRecord(1, 1);  // kind 1 played: the coach gives the next kind never played
    Run("62\r98\r");
    EXPECT_TRUE(game_->settings.CoachOn);
    EXPECT_EQ(game_->settings.EtudeNumber, 2);
    EXPECT_EQ(game_->settings.CoachChoices[2], 2);  // remembered for the repeat rule
    auto coached = LastMenu();
    EXPECT_TRUE(Highlighted(coached, "   62  COACH"));
    EXPECT_TRUE(Highlighted(coached, "   2 Pitch90"));
    EXPECT_FALSE(Highlighted(coached, "    1 Pitch45"));

    AddRecord(2, 0);  // the next pass: the coach has moved on before the menu shows
    Run("9\r98\r");
    EXPECT_FALSE(game_->settings.CoachOn);
    EXPECT_EQ(game_->settings.CoachChoices[2], 0);  // the coach's run of choices ended with the player's
    EXPECT_EQ(game_->settings.EtudeNumber, 9);
    auto menus = Menus();
    ASSERT_GE(menus.size(), 3u);
    EXPECT_TRUE(Highlighted(menus[menus.size() - 2], "   3 Pitch135"));
    EXPECT_FALSE(Highlighted(menus.back(), "   62  COACH"));
    EXPECT_TRUE(Highlighted(menus.back(), "    9 Roll 45"));
}

TEST_F(MenuTest, SixtyAndSixtyOneShowTheirPagesUntilEnterOrOne) {
    Run("60\r\r61\r1");
    EXPECT_TRUE(Printed("PROGRESS"));
    EXPECT_TRUE(Printed("HELP"));
    auto menus = Menus();
    ASSERT_EQ(menus.size(), 3u);  // the menu again after each visit
    EXPECT_EQ(menus[2].size(), menus[0].size());
    EXPECT_EQ(game_->settings.EtudeNumber, 1);
    EXPECT_EQ(menus[2][0].font_face, "courier new");  // the menu's own face again after the page's

    ASSERT_NO_FATAL_FAILURE(OpenCanvas());  // the first script has run out, which ended that session
    Run("61\r\x1b" "98\r");
    EXPECT_TRUE(game_->flow.Quit);
    ASSERT_FALSE(platform::CuesPlayed(*platform_).empty());
    EXPECT_EQ(platform::CuesPlayed(*platform_).back(), "speakquit");
}

TEST_F(MenuTest, EmptyOrTextAnswerOpensTheNameEntry) {
    Run("\rbob\rzed\rcat\r98\r");
    EXPECT_EQ(game_->settings.PlayerName, "CAT");
    auto menu = LastMenu();
    ASSERT_GT(menu.size(), 2u);
    EXPECT_EQ(menu[2].text, "CAT");
}

TEST_F(MenuTest, FiftyAsksForTheReachAndTheMenuShowsIt) {
    Run("50\r25\r98\r");
    EXPECT_EQ(game_->settings.PastPerformanceReach, 25);
    bool shown = false;
    for (const auto& printed : LastMenu()) {
        if (printed.text == " 25 ") {
            shown = true;
            EXPECT_EQ(printed.color, kWhite);
        }
    }
    EXPECT_TRUE(shown);
}

TEST_F(MenuTest, PlayReturnsToTheCaller) {
    Run("98\r5\r");
    EXPECT_FALSE(game_->flow.Quit);
    EXPECT_EQ(game_->settings.EtudeNumber, 1);  // the menu stopped reading at 98
}

TEST_F(MenuTest, ExitQuitsWithoutASound) {
    Run("99\r5\r");
    EXPECT_TRUE(game_->flow.Quit);
    EXPECT_EQ(game_->settings.EtudeNumber, 1);
    EXPECT_TRUE(platform::CuesPlayed(*platform_).empty());
}

TEST_F(MenuTest, TheHelpPageStaysInsideTheSmallestWindow) {
    ASSERT_NO_FATAL_FAILURE(OpenCanvas(1024, 768));
    game_->settings.PlayerName = "ACE1";
    progress::DrawHelpPage(*game_);
    // Text that ran past the right edge would wrap to the left edge, and text
    // below the window would scroll it: the outermost pixels stay black.
    int lit = 0;
    for (int row = 0; row < 768; ++row) {
        for (int column : {0, 1, 2, 1021, 1022, 1023}) lit += platform::DevicePixelAt(*platform_, column, row) != 0;
    }
    for (int column = 0; column < 1024; ++column) {
        for (int row : {0, 1, 765, 766, 767}) lit += platform::DevicePixelAt(*platform_, column, row) != 0;
    }
    EXPECT_EQ(lit, 0);
    EXPECT_TRUE(Printed("one line to player-ace1.txt in the folder"));
}

}  // namespace
