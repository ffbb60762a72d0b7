#pragma once
// Playing the recorded cues through SDL audio. One sound at a time: starting a
// cue cuts off whatever cue or alert is still sounding, as the game expects
// when the player presses command keys in quick succession. Nothing here ever
// makes the caller wait for a sound, and without an audio device (headless
// machine, CI, a busy device) the game simply runs silently.
//
// The device plays 16-bit mono at 22050 Hz; a recording is converted to that
// the first time it is played, after which starting it only hands the mixer an
// index. The device is paused whenever nothing sounds, and closed while the
// game rests (it waits on a typed line with nothing sounding), so that no audio
// thread wakes the machine; the next sound opens it again.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::audio {

// Turns sound on and opens the audio device at once. Returns false, after
// printing one line saying that sound is off, when there is none; every other
// call then does nothing.
bool StartAudio();
// Turns sound on without opening the device: the first sound opens it, aside
// from the caller, so that a start-up cue does not hold up the first picture.
// Without a device that first sound says that sound is off, as above.
void StartAudioAtFirstSound();
// While held, no device opens: a sound asked for waits, and plays once the
// hold is let go (the start cue waits for the game's first picture, so that
// opening the device does not compete with it).
void HoldAudio(bool held);
// Closes the device when nothing sounds and no sound is on its way: its thread
// stops until the next sound opens it again. Any thread; never waits for a sound.
void RestAudio();
// Lets a sound that has just started (the quit alert) be heard briefly, then
// closes the device without ever hanging on it.
void StopAudio();
// Case-insensitive; a name without a recording ("speakquit") sounds the
// default alert instead.
void PlayCueByName(std::string_view name);
// The stand-in for the desktop's default alert sound.
void PlayDefaultAlert();

// -- Inspection, for tests --
struct MixerView {
    std::string sound;              // name of the sound in the mixer, "" when silent
    std::size_t frames_played = 0;  // of that sound, at 22050 frames a second
    std::size_t frames_total = 0;   // its whole length
    int sounds_started = 0;         // since sound was turned on
    bool device_open = false;       // false while sound is off or resting
};
MixerView InspectMixer();
std::string CurrentCueName();  // InspectMixer().sound
bool AudioIsOn();  // turned on, and no device has failed (the device may be resting)

}  // namespace platform::audio
