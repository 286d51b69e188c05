#include "settings/setting_edits.h"

#include <cstdint>

namespace kx700 {

void SwitchCpiLevel(MouseSettings& s, int level) {
    if (level < 0 || level >= kCpiLevels) return;
    auto& on = s.dpiLevelEnabled;
    const auto k = static_cast<std::size_t>(level);
    if (on[k] == 0) {
        on[k] = 1;
        return;
    }
    on[k] = 0;
    if (s.dpiLevel != level) return;
    for (int i = 1; i < kCpiLevels; ++i) {
        const int next = (level + i) % kCpiLevels;
        if (on[static_cast<std::size_t>(next)] == 1) {
            s.dpiLevel = next;
            return;
        }
    }
    on[k] = 1;  // the only level left on stays on and current
}

bool SelectCpiLevel(MouseSettings& s, int level) {
    if (level < 0 || level >= kCpiLevels || s.dpiLevelEnabled[static_cast<std::size_t>(level)] == 0) return false;
    s.dpiLevel = level;
    return true;
}

void SwitchCycleColour(MouseSettings& s, int colour) {
    if (colour < 0 || colour >= static_cast<int>(s.cycleColourEnable.size())) return;
    auto& on = s.cycleColourEnable;
    const auto k = static_cast<std::size_t>(colour);
    if (on[k] == 0) {
        on[k] = 1;
        return;
    }
    std::int64_t sum = 0;
    for (std::int32_t v : on) sum += v;
    if (sum >= 2) on[k] = 0;
}

bool LedModeUsesBrightness(int m) { return m == 2 || m == 3 || m == 4 || m == 5 || m == 8; }

bool LedModeUsesSpeed(int m) { return m != 2 && m != 9; }

bool SetLedDirection(MouseSettings& s, int direction) {
    if (direction < 0 || direction > 3 || (direction == 3 && s.ledMode != 3)) return false;
    s.ledDirection = direction;
    return true;
}

void SwitchReaction(MouseSettings& s, int profile, int code) {
    if (profile < 0 || profile >= kProfileSlots || code < 1 || code > kMemorySlots) return;
    std::int32_t& flag = s.reactEnable[static_cast<std::size_t>(profile)][static_cast<std::size_t>(code - 1)];
    flag = flag == 0 ? 1 : 0;
}

}  // namespace kx700
