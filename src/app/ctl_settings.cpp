#include "app/ctl_settings.h"

#include <string>

#include "macro/record.h"

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

}  // namespace kx700::ctl
