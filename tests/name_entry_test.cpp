#include "records/name_entry.h"

#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* kTooShort = "     Too short, minimum one character, please redo";
constexpr const char* kTooLong = "     Too long, maximum 20 characters, please redo";
constexpr const char* kNotAlphaNumeric = "     AlphaNumeric characters only, please redo";
constexpr const char* kNamePrompt = "     PlayerName ? ";
constexpr const char* kReachPrompt = "     Past Performance Reach ? ";

class QuestionScreenTest : public test_support::PassCanvasTest {
protected:
    // The game's own texts printed so far, in order (the echo of the typing left out).
    std::vector<platform::PrintedText> Printed(const std::vector<std::string>& of_interest) {
        std::vector<platform::PrintedText> found;
        for (const auto& printed : platform::PrintedTexts(*platform_)) {
            for (const auto& text : of_interest) {
                if (printed.text == text) found.push_back(printed);
            }
        }
        return found;
    }

    std::string NameFor(const std::string& answer) {
        game_->settings.PlayerName.clear();
        platform::QueueKeys(*platform_, answer + "\r");
        records::EnterPlayerName(*game_);
        return game_->settings.PlayerName;
    }

    std::int32_t ReachFor(const std::string& answer) {
        game_->settings.PastPerformanceReach = 777;
        platform::QueueKeys(*platform_, answer + "\r");
        records::AskPastPerformanceReach(*game_);
        return game_->settings.PastPerformanceReach;
    }
};

// -- Player name --

TEST_F(QuestionScreenTest, NameIsTrimmedUpperCasedAndOnlyItsFirstFieldCounts) {
    EXPECT_EQ(NameFor(" ace1 "), "ACE1");
    EXPECT_EQ(NameFor("ACE,TWO"), "ACE");
    EXPECT_EQ(NameFor("abcdefghij0123456789"), "ABCDEFGHIJ0123456789");  // exactly 20
    EXPECT_EQ(NameFor("\"  bob \",x"), "BOB");
    EXPECT_FALSE(game_->flow.Quit);

    auto prompts = Printed({kNamePrompt});
    ASSERT_FALSE(prompts.empty());
    EXPECT_EQ(prompts[0].font_face, "courier new");
    EXPECT_EQ(prompts[0].font_points, 10);  // 0.7 x 15 = 10.5, halves to even
    EXPECT_EQ(prompts[0].color, platform::Rgb(255, 255, 255));
}

TEST_F(QuestionScreenTest, EveryBadNameIsAnsweredAndAskedAgainLower) {
    // Too long and not alphanumeric at once: the length is checked first.
    platform::QueueKeys(*platform_, "\r" "abcdefghij-123456789k\r" "RED-FOX\r" "RED FOX\r" "ACE1!\r" "ok\r");
    records::EnterPlayerName(*game_);
    EXPECT_EQ(game_->settings.PlayerName, "OK");

    auto texts = Printed({kNamePrompt, kTooShort, kTooLong, kNotAlphaNumeric});
    std::vector<std::string> expected = {kNamePrompt, kTooShort,         kNamePrompt, kTooLong,
                                         kNamePrompt, kNotAlphaNumeric,  kNamePrompt, kNotAlphaNumeric,
                                         kNamePrompt, kNotAlphaNumeric,  kNamePrompt};
    ASSERT_EQ(texts.size(), expected.size());
    for (std::size_t n = 0; n < texts.size(); ++n) EXPECT_EQ(texts[n].text, expected[n]) << n;
    // Not cleared between attempts: each text is printed below the one before.
    for (std::size_t n = 1; n < texts.size(); ++n) EXPECT_LT(texts[n].y, texts[n - 1].y) << n;
}

TEST_F(QuestionScreenTest, ClosingTheWindowLeavesNoInvalidName) {
    game_->settings.PlayerName = "OLD";
    platform::QueueKeys(*platform_, "RED-FOX\r");
    records::EnterPlayerName(*game_);  // the script runs out at the second question
    EXPECT_EQ(game_->settings.PlayerName, "OLD");
    EXPECT_TRUE(game_->flow.Quit);
}

// -- Past performance reach --

TEST_F(QuestionScreenTest, ReachIsRoundedAndBroughtIntoRange) {
    EXPECT_EQ(ReachFor("0"), 1);
    EXPECT_EQ(ReachFor("-5"), 1);
    EXPECT_EQ(ReachFor(""), 1);
    EXPECT_EQ(ReachFor("many"), 1);
    EXPECT_EQ(ReachFor("10001"), 10000);
    EXPECT_EQ(ReachFor("12345678901"), 10000);
    EXPECT_EQ(ReachFor("2.5"), 2);
    EXPECT_EQ(ReachFor("3.5"), 4);
    EXPECT_EQ(ReachFor("25"), 25);
    EXPECT_EQ(ReachFor(" 40,7"), 40);
    EXPECT_FALSE(game_->flow.Quit);
    EXPECT_EQ(Printed({kReachPrompt}).size(), 10u);
}

}  // namespace
