#include "programming/macro_memory.h"

#include <algorithm>

#include "device/memory_map.h"
#include "programming/apply.h"

namespace kx700::programming {
namespace {

int ButtonAtPosition(int position) {
    for (int b = 0; b < kButtons; ++b)
        if (MemorySlotOfButton(b) == position) return b;
    return -1;
}

}  // namespace

MacroMemoryUse MeasureMacroMemory(const MouseSettings& settings, int currentProfile, const macro::MacroState& macros,
                                  int memoryBankBit) {
    RecordingMessageSink quiet;  // the encoder's messages belong to the apply
    const ApplyState none;
    const BuiltImage built = BuildDeviceImage(ImageInputs{.settings = settings,
                                                          .currentProfile = currentProfile,
                                                          .macros = macros,
                                                          .previous = none,
                                                          .memoryBankBit = memoryBankBit,
                                                          .sink = quiet,
                                                          .currentGroupFromTable = true});
    const std::int32_t limit = device::mem::MacroAreaLimit(memoryBankBit);
    MacroMemoryUse use;
    use.capacity = static_cast<std::size_t>(limit - device::mem::kDataStart);
    for (const PlacedBlock& b : built.image.blocks) {
        use.used += b.size;
        // The apply writes 8 bytes at a time and stops at the first
        // transaction at or past the limit.
        if (use.fits && b.size > 0 && b.address + static_cast<std::int32_t>(b.size) - 8 >= limit) {
            use.fits = false;
            use.overProfile = b.profile;
            use.overButton = ButtonAtPosition(b.position);
        }
    }
    return use;
}

MacroMemoryUse MeasureMacroMemory(const Session& s) {
    return MeasureMacroMemory(s.settings, s.currentProfile, s.macros, s.memoryBankBit);
}

MacroMemoryTexts MacroMemoryText(const MacroMemoryUse& use, bool english,
                                 const std::array<std::string, 3>& profileNames) {
    MacroMemoryTexts t;
    t.figure = (english ? "Macro memory: " : "宏存储：") + std::to_string(use.used) + " / " +
               std::to_string(use.capacity) + (english ? " bytes" : " 字节");
    if (use.fits) return t;
    const auto slot = std::find(kUserProfileSlots.begin(), kUserProfileSlots.end(), use.overProfile);
    const std::string profile = slot == kUserProfileSlots.end()
                                    ? std::to_string(use.overProfile + 1)
                                    : profileNames[static_cast<std::size_t>(slot - kUserProfileSlots.begin())];
    const std::string button = std::to_string(use.overButton + 1);
    t.over = english ? "Too many macros: " + profile + ", button " + button + " does not fit"
                     : "宏存储过多：" + profile + " 按键" + button + " 放不下";
    return t;
}

std::string DescribeMacroMemory(const MacroMemoryUse& use, bool english,
                                const std::array<std::string, 3>& profileNames) {
    const MacroMemoryTexts t = MacroMemoryText(use, english, profileNames);
    return t.over.empty() ? t.figure : t.figure + (english ? " - " : "，") + t.over;
}

}  // namespace kx700::programming
