#pragma once
// The recorded sound cues compiled into the program: every assets/cues/*.wav
// (turned into data by cmake/EmbedCues.cmake) as a complete RIFF WAVE file,
// found by its cue name. The files are named after the cues in capitals;
// callers name cues in lower case, so the lookup ignores letter case.
// The default alert is embedded beside them but is not a cue: no name finds it.

#include <cstddef>
#include <span>
#include <string_view>

namespace platform {

struct EmbeddedCue {
    const char* name;            // the cue name in capitals, e.g. "SPEAKPU"
    const unsigned char* bytes;  // the whole WAVE file, header included
    std::size_t size;            // bytes
};

// Case-insensitive; nullptr when no recording has this name ("speakquit").
const EmbeddedCue* FindEmbeddedCue(std::string_view name);

// Every embedded recording, in name order.
std::span<const EmbeddedCue* const> EmbeddedCues();

// The stand-in for the desktop's default alert sound.
const EmbeddedCue& EmbeddedDefaultAlert();

}  // namespace platform
