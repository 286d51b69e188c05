#pragma once

#include <cstdint>

namespace kx700 {

// The X server's key code of a key event (what Qt reports as
// QKeyEvent::nativeScanCode() under xcb: the kernel's input event code + 8)
// -> the Windows virtual-key code of the same physical key, as the recorder
// and the macro files know keys.
//
// The mapping follows the key's position on a US keyboard, never the active
// layout, so a recorded macro replays the key the user's finger pressed:
// left and right modifiers stay apart, keypad keys keep their keypad codes
// whatever the NumLock state, and the punctuation keys get the US codes of
// their places (the key left of Z on ISO keyboards is VK_OEM_102, 0xE2).
// Returns 0 for key codes with no virtual key the mouse knows (media keys,
// national input-method keys) and for codes outside 8..255.
std::uint8_t X11KeycodeToVk(std::uint32_t keycode);

}  // namespace kx700
