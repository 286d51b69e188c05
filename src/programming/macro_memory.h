#pragma once

// How much of the mouse's macro area the next apply would fill: measured by
// building that apply's image, so the figure and the apply can never disagree
// about unrolled macros or blocks shared by equal values.

#include <array>
#include <cstddef>
#include <string>

#include "programming/session.h"

namespace kx700::programming {

struct MacroMemoryUse {
    std::size_t used = 0;      // bytes of the macro blocks the image places
    std::size_t capacity = 0;  // bytes from the start of the data area to the limit
    // The first block (in the order the apply writes) that does not end
    // before the limit: the apply stops there with the limit message.
    bool fits = true;
    int overProfile = -1;  // its profile slot
    int overButton = -1;   // its button (0-based), -1 for a position without one
};

// Over the record's assignments of all profiles, with the macros the apply
// would read (the current group's from the table being edited), against the
// limit `memoryBankBit` selects.
MacroMemoryUse MeasureMacroMemory(const MouseSettings& settings, int currentProfile, const macro::MacroState& macros,
                                  int memoryBankBit);
MacroMemoryUse MeasureMacroMemory(const Session& s);

struct MacroMemoryTexts {
    std::string figure;  // "Macro memory: used / capacity bytes"
    std::string over;    // empty while it fits: the profile (by name) and button that push it over
};
MacroMemoryTexts MacroMemoryText(const MacroMemoryUse& use, bool english,
                                 const std::array<std::string, 3>& profileNames);
// Both in one line.
std::string DescribeMacroMemory(const MacroMemoryUse& use, bool english,
                                const std::array<std::string, 3>& profileNames);

}  // namespace kx700::programming
