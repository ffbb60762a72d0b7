#include "platform/desktop/desktop_keys.h"

namespace platform {

namespace {

// Keyboard scan codes of the keys the game stores as non-character keys.
std::uint32_t NavigationScanCode(SDL_Keycode key) {
    switch (key) {
        case SDLK_F1: return 59;
        case SDLK_F2: return 60;
        case SDLK_F3: return 61;
        case SDLK_F4: return 62;
        case SDLK_F5: return 63;
        case SDLK_F6: return 64;
        case SDLK_F7: return 65;
        case SDLK_F8: return 66;
        case SDLK_F9: return 67;
        case SDLK_F10: return 68;
        case SDLK_HOME: return 71;
        case SDLK_UP: return 72;
        case SDLK_PAGEUP: return 73;
        case SDLK_LEFT: return 75;
        case SDLK_RIGHT: return 77;
        case SDLK_END: return 79;
        case SDLK_DOWN: return 80;
        case SDLK_PAGEDOWN: return 81;
        case SDLK_INSERT: return 82;
        case SDLK_DELETE: return 83;
        default: return 0;
    }
}

// With NumLock off the keypad is a second set of navigation keys, and the
// keyboard gives them the same scan codes (the middle key, Begin, has 76 of
// its own). With NumLock on its digits and point come as text input.
std::uint32_t KeypadNavigationScanCode(SDL_Keycode key) {
    switch (key) {
        case SDLK_KP_7: return 71;  // Home
        case SDLK_KP_8: return 72;  // Up
        case SDLK_KP_9: return 73;  // Page Up
        case SDLK_KP_4: return 75;  // Left
        case SDLK_KP_5: return 76;  // Begin
        case SDLK_KP_6: return 77;  // Right
        case SDLK_KP_1: return 79;  // End
        case SDLK_KP_2: return 80;  // Down
        case SDLK_KP_3: return 81;  // Page Down
        case SDLK_KP_0: return 82;  // Insert
        case SDLK_KP_PERIOD: return 83;  // Delete
        default: return 0;
    }
}

}  // namespace

std::uint32_t KeyDownValue(SDL_Keycode key, std::uint16_t modifiers) {
    if (key == SDLK_RETURN || key == SDLK_KP_ENTER) return kCharacterKey | 13;
    if (key == SDLK_ESCAPE) return kCharacterKey | 27;
    if (key == SDLK_BACKSPACE) return kCharacterKey | 8;
    std::uint32_t scan = NavigationScanCode(key);
    if (scan == 0 && (modifiers & KMOD_NUM) == 0) scan = KeypadNavigationScanCode(key);
    return scan != 0 ? (kScanKey | scan) : 0;
}

std::string InkeyText(std::uint32_t value) {
    if (value == 0) return std::string();
    auto code = static_cast<char>(value & 0xFF);
    if ((value & kScanKey) != 0) return std::string{'\0', code};
    return std::string(1, code);
}

}  // namespace platform
