#pragma once

// What a press on an area of the Advanced and Led pages does to the settings
// record. Pure functions of the record, the area and the press point, so the
// arithmetic can be checked without a window.

#include <cstdint>

#include "settings/mouse_settings.h"
#include "skin/layout.h"

namespace kx700::ui {

// The step of a bar for a press at horizontal offset `offset` of a bar `width`
// pixels wide: offset × steps ÷ width, truncated. Offsets outside the bar
// (which the hit test never gives) are held to it.
std::uint32_t BarStep(std::int32_t offset, std::int32_t width, std::uint32_t steps);

// The Advanced page's press actions (bars, report rate, CPI). False when the
// area has no press action there.
bool PressAdvancedArea(MouseSettings& s, int area, const AreaRect& rect, int px);

// The Led page's press actions for the current profile. False when the area
// has no press action there (the mode selector opens a popup: the window's
// business).
bool PressLedArea(MouseSettings& s, int currentProfile, int area, const AreaRect& rect, int px);

// The hardware button code of a key-reaction switch (or of the top button's
// picture, which switches that button too), or 0 for any other Led area.
int ReactionCodeOfArea(int area);

}  // namespace kx700::ui
