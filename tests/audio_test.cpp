// Playing cues through SDL's dummy audio driver, which runs the mixer in real
// time without a sound card: a second cue cuts the first off, a replayed cue
// starts over, a name without a recording sounds the alert, and a machine
// without sound runs silently with one line said about it.

#include "platform/audio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

namespace audio = platform::audio;

namespace {

// Polls until the mixer shows what the test waits for; false after two seconds.
bool WaitFor(const std::function<bool(const audio::MixerView&)>& condition) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition(audio::InspectMixer())) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

bool Playing(const audio::MixerView& view, const std::string& name) {
    return view.sound == name && view.frames_played > 0;
}

class DummyAudio : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(audio::StartAudio());
    }
    void TearDown() override { audio::StopAudio(); }
};

TEST_F(DummyAudio, ASecondCueCutsTheFirstOff) {
    audio::PlayCueByName("speakfreezemotionenter");
    ASSERT_TRUE(WaitFor([](const audio::MixerView& v) { return Playing(v, "SPEAKFREEZEMOTIONENTER"); }));
    int started = audio::InspectMixer().sounds_started;

    audio::PlayCueByName("SpeakRed");
    ASSERT_TRUE(WaitFor([](const audio::MixerView& v) { return Playing(v, "SPEAKRED"); }));
    audio::MixerView view = audio::InspectMixer();
    EXPECT_EQ(view.sounds_started, started + 1);
    EXPECT_EQ(view.frames_total, 21300u);  // "speakred" is already 16-bit at 22050 Hz
    EXPECT_LT(view.frames_played, view.frames_total);

    // Once the second cue is over the mixer falls silent: the first does not
    // come back.
    ASSERT_TRUE(WaitFor([](const audio::MixerView& v) { return v.sound.empty(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(audio::CurrentCueName(), "");
    EXPECT_EQ(audio::InspectMixer().sounds_started, started + 1);
}

TEST_F(DummyAudio, ReplayingACueStartsItOver) {
    audio::PlayCueByName("speakallsixwalls");
    ASSERT_TRUE(WaitFor([](const audio::MixerView& v) { return v.sound == "SPEAKALLSIXWALLS" && v.frames_played > 4000; }));
    std::size_t reached = audio::InspectMixer().frames_played;
    int started = audio::InspectMixer().sounds_started;

    audio::PlayCueByName("speakallsixwalls");
    ASSERT_TRUE(WaitFor([&](const audio::MixerView& v) { return v.sounds_started == started + 1; }));
    audio::MixerView view = audio::InspectMixer();
    EXPECT_EQ(view.sound, "SPEAKALLSIXWALLS");
    EXPECT_LT(view.frames_played, reached);
}

TEST_F(DummyAudio, EightBitAndHalfRateCuesPlayAtTheMixRate) {
    audio::PlayCueByName("sinking");  // 8-bit at 11025 Hz, 18996 samples
    ASSERT_TRUE(WaitFor([](const audio::MixerView& v) { return Playing(v, "SINKING"); }));
    std::size_t total = audio::InspectMixer().frames_total;
    EXPECT_NEAR(static_cast<double>(total), 2.0 * 18996, 4.0);
}

TEST_F(DummyAudio, ANameWithoutRecordingSoundsTheDefaultAlert) {
    audio::PlayCueByName("speakquit");
    EXPECT_TRUE(WaitFor([](const audio::MixerView& v) { return v.sound == "DEFAULTALERT"; }));

    audio::PlayCueByName("thunk");
    ASSERT_TRUE(WaitFor([](const audio::MixerView& v) { return v.sound == "THUNK"; }));
    audio::PlayDefaultAlert();
    EXPECT_TRUE(WaitFor([](const audio::MixerView& v) { return v.sound == "DEFAULTALERT"; }));
}

TEST_F(DummyAudio, ARestClosesTheDeviceOnlyWhenSilentAndTheNextCueOpensItOnceLetGo) {
    audio::PlayCueByName("speakred");  // about a second
    ASSERT_TRUE(WaitFor([](const audio::MixerView& v) { return Playing(v, "SPEAKRED"); }));
    audio::RestAudio();
    EXPECT_TRUE(audio::InspectMixer().device_open);
    ASSERT_TRUE(WaitFor([](const audio::MixerView& v) { return v.sound.empty(); }));
    audio::RestAudio();
    EXPECT_FALSE(audio::InspectMixer().device_open);
    // The cue asked for while the device rests and is held (before the first
    // picture) is the one the device plays once let go.
    audio::HoldAudio(true);
    audio::PlayCueByName("speakpu");
    audio::HoldAudio(false);
    EXPECT_TRUE(WaitFor([](const audio::MixerView& v) { return Playing(v, "SPEAKPU"); }));
}

TEST_F(DummyAudio, StoppingRightAfterTheQuitAlertReturnsPromptly) {
    audio::PlayCueByName("speakquit");
    auto start = std::chrono::steady_clock::now();
    audio::StopAudio();
    auto took = std::chrono::steady_clock::now() - start;
    // A brief grace lets the alert be heard; a hang would take far longer.
    EXPECT_LT(took, std::chrono::seconds(2));
    EXPECT_FALSE(audio::AudioIsOn());
    audio::PlayCueByName("speakpu");  // after the end: nothing, and no crash
    EXPECT_EQ(audio::CurrentCueName(), "");
    // Sound can be started again in the same run.
    EXPECT_TRUE(audio::StartAudio());
    audio::PlayCueByName("speakpu");
    EXPECT_TRUE(WaitFor([](const audio::MixerView& v) { return v.sound == "SPEAKPU"; }));
}

TEST(NoAudioDevice, TheGameRunsSilentlyAfterOneLine) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(audio::StartAudio());
    EXPECT_FALSE(audio::StartAudio());
    audio::PlayCueByName("speakpu");
    audio::PlayDefaultAlert();
    audio::StopAudio();
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(audio::AudioIsOn());
    EXPECT_EQ(audio::CurrentCueName(), "");
    EXPECT_NE(said.find("Sound is off"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

}  // namespace
