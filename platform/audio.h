#pragma once
// Playing the recorded cues through SDL audio. One sound at a time: starting a
// cue cuts off whatever cue or alert is still sounding, as the game expects
// when the player presses command keys in quick succession. Nothing here ever
// makes the caller wait for a sound, and without an audio device (headless
// machine, CI, a busy device) the game simply runs silently.
//
// The device plays 16-bit mono at 22050 Hz; a recording is converted to that
// the first time it is played, after which starting it only hands the mixer an
// index. The device is paused whenever nothing sounds.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::audio {

// Opens the audio device. Returns false, after printing one line saying that
// sound is off, when there is none; every other call then does nothing.
bool StartAudio();
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
    int sounds_started = 0;         // since StartAudio
};
MixerView InspectMixer();
std::string CurrentCueName();  // InspectMixer().sound
bool AudioIsOn();

}  // namespace platform::audio
