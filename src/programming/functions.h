#pragma once

// What each button assignment value means to the mouse and to the host.

#include <array>
#include <cstdint>

#include "settings/mouse_settings.h"

namespace kx700::programming {

// Device function codes that carry a slot descriptor; 13 and 14 also a data block.
inline constexpr std::uint8_t kCodeMacro = 13;
inline constexpr std::uint8_t kCodeMacroMode2 = 14;
inline constexpr std::uint8_t kCodeConsumer = 15;

// The mouse's function code for an assignment value. The macro's mode byte
// matters only for macro values (32 and above): a whole mode byte of 2 plays
// under its own code.
std::uint8_t DeviceCodeOf(std::int32_t value, std::uint8_t macroModeByte);

// Consumer-page usage of multimedia index 0-10; 0 outside.
std::uint16_t ConsumerUsageOf(int index);

// Keyboard usage of key index 0-78; 0xFF outside.
std::uint8_t KeyUsageOf(int index);

// What the host does for a button, by its assignment value and device code.
struct HostFlags {
    bool hold = false;        // 18: the host reports the button held and released
    bool profileKey = false;  // 19-21: the host follows the mouse's profile switch
    bool dpiReport = false;   // device codes 6, 11, 12: the mouse reports the level
};
HostFlags HostFlagsOf(std::int32_t value, std::uint8_t deviceCode);

// The value a choice in the button popup stores: rows 1-6 are functions;
// rows 7, 8, 10 and 11 open lists whose row i (from 1) gives base + i; row 9
// lists groups, whose macro m (from 0) of group g (from 0) is (g + 1) × 256 + m.
std::int32_t MenuChoiceValue(int row, int subRow);
std::int32_t MacroChoiceValue(int group, int macro);

// After an assignment to button b: in profile 0 some button must keep the left
// button's function; if none does, the next button (or button 6 itself) gets it.
// Returns the button that was given function 1, or -1.
int KeepLeftButton(MouseSettings& s, int currentProfile, int changedButton);

}  // namespace kx700::programming
