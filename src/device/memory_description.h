#pragma once

#include <cstdint>
#include <ostream>
#include <span>

namespace kx700::device {

// Describes a memory image of the mouse in words: the active profile, each
// profile's buttons, the CPI levels, lighting, rapid fire and the macro
// blocks the slot descriptors point at. `memory` should be the whole 16 KiB;
// a shorter image is described as far as it goes.
void DescribeMemory(std::ostream& out, std::span<const std::uint8_t> memory);

}  // namespace kx700::device
