#pragma once
// The pointer as the front ends report it, before it is Picture2's: where it is on the screen, which
// button went down or up, which are held. The main window decides what of it is Picture2's (the hit
// test), keeps the pointer while a press on the picture lasts (the capture), and hands its handlers
// the buttons and keys in the codes they take.
#include <cstdint>

namespace tg {

// Mouse buttons as the handlers take them: a combination is the sum.
inline constexpr std::int16_t kLeftButton = 1;
inline constexpr std::int16_t kRightButton = 2;
inline constexpr std::int16_t kMiddleButton = 4;

// The modifier keys held, likewise.
inline constexpr std::int16_t kShiftKey = 1;
inline constexpr std::int16_t kControlKey = 2;
inline constexpr std::int16_t kAltKey = 4;

constexpr std::int16_t Buttons(bool left, bool right, bool middle) noexcept {
    return static_cast<std::int16_t>((left ? kLeftButton : 0) | (right ? kRightButton : 0) | (middle ? kMiddleButton : 0));
}

constexpr std::int16_t Modifiers(bool shift, bool control, bool alt) noexcept {
    return static_cast<std::int16_t>((shift ? kShiftKey : 0) | (control ? kControlKey : 0) | (alt ? kAltKey : 0));
}

enum class PointerAction { Press, Move, Release };

struct PointerEvent {
    PointerAction action = PointerAction::Move;
    std::int16_t button = 0;  // Press and Release: the one button pressed or let go
    std::int16_t held = 0;    // the buttons held; a release may or may not count its own button
    std::int16_t keys = 0;    // the modifier keys held
    std::int32_t x = 0;       // the pointer on the screen, in pixels
    std::int32_t y = 0;
};

}  // namespace tg
