#pragma once
// The desktop window's keys in the game's coding: a pressed key as SDL reports
// it becomes the value the window thread queues, and a queued value becomes
// the text GraphicInkey hands to the game. Plain functions of plain values, so
// the coding can be checked without a window or real key events.

#include <SDL_keycode.h>

#include <cstdint>
#include <string>

namespace platform {

// Queued key values: a character as kCharacterKey | code (Enter 13, Escape 27,
// Backspace 8 included); a function, cursor or navigation key as
// kScanKey | its keyboard scan code. 0 is no key.
constexpr std::uint32_t kCharacterKey = 0x100;
constexpr std::uint32_t kScanKey = 0x200;

// The value of a key-down event, or 0 when the key is not one the game takes
// from key-down events (printable characters come as text input instead).
// modifiers are SDL's (KMOD_NUM tells whether NumLock is on).
std::uint32_t KeyDownValue(SDL_Keycode key, std::uint16_t modifiers);

// GraphicInkey's text for a queued value: one character, or "\0" + scan code.
std::string InkeyText(std::uint32_t value);

}  // namespace platform
