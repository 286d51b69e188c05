#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kx700 {

inline constexpr int kProfileSlots = 4;
inline constexpr int kButtons = 7;
inline constexpr int kMemorySlots = 9;  // per-profile positions that carry reaction settings
inline constexpr int kCpiLevels = 4;

// The user's three profiles, in the user's order, are these slots; slot 1 is
// never chosen by the user but the mouse may report it.
inline constexpr std::array<int, 3> kUserProfileSlots = {0, 2, 3};

// The mouse's own number of each assignable button b = 0..6 (code 7 is unused).
inline constexpr std::array<int, kButtons> kHardwareButtonCode = {1, 2, 3, 4, 5, 6, 8};

// Button index of a hardware code, or -1 when no button has that code.
constexpr int ButtonOfHardwareCode(int code) {
    for (int b = 0; b < kButtons; ++b) {
        if (kHardwareButtonCode[static_cast<std::size_t>(b)] == code) return b;
    }
    return -1;
}

// The memory slot (reaction arrays) of button b.
constexpr int MemorySlotOfButton(int b) { return kHardwareButtonCode[static_cast<std::size_t>(b)] - 1; }

// CPI of each dpiStep value.
inline constexpr std::array<int, 12> kCpiOfStep = {200, 400, 600, 800, 1000, 1200, 1600, 2000, 2400, 3200, 4000, 4800};

// CPI of a step as read from a file, 0 for a step outside the table.
constexpr int CpiOfStep(int step) {
    return step >= 0 && step < static_cast<int>(kCpiOfStep.size()) ? kCpiOfStep[static_cast<std::size_t>(step)] : 0;
}

// A colour of four bits per channel, as the mouse takes it.
struct Rgb4 {
    std::int32_t r = 0;
    std::int32_t g = 0;
    std::int32_t b = 0;
    bool operator==(const Rgb4&) const = default;
};

// Lighting modes that the mode popup offers.
enum LedModeValue : std::uint8_t {
    kLedDpiBreath = 0,
    kLedCycleBreath = 1,
    kLedConstant = 2,
    kLedButtonResponse = 8,
    kLedMute = 9,
};

// Everything the user can set for the mouse: the four profile slots side by
// side and the values they share. Plain data; the derived-value rules are the
// functions below, and every writer of a source field applies them.
struct MouseSettings {
    std::array<std::array<std::int32_t, kButtons>, kProfileSlots> buttonAssign{};
    std::int32_t pollIntervalMs = 0;
    std::uint8_t pointerSpeed = 0;
    std::uint8_t wheelSpeed = 0;
    std::uint8_t reportRate = 0;
    std::uint8_t cycleColourMask = 0;
    std::uint8_t ledMode = 0;
    std::uint8_t ledCycleTime = 0;
    std::array<std::int32_t, 4> cycleColourEnable{};
    std::array<std::int32_t, 10> ledModeEnabled{};
    std::array<std::array<std::int32_t, kMemorySlots>, kProfileSlots> reactEnable{};
    std::array<std::array<std::int32_t, kMemorySlots>, kProfileSlots> reactType{};
    std::int32_t userColourEnable = 0;
    std::int32_t ledSymmetry = 0;
    std::int32_t ledDirection = 0;
    std::int32_t ledBrightness = 0;
    std::int32_t dpiLevel = 0;
    std::int32_t wheelStatus = 0;
    std::array<std::uint8_t, kCpiLevels> dpiLevelEnabled{};
    std::array<Rgb4, kCpiLevels> dpiColour{};
    std::array<Rgb4, 4> userColour{};
    std::array<std::uint32_t, 4> userColourRef{};
    std::array<std::uint8_t, kCpiLevels> dpiStep{};
    std::int32_t fireInterval = 50;
    std::uint8_t reportIntervalCode = 0;

    bool operator==(const MouseSettings&) const = default;
};

// Sets reportRate with its two derived fields: 3 -> 1 ms, 2 -> 2 ms, 1 -> 4 ms,
// anything else -> 8 ms; reportIntervalCode is the interval minus one.
void SetReportRate(MouseSettings& s, std::uint8_t rate);

// Screen colour (red in the low byte) of a four-bit-per-channel user colour:
// each channel shows as 255 - (16 * level mod 256).
std::uint32_t UserColourRef(const Rgb4& c);

// Splits the persisted colour-cycle mask: bits 0..3 are the four cycle colours.
void SetCycleColourMask(MouseSettings& s, std::uint8_t mask);

// The mask as the apply composes it: bits 0..3 the cycle colours, bits 4..6
// the first three lighting-mode switches.
std::uint8_t ComposeCycleColourMask(const MouseSettings& s);

// The six lighting-mode display names of a language (the sixth repeats the
// second; no mode value selects it).
const std::array<std::string_view, 6>& LightingModeNames(bool english);

}  // namespace kx700
