#include "ui/page_actions.h"

#include <algorithm>

#include "settings/setting_edits.h"
#include "ui/areas.h"

namespace kx700::ui {

std::uint32_t BarStep(std::int32_t offset, std::int32_t width, std::uint32_t steps) {
    if (width <= 0) return 0;
    const auto o = static_cast<std::uint32_t>(std::clamp(offset, 0, width - 1));
    return o * steps / static_cast<std::uint32_t>(width);
}

namespace {

// Speeds 1-10. On a narrow bar the last tenth is only a few pixels wide, so
// everything from 160 pixels on that computes 9 counts as the top speed.
std::uint8_t SpeedOf(std::int32_t offset, std::int32_t width) {
    std::uint32_t v = BarStep(offset, width, 10) + 1;
    if (v == 9 && offset >= 160) v = 10;
    return static_cast<std::uint8_t>(v);
}

std::int32_t FireIntervalOf(std::int32_t offset, std::int32_t width) {
    std::uint32_t v = BarStep(offset, width, 300);
    if (v >= 298 && offset >= 173) v = 300;
    return static_cast<std::int32_t>(v);
}

std::uint8_t DpiStepOf(std::int32_t offset, std::int32_t width) {
    std::uint32_t v = BarStep(offset, width, 12);
    if (v == 10 && offset >= 265) v = 11;
    return static_cast<std::uint8_t>(v);
}

}  // namespace

int ReactionCodeOfArea(int area) {
    using namespace area::led;
    if (area >= kReactionSwitchFirst && area < kReactionSwitchLast) return area - kReactionSwitchFirst + 1;
    if (area == kReactionSwitchLast || area == kTopButtonPicture) return 8;  // the top button has two areas
    return 0;
}

bool PressAdvancedArea(MouseSettings& s, int area, const AreaRect& rect, int px) {
    using namespace area::advanced;
    const std::int32_t offset = px - rect.x;
    if (area == kPointerBar) {
        s.pointerSpeed = SpeedOf(offset, rect.width);
    } else if (area == kWheelBar) {
        s.wheelSpeed = SpeedOf(offset, rect.width);
    } else if (area == kFireBar) {
        s.fireInterval = FireIntervalOf(offset, rect.width);
    } else if (area >= kReportRateMarkFirst && area <= kReportRateChoiceLast) {
        SetReportRate(s, static_cast<std::uint8_t>((area - kReportRateMarkFirst) % 4));
    } else if (area >= kLevelSwitchFirst && area <= kLevelSwitchLast) {
        SwitchCpiLevel(s, area - kLevelSwitchFirst);
    } else if (area >= kLevelSelectFirst && area <= kLevelSelectLast) {
        (void)SelectCpiLevel(s, area - kLevelSelectFirst);  // a level that is off stays unselected
    } else if (area >= kLevelBarFirst && area <= kLevelBarLast) {
        s.dpiStep[static_cast<std::size_t>(area - kLevelBarFirst)] = DpiStepOf(offset, rect.width);
    } else if (area >= kStepMarkFirst && area <= kStepMarkLast) {
        const int mark = area - kStepMarkFirst;
        const auto level = static_cast<std::size_t>(mark / kStepMarksPerLevel);
        s.dpiStep[level] = static_cast<std::uint8_t>(mark % kStepMarksPerLevel);
    } else {
        return false;
    }
    return true;
}

bool PressLedArea(MouseSettings& s, int currentProfile, int area, const AreaRect& rect, int px) {
    using namespace area::led;
    const std::int32_t offset = px - rect.x;
    if (area >= kColourSwitchFirst && area <= kColourSwitchLast) {
        SwitchCycleColour(s, area - kColourSwitchFirst);
    } else if (area == kCustomColours) {
        s.userColourEnable = s.userColourEnable == 0 ? 1 : 0;
    } else if (area == kBrightnessBar) {
        if (LedModeUsesBrightness(s.ledMode))
            s.ledBrightness = 6 - static_cast<std::int32_t>(BarStep(offset, rect.width, 7));
    } else if (area == kSpeedBar) {
        if (LedModeUsesSpeed(s.ledMode)) s.ledCycleTime = static_cast<std::uint8_t>(BarStep(offset, rect.width, 6));
    } else if (area == kSymmetry) {
        s.ledSymmetry = s.ledSymmetry == 0 ? 1 : 0;
    } else if (area >= kDirectionFirst && area <= kDirection3) {
        (void)SetLedDirection(s, area - kDirectionFirst);  // 3 only in mode 3
    } else if (const int code = ReactionCodeOfArea(area); code != 0) {
        SwitchReaction(s, currentProfile, code);
    } else {
        return false;
    }
    return true;
}

}  // namespace kx700::ui
