#include "settings/mouse_settings.h"

namespace kx700 {

void SetReportRate(MouseSettings& s, std::uint8_t rate) {
    s.reportRate = rate;
    switch (rate) {
        case 3: s.pollIntervalMs = 1; break;
        case 2: s.pollIntervalMs = 2; break;
        case 1: s.pollIntervalMs = 4; break;
        default: s.pollIntervalMs = 8; break;
    }
    s.reportIntervalCode = static_cast<std::uint8_t>(s.pollIntervalMs - 1);
}

std::uint32_t UserColourRef(const Rgb4& c) {
    auto channel = [](std::int32_t v) -> std::uint32_t {
        const std::uint32_t scaled = (16u * static_cast<std::uint32_t>(v)) & 0xFFu;
        return (255u - scaled) & 0xFFu;
    };
    return channel(c.r) | (channel(c.g) << 8) | (channel(c.b) << 16);
}

void SetCycleColourMask(MouseSettings& s, std::uint8_t mask) {
    s.cycleColourMask = mask;
    for (std::size_t i = 0; i < s.cycleColourEnable.size(); ++i) s.cycleColourEnable[i] = (mask >> i) & 1;
}

std::uint8_t ComposeCycleColourMask(const MouseSettings& s) {
    unsigned mask = 0;
    for (unsigned i = 0; i < 4; ++i) mask |= (s.cycleColourEnable[i] != 0 ? 1u : 0u) << i;
    for (unsigned i = 0; i < 3; ++i) mask |= (s.ledModeEnabled[i] != 0 ? 1u : 0u) << (4 + i);
    return static_cast<std::uint8_t>(mask);
}

const std::array<std::string_view, 6>& LightingModeNames(bool english) {
    static constexpr std::array<std::string_view, 6> kEnglish = {"DPI breath",      "Cycle breath", "Constantly",
                                                                 "Button response", "Mute",         "Cycle breath"};
    static constexpr std::array<std::string_view, 6> kChinese = {"DPI色呼吸", "循环呼吸", "常亮",
                                                                 "按键响应",  "静音",     "循环呼吸"};
    return english ? kEnglish : kChinese;
}

}  // namespace kx700
