#include "app/ctl_settings.h"

#include <string>

#include "macro/record.h"
#include "platform/json_writer.h"

namespace kx700::ctl {
namespace {

std::string Assignment(std::int32_t v) {
    const macro::MacroRef ref = macro::MacroRef::FromAssignment(v);
    if (ref.isUser()) return "macro " + std::to_string(ref.index) + " of group " + std::to_string(ref.group);
    if (ref.isMacro()) return "constant macro " + std::to_string(ref.index);
    return "function " + std::to_string(v);
}

}  // namespace

void DescribeSettings(std::ostream& out, const MouseSettings& s, int currentProfile) {
    for (int p = 0; p < kProfileSlots; ++p) {
        const auto pi = static_cast<std::size_t>(p);
        out << "profile slot " << p << (p == currentProfile ? " (current)" : "")
            << (p == 1 ? " (not offered to the user)" : "") << "\n";
        for (int b = 0; b < kButtons; ++b) {
            const auto bi = static_cast<std::size_t>(b);
            out << "  button " << b << " (code " << kHardwareButtonCode[bi]
                << "): " << Assignment(s.buttonAssign[pi][bi]) << "\n";
        }
    }
    out << "CPI levels:";
    for (int i = 0; i < kCpiLevels; ++i) {
        const auto k = static_cast<std::size_t>(i);
        out << " " << CpiOfStep(s.dpiStep[k]) << (s.dpiLevelEnabled[k] ? "" : "(off)") << (i == s.dpiLevel ? "*" : "");
    }
    out << "\nreport rate: " << 1000 / (s.pollIntervalMs > 0 ? s.pollIntervalMs : 8) << " Hz\n";
    out << "lighting mode " << int{s.ledMode} << ", speed " << int{s.ledCycleTime} << ", brightness " << s.ledBrightness
        << "\n";
    out << "pointer speed " << int{s.pointerSpeed} << ", wheel speed " << int{s.wheelSpeed} << ", rapid fire "
        << s.fireInterval << " ms\n";
}

void DescribeSettingsJson(std::ostream& out, const MouseSettings& s, int currentProfile,
                          const programming::MacroMemoryUse& memory) {
    JsonWriter w(out);
    w.beginObject().key("currentProfileSlot").value(currentProfile).key("profileSlots").beginArray();
    for (int p = 0; p < kProfileSlots; ++p) {
        const auto pi = static_cast<std::size_t>(p);
        w.beginObject().key("slot").value(p).key("buttons").beginArray();
        for (int b = 0; b < kButtons; ++b) {
            const auto bi = static_cast<std::size_t>(b);
            const std::int32_t v = s.buttonAssign[pi][bi];
            const macro::MacroRef ref = macro::MacroRef::FromAssignment(v);
            w.beginObject().key("button").value(b).key("code").value(kHardwareButtonCode[bi]).key("value").value(v);
            if (ref.isUser()) w.key("macroGroup").value(ref.group).key("macro").value(ref.index);
            if (ref.isMacro() && !ref.isUser()) w.key("constantMacro").value(ref.index);
            w.key("reaction").value(s.reactEnable[pi][static_cast<std::size_t>(MemorySlotOfButton(b))] != 0);
            w.endObject();
        }
        w.endArray().endObject();
    }
    w.endArray().key("cpiLevels").beginArray();
    for (int i = 0; i < kCpiLevels; ++i) {
        const auto k = static_cast<std::size_t>(i);
        w.beginObject()
            .key("cpi")
            .value(CpiOfStep(s.dpiStep[k]))
            .key("enabled")
            .value(s.dpiLevelEnabled[k] != 0)
            .key("current")
            .value(i == s.dpiLevel)
            .endObject();
    }
    w.endArray()
        .key("reportRateHz")
        .value(1000 / (s.pollIntervalMs > 0 ? s.pollIntervalMs : 8))
        .key("lighting")
        .beginObject()
        .key("mode")
        .value(int{s.ledMode})
        .key("speed")
        .value(int{s.ledCycleTime})
        .key("brightness")
        .value(s.ledBrightness)
        .endObject()
        .key("pointerSpeed")
        .value(int{s.pointerSpeed})
        .key("wheelSpeed")
        .value(int{s.wheelSpeed})
        .key("rapidFireMs")
        .value(s.fireInterval)
        .key("macroMemory")
        .beginObject()
        .key("usedBytes")
        .value(memory.used)
        .key("capacityBytes")
        .value(memory.capacity)
        .key("fits")
        .value(memory.fits);
    if (!memory.fits) w.key("overProfileSlot").value(memory.overProfile).key("overButton").value(memory.overButton);
    w.endObject().endObject();
}

}  // namespace kx700::ctl
