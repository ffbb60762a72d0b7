// Whole runs of the game through the off-screen back end: the real main flow,
// fed with scripted keys, checked by what it leaves in the player file and on
// the canvas.

#include "app/main_flow.h"
#include "app/pass_setup.h"
#include "etude/generation.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "tests/etude_fixture.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr double kStartClock = 36000.0;

platform::OffscreenOptions SmallScreen() {
    platform::OffscreenOptions options;
    options.width = 960;
    options.height = 540;
    options.start_clock = kStartClock;
    return options;
}

// Runs each test in a fresh working directory, since the game writes its
// player files there.
class MainFlowTest : public ::testing::Test {
protected:
    static std::string ReadFile(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        std::stringstream contents;
        contents << in.rdbuf();
        return contents.str();
    }

    // The keys that undo the tumbles of the first etude of a run seeded at the
    // start clock: the same pass set-up and tumbles, made on a twin of the game.
    static std::string UndoKeysOfFirstEtude(int etude_number) {
        auto twin_platform = platform::CreateOffscreenPlatform(SmallScreen());
        auto twin = std::make_unique<GameState>();
        twin->platform = twin_platform.get();
        platform::SeedRandom(twin->random, kStartClock);
        twin->settings.EtudeNumber = etude_number;
        app::PassSetUp(*twin);
        etude::GenerateTumbles(*twin);
        return etude_test::UndoKeys(*twin);
    }

    static int CountPrinted(const platform::Platform& canvas, const std::string& text) {
        const auto& texts = platform::PrintedTexts(canvas);
        return static_cast<int>(std::count_if(texts.begin(), texts.end(),
                                              [&](const platform::PrintedText& t) { return t.text == text; }));
    }

    test_support::ScratchDirectory scratch_{"gyrovessel-flow-"};
};

TEST_F(MainFlowTest, WonEtudeIsRecordedAndCountedByTheNextPass) {
    std::string undo = UndoKeysOfFirstEtude(14);
    ASSERT_EQ(undo.size(), 12u) << "a PYR 90 etude expects two presses a wall";

    auto canvas = platform::CreateOffscreenPlatform(SmallScreen());
    platform::QueueKeys(*canvas, " ace \r");  // the name, asked at the first pass only
    platform::QueueKeys(*canvas, "14\r98\r");
    platform::QueueKeys(*canvas, undo);
    platform::QueueIdle(*canvas, 3);
    platform::QueueKeys(*canvas, "1");       // back to the menu: a new pass
    platform::QueueKeys(*canvas, "0\r cy\r"); // a new player, whose history the pass after loads
    platform::QueueKeys(*canvas, "98\r");    // the same kind again, kept across the pass
    platform::QueueIdle(*canvas, 3);
    platform::QueueKeys(*canvas, "1");
    platform::QueueKeys(*canvas, "98\r");
    platform::QueueIdle(*canvas, 3);
    platform::QueueKey(*canvas, "\x1b");

    EXPECT_EQ(app::RunGame(*canvas), 0);

    std::string file = ReadFile("player-ace.txt");
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 1) << file;
    EXPECT_EQ(file.rfind("14,", 0), 0u) << file;
    EXPECT_NE(file.find(",12,12,"), std::string::npos) << file;
    EXPECT_EQ(file.substr(file.size() - 4), ",1\r\n") << file;

    EXPECT_EQ(CountPrinted(*canvas, "     PlayerName ? "), 2);  // at the first pass, and for choice 0
    EXPECT_GT(CountPrinted(*canvas, "ACE PERFORMANCE") + CountPrinted(*canvas, "ACE"), 0);

    // The second etude's table already counts the won etude of kind 14: one
    // won, none lost or incomplete, 100 per cent.
    const auto& texts = platform::PrintedTexts(*canvas);
    auto counted = std::find_if(texts.rbegin(), texts.rend(), [](const platform::PrintedText& t) {
        return t.text.rfind(" 14  90", 0) == 0 && t.text.find("    1    0    0  100.00") != std::string::npos;
    });
    EXPECT_NE(counted, texts.rend());
    // The third pass reads the new player's history, which is empty.
    auto last_row = std::find_if(texts.rbegin(), texts.rend(),
                                 [](const platform::PrintedText& t) { return t.text.rfind(" 14  90", 0) == 0; });
    ASSERT_NE(last_row, texts.rend());
    EXPECT_EQ(last_row->text, " 14  90  *** ***  *********  ********  ***  ***  ***  ******");
    EXPECT_GT(CountPrinted(*canvas, "CY PERFORMANCE"), 0);
    EXPECT_NE(std::find_if(texts.begin(), texts.end(),
                           [](const platform::PrintedText& t) { return t.text == "  Game WON because 0 excess moves"; }),
              texts.end());

    const auto& cues = platform::CuesPlayed(*canvas);
    ASSERT_FALSE(cues.empty());
    EXPECT_EQ(cues.front(), "corkpop");
    EXPECT_EQ(cues.back(), "speakquit");
    EXPECT_NE(std::find(cues.begin(), cues.end(), "speakmainmenu"), cues.end());
}

TEST_F(MainFlowTest, ExitFromTheMenuEndsSilentlyWithNothingRecorded) {
    auto canvas = platform::CreateOffscreenPlatform(SmallScreen());
    platform::QueueKeys(*canvas, "bo\r99\r");
    EXPECT_EQ(app::RunGame(*canvas), 0);
    EXPECT_FALSE(std::filesystem::exists("player-bo.txt"));
    const auto& cues = platform::CuesPlayed(*canvas);
    ASSERT_EQ(cues.size(), 1u);  // only the start cue: EXIT makes no sound
    EXPECT_EQ(cues.front(), "corkpop");
}

TEST_F(MainFlowTest, EscDuringAnEtudeEndsTheRunWithoutARecord) {
    auto canvas = platform::CreateOffscreenPlatform(SmallScreen());
    platform::QueueKeys(*canvas, "cy\r98\r7");
    platform::QueueIdle(*canvas, 2);
    platform::QueueKey(*canvas, "\x1b");
    EXPECT_EQ(app::RunGame(*canvas), 0);
    EXPECT_FALSE(std::filesystem::exists("player-cy.txt"));
    EXPECT_EQ(platform::CuesPlayed(*canvas).back(), "speakquit");
}

TEST_F(MainFlowTest, RunOutOfKeysEndsTheRunInsteadOfWaiting) {
    auto canvas = platform::CreateOffscreenPlatform(SmallScreen());
    platform::QueueKeys(*canvas, "dee\r98\r");
    EXPECT_EQ(app::RunGame(*canvas), 0);
    EXPECT_FALSE(std::filesystem::exists("player-dee.txt"));
}

}  // namespace
