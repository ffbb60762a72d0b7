#pragma once
// Fixed-shape tables indexed the way the game counts: walls from 1 with slot 0
// for the cube, glyph points from 1, ROBO points from -1 (the drawn flag).
// An Indexed<T, Lo, Hi> holds Hi - Lo + 1 elements addressed by Lo..Hi, so code
// reads like the game's own tables instead of shifting every index by hand.

#include <array>
#include <cassert>
#include <cstddef>

template <typename T, int Lo, int Hi>
struct Indexed {
    static_assert(Hi >= Lo, "an indexed table needs at least one element");
    static constexpr int kFirst = Lo;
    static constexpr int kLast = Hi;

    std::array<T, static_cast<std::size_t>(Hi - Lo + 1)> items{};

    constexpr T& operator[](int index) {
        assert(index >= Lo && index <= Hi);
        return items[static_cast<std::size_t>(index - Lo)];
    }
    constexpr const T& operator[](int index) const {
        assert(index >= Lo && index <= Hi);
        return items[static_cast<std::size_t>(index - Lo)];
    }
    constexpr void Fill(const T& value) { items.fill(value); }
};
