// Keys, typed lines, the scripted clock and the console of the off-screen back
// end, and the desktop window's key coding.

#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "platform/desktop/desktop_keys.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using namespace platform;

PlatformHandle MakeWindow(int width = 4000, int height = 300) {
    PlatformHandle platform = test_support::MakeCentredWindow(width, height, 0xFFFFFF, 0x000000);
    SetGameFont(*platform, "courier new", 15);
    return platform;
}

int Beeps(const Platform& platform) {
    const std::vector<std::string>& cues = CuesPlayed(platform);
    return static_cast<int>(std::count(cues.begin(), cues.end(), "<beep>"));
}

TEST(InkeyTest, EachKeyIsDeliveredOnceThenTheScriptEnds) {
    PlatformHandle platform = MakeWindow();
    QueueKeys(*platform, "a");
    QueueKey(*platform, std::string("\0H", 2));  // cursor up
    EXPECT_EQ(GraphicInkey(*platform), "a");
    std::string up = GraphicInkey(*platform);
    ASSERT_EQ(up.size(), 2u);
    EXPECT_EQ(up[0], '\0');
    EXPECT_EQ(up[1], 72);
    EXPECT_FALSE(QuitRequested(*platform));
    EXPECT_EQ(GraphicInkey(*platform), "");
    EXPECT_TRUE(QuitRequested(*platform));  // nothing left to press: the session ends
}

TEST(InkeyTest, KeypadWithNumLockOffGivesTheNavigationKeys) {
    const SDL_Keycode keypad[] = {SDLK_KP_7, SDLK_KP_8, SDLK_KP_9, SDLK_KP_4, SDLK_KP_5, SDLK_KP_6,
                                  SDLK_KP_1, SDLK_KP_2, SDLK_KP_3, SDLK_KP_0, SDLK_KP_PERIOD};
    const char scan_codes[] = {71, 72, 73, 75, 76, 77, 79, 80, 81, 82, 83};
    for (std::size_t i = 0; i < std::size(keypad); ++i)
        EXPECT_EQ(InkeyText(KeyDownValue(keypad[i], KMOD_NONE)), std::string({'\0', scan_codes[i]})) << i;
    EXPECT_EQ(InkeyText(KeyDownValue(SDLK_HOME, KMOD_NUM)), std::string("\0G", 2));
    EXPECT_EQ(KeyDownValue(SDLK_KP_7, KMOD_NUM), 0u);  // with NumLock on the digit comes as text
}

TEST(InkeyTest, IdleHoldsKeysBackForRedrawsAndTheClockMoves) {
    OffscreenOptions options;
    options.start_clock = 100.0;
    options.seconds_per_redraw = 0.5;
    PlatformHandle platform = CreateOffscreenPlatform(options);
    ASSERT_TRUE(OpenGraphicWindow(*platform, "test", 0, 0, 100, 100));
    QueueIdle(*platform, 2);
    QueueKeys(*platform, "k");
    EXPECT_EQ(GraphicInkey(*platform), "");
    EXPECT_DOUBLE_EQ(Timer(*platform), 100.001);  // a look for a key costs a millisecond
    GraphicRedraw(*platform);
    EXPECT_EQ(GraphicInkey(*platform), "");
    GraphicRedraw(*platform);
    EXPECT_FALSE(QuitRequested(*platform));
    EXPECT_EQ(GraphicInkey(*platform), "k");
    EXPECT_EQ(RedrawCount(*platform), 2);
    EXPECT_DOUBLE_EQ(Timer(*platform), 101.002);
}

TEST(LineInputTest, TypingBackspaceAndOtherKeys) {
    PlatformHandle platform = MakeWindow();
    QueuePendingKeys(*platform, "zz");  // typed before the question was shown
    QueueKey(*platform, "\b");  // Backspace on an empty line changes nothing
    QueueKeys(*platform, "ab\bc\t");
    QueueKey(*platform, std::string("\0;", 2));  // F1 means nothing here
    QueueKeys(*platform, " d\r");
    EXPECT_EQ(GraphicLineInput(*platform), "ac d");
    EXPECT_EQ(Beeps(*platform), 0);
    EXPECT_FALSE(QuitRequested(*platform));
    ASSERT_FALSE(PrintedTexts(*platform).empty());
    EXPECT_EQ(PrintedTexts(*platform).back().text, "ac d");  // the answer stays on the screen

    // The next question goes on the next line.
    QueueKeys(*platform, "x\r");
    EXPECT_EQ(GraphicLineInput(*platform), "x");
    EXPECT_LT(PrintedTexts(*platform).back().y, PrintedTexts(*platform).front().y);
}

TEST(LineInputTest, AtMost255CharactersAndNothingPastTheRightEdge) {
    PlatformHandle wide = MakeWindow();
    QueueKeys(*wide, std::string(256, 'w') + "\r");
    EXPECT_EQ(GraphicLineInput(*wide), std::string(255, 'w'));

    PlatformHandle narrow = MakeWindow(100, 100);  // room for 8 characters of 12 pixels
    GraphicSetPos(*narrow, -50, 50);
    QueueKeys(*narrow, "0123456789AB\r");
    std::string typed = GraphicLineInput(*narrow);
    EXPECT_EQ(typed, "01234567");
    EXPECT_EQ(Beeps(*narrow), 4);  // every refused character sounds the alert
}

TEST(LineInputTest, EndsWithWhatItHasWhenTheScriptRunsOut) {
    PlatformHandle platform = MakeWindow();
    QueueKeys(*platform, "ab");
    EXPECT_EQ(GraphicLineInput(*platform), "ab");
    EXPECT_TRUE(QuitRequested(*platform));
    EXPECT_EQ(GraphicLineInput(*platform), "");
}

TEST(ConsoleTest, PrintsNumbersAndReadsScriptedLines) {
    OffscreenOptions options;
    PlatformHandle platform = CreateOffscreenPlatform(options);
    ConsolePrintText(*platform, "FATAL ERROR AT 21 BECAUSE SECOND DIGIT=");
    ConsolePrintNumber(*platform, 7, false);
    ConsolePrintNumber(*platform, -0.1f, true);
    ConsoleNewLine(*platform);
    QueueConsoleLine(*platform, "ok\bK\tgo");
    PauseForEnter(*platform, " <> ");
    EXPECT_EQ(ConsoleOutput(*platform), "FATAL ERROR AT 21 BECAUSE SECOND DIGIT= 7 -0.1 \n <> oKgo\n");
    EXPECT_EQ(ConsoleLineInput(*platform), "");  // end of input: returns at once
}

}  // namespace
