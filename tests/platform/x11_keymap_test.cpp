// X key codes -> virtual keys. The key codes are the X server's own numbers
// (xmodmap -pke on an evdev server), not the table's kernel numbers, so the
// +8 offset is checked too.
#include "platform/x11_keymap.h"

#include <gtest/gtest.h>

namespace kx700 {
namespace {

struct Row {
    std::uint32_t keycode;
    std::uint8_t vk;
    const char* key;
};

TEST(X11Keymap, PhysicalKeysGetTheirVirtualKeys) {
    const Row rows[] = {
        {9, 0x1B, "Escape"},
        {10, '1', "1"},
        {19, '0', "0"},
        {24, 'Q', "q"},
        {38, 'A', "a"},
        {52, 'Z', "z"},
        {58, 'M', "m"},
        {65, 0x20, "space"},
        {36, 0x0D, "Return"},
        {22, 0x08, "BackSpace"},
        {23, 0x09, "Tab"},
        {66, 0x14, "Caps_Lock"},
        {67, 0x70, "F1"},
        {76, 0x79, "F10"},
        {95, 0x7A, "F11"},
        {96, 0x7B, "F12"},
        {191, 0x7C, "F13"},
        {202, 0x87, "F24"},
        // Left and right modifiers stay apart.
        {37, 0xA2, "Control_L"},
        {105, 0xA3, "Control_R"},
        {50, 0xA0, "Shift_L"},
        {62, 0xA1, "Shift_R"},
        {64, 0xA4, "Alt_L"},
        {108, 0xA5, "Alt_R"},
        {133, 0x5B, "Super_L"},
        {134, 0x5C, "Super_R"},
        {135, 0x5D, "Menu"},
        // US positions of the punctuation keys, and the ISO key left of Z.
        {49, 0xC0, "grave"},
        {20, 0xBD, "minus"},
        {21, 0xBB, "equal"},
        {34, 0xDB, "bracketleft"},
        {35, 0xDD, "bracketright"},
        {51, 0xDC, "backslash"},
        {47, 0xBA, "semicolon"},
        {48, 0xDE, "apostrophe"},
        {59, 0xBC, "comma"},
        {60, 0xBE, "period"},
        {61, 0xBF, "slash"},
        {94, 0xE2, "less (102nd)"},
        // Navigation and lock keys.
        {107, 0x2C, "Print"},
        {78, 0x91, "Scroll_Lock"},
        {127, 0x13, "Pause"},
        {118, 0x2D, "Insert"},
        {119, 0x2E, "Delete"},
        {110, 0x24, "Home"},
        {115, 0x23, "End"},
        {112, 0x21, "Prior"},
        {117, 0x22, "Next"},
        {111, 0x26, "Up"},
        {116, 0x28, "Down"},
        {113, 0x25, "Left"},
        {114, 0x27, "Right"},
        {77, 0x90, "Num_Lock"},
        // The keypad keeps its own codes; its Enter is Return.
        {90, 0x60, "KP_0"},
        {87, 0x61, "KP_1"},
        {84, 0x65, "KP_5"},
        {81, 0x69, "KP_9"},
        {91, 0x6E, "KP_Decimal"},
        {106, 0x6F, "KP_Divide"},
        {63, 0x6A, "KP_Multiply"},
        {82, 0x6D, "KP_Subtract"},
        {86, 0x6B, "KP_Add"},
        {104, 0x0D, "KP_Enter"},
        // No virtual key the mouse knows, or no key at all.
        {121, 0, "XF86AudioMute"},
        {0, 0, "0"},
        {7, 0, "7"},
        {8, 0, "8 (no key)"},
        {255, 0, "255"},
        {256, 0, "256"},
        {0xFFFFFFFFu, 0, "max"},
    };
    for (const Row& r : rows) EXPECT_EQ(X11KeycodeToVk(r.keycode), r.vk) << r.key << " (" << r.keycode << ")";
}

}  // namespace
}  // namespace kx700
