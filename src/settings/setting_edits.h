#pragma once

// The edits the window's switches and choices make to the settings record,
// with the invariants the record does not keep by itself. The window's pages
// and kx700ctl's `set` both go through these, so a change made from a script
// leaves the record exactly as the same change made with the mouse pointer.

#include "settings/mouse_settings.h"

namespace kx700 {

// A CPI level switch: on when off; off otherwise, the current level moving
// cyclically to the next enabled one, and the last enabled level staying on.
void SwitchCpiLevel(MouseSettings& s, int level);

// A CPI level selector: only a level that is on becomes current. False when
// the level is off (nothing changes).
bool SelectCpiLevel(MouseSettings& s, int level);

// A colour switch that never leaves all four cycle colours off.
void SwitchCycleColour(MouseSettings& s, int colour);

// Brightness is changed only in the modes that use it (Constantly, modes 3-5
// and Button response), the effect speed only in modes that move (not
// Constantly, not Mute).
bool LedModeUsesBrightness(int ledMode);
bool LedModeUsesSpeed(int ledMode);

// A direction choice: 0-2 always, 3 only in mode 3. False when refused.
bool SetLedDirection(MouseSettings& s, int direction);

// A key-reaction switch of button `code` (hardware code 1-9) in profile slot
// `profile`; nothing for a slot or code outside the record.
void SwitchReaction(MouseSettings& s, int profile, int code);

}  // namespace kx700
