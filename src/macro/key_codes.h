#pragma once

#include <cstdint>

namespace kx700::macro {

// Windows virtual-key codes (files, recording) <-> USB keyboard usages (the
// record, the mouse). Codes not in the table pass through unchanged, so 0 and
// the special event codes keep their values in files.
std::uint8_t VkToUsage(std::uint8_t vk);
std::uint8_t UsageToVk(std::uint8_t usage);

}  // namespace kx700::macro
