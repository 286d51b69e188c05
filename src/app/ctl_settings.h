#pragma once

#include <ostream>

#include "settings/mouse_settings.h"

namespace kx700::ctl {

// Describes the four profile slots and the shared values in words.
void DescribeSettings(std::ostream& out, const MouseSettings& s, int currentProfile);

// The same as one JSON object, values as the settings file holds them.
void DescribeSettingsJson(std::ostream& out, const MouseSettings& s, int currentProfile);

}  // namespace kx700::ctl
