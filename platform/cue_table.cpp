#include "platform/cue_table.h"

#include <cstddef>

namespace platform {

// Written by the build into embedded_cues/cue_index.cpp.
extern const EmbeddedCue* const kEmbeddedCueIndex[];
extern const std::size_t kEmbeddedCueCount;
extern const EmbeddedCue* const kEmbeddedDefaultAlert;

namespace {

char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ToUpperAscii(a[i]) != ToUpperAscii(b[i])) return false;
    }
    return true;
}

}  // namespace

std::span<const EmbeddedCue* const> EmbeddedCues() {
    return {kEmbeddedCueIndex, kEmbeddedCueCount};
}

const EmbeddedCue* FindEmbeddedCue(std::string_view name) {
    for (const EmbeddedCue* cue : EmbeddedCues()) {
        if (SameNameIgnoringCase(cue->name, name)) return cue;
    }
    return nullptr;
}

const EmbeddedCue& EmbeddedDefaultAlert() { return *kEmbeddedDefaultAlert; }

}  // namespace platform
