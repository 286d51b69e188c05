#pragma once

#include <ostream>

#include "programming/macro_memory.h"
#include "settings/mouse_settings.h"

namespace kx700::ctl {

// Describes the four profile slots and the shared values in words.
void DescribeSettings(std::ostream& out, const MouseSettings& s, int currentProfile);

// The same as one JSON object, values as the settings file holds them, with
// how full the macro area would be.
void DescribeSettingsJson(std::ostream& out, const MouseSettings& s, int currentProfile,
                          const programming::MacroMemoryUse& memory);

}  // namespace kx700::ctl
