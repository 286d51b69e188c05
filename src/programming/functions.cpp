#include "programming/functions.h"

#include "macro/key_codes.h"
#include "macro/record.h"

namespace kx700::programming {
namespace {

constexpr std::array<std::uint16_t, 11> kConsumerUsage = {0x223, 0x183, 0x18A, 0xE9,  0xEA, 0xB6,
                                                          0xB5,  0xE2,  0xCD,  0x192, 0xB7};

// Virtual-key codes of key indexes 0-78, in keyboard order.
constexpr std::array<std::uint8_t, 79> kKeyIndexVk = {
    0x1B,                                                                    // 0 Escape
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x7B,  // 1-12 F1-F12
    0x2D, 0xC0,                                                              // 13, 14 Insert, grave
    0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x30,              // 15-24 digits
    0xBD, 0xBB,                                                              // 25, 26 minus, equals
    0x08, 0x2E, 0x09,                                                        // 27-29 Backspace, Delete, Tab
    0x51, 0x57, 0x45, 0x52, 0x54, 0x59, 0x55, 0x49, 0x4F, 0x50,              // 30-39 Q..P
    0xDB, 0xDD, 0xDC,                                                        // 40-42 brackets, backslash
    0x14,                                                                    // 43 Caps Lock
    0x41, 0x53, 0x44, 0x46, 0x47, 0x48, 0x4A, 0x4B, 0x4C,                    // 44-52 A..L
    0xBA, 0xDE, 0x0D,                                                        // 53-55 semicolon, quote, Enter
    0xA0,                                                                    // 56 left Shift
    0x5A, 0x58, 0x43, 0x56, 0x42, 0x4E, 0x4D,                                // 57-63 Z..M
    0xBC, 0xBE, 0xBF,                                                        // 64-66 comma, period, slash
    0xA1, 0xA2, 0xA4,                                                        // 67-69 right Shift, left Ctrl, left Alt
    0x5B, 0x20, 0x5C,                                                        // 70-72 left Win, Space, right Win
    0xA5, 0xA3,                                                              // 73, 74 right Alt, right Ctrl
    0x25, 0x26, 0x27, 0x28,                                                  // 75-78 arrows
};

}  // namespace

std::uint8_t DeviceCodeOf(std::int32_t v, std::uint8_t macroModeByte) {
    if (v < 0) return 0;
    if (v <= 6) return static_cast<std::uint8_t>(v);
    if (v <= 14) return static_cast<std::uint8_t>(v - 5);
    switch (v) {
        case 15: return 0x15;
        case 16: return 0x0B;
        case 17: return 0x0C;
        case 18: return 0;
        case 19: return 0x17;
        case 20: return 0x19;
        case 21: return 0x1A;
        default: break;
    }
    if (v <= 31) return kCodeConsumer;
    return macroModeByte == 2 ? kCodeMacroMode2 : kCodeMacro;
}

std::uint16_t ConsumerUsageOf(int index) {
    return index >= 0 && index < static_cast<int>(kConsumerUsage.size())
               ? kConsumerUsage[static_cast<std::size_t>(index)]
               : 0;
}

std::uint8_t KeyUsageOf(int index) {
    if (index < 0 || index >= static_cast<int>(kKeyIndexVk.size())) return 0xFF;
    return macro::VkToUsage(kKeyIndexVk[static_cast<std::size_t>(index)]);
}

HostFlags HostFlagsOf(std::int32_t value, std::uint8_t deviceCode) {
    HostFlags f;
    f.hold = value == 18;
    f.profileKey = value >= 19 && value <= 21;
    f.dpiReport = deviceCode == 6 || deviceCode == 11 || deviceCode == 12;
    return f;
}

std::int32_t MenuChoiceValue(int row, int subRow) {
    switch (row) {
        case 7: return 11 + subRow;
        case 8: return 21 + subRow;
        case 10: return 31 + subRow;
        case 11: return 18 + subRow;
        default: return row;
    }
}

std::int32_t MacroChoiceValue(int group, int macro) { return macro::MacroRef::UserValue(group, macro); }

int KeepLeftButton(MouseSettings& s, int currentProfile, int changedButton) {
    if (currentProfile != 0 || changedButton < 0 || changedButton >= kButtons) return -1;
    auto& row = s.buttonAssign[0];
    for (std::int32_t v : row) {
        if (v == 1) return -1;
    }
    const int target = changedButton < kButtons - 1 ? changedButton + 1 : changedButton;
    row[static_cast<std::size_t>(target)] = 1;
    return target;
}

}  // namespace kx700::programming
