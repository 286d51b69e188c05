// Every key the mouse's key table knows can be recorded from an X keyboard.
#include <gtest/gtest.h>

#include <set>

#include "macro/key_codes.h"
#include "platform/x11_keymap.h"

namespace kx700::macro {
namespace {

TEST(X11KeyCoverage, EveryKeyOfTheMouseTableHasAnXKey) {
    std::set<int> reachable;
    for (std::uint32_t keycode = 0; keycode < 256; ++keycode) reachable.insert(X11KeycodeToVk(keycode));

    // Virtual keys no keyboard key produces: the mouse-button codes
    // 0xF0-0xF2, VK_CLEAR (Windows' keypad 5 without NumLock; here the keypad
    // keeps NUMPAD5) and VK_SEPARATOR (its USB usage has no kernel key).
    const std::set<int> noKey = {0x0C, 0x6C, 0xF0, 0xF1, 0xF2};
    for (int k : noKey) EXPECT_FALSE(reachable.contains(k)) << std::hex << k;

    int known = 0;
    for (int vk = 1; vk < 256; ++vk) {
        const auto v = static_cast<std::uint8_t>(vk);
        // 0xF2 is the one entry that maps to itself (the middle button).
        if (VkToUsage(v) == v && vk != 0xF2) continue;
        ++known;
        if (!noKey.contains(vk)) {
            EXPECT_TRUE(reachable.contains(vk)) << "virtual key 0x" << std::hex << vk;
        }
    }
    EXPECT_GT(known, 100);  // the table itself, not an empty loop

    // Every key mapped to something the mouse table passes through unchanged
    // would record a different key; only the ISO key (0xE2) does, knowingly.
    for (int vk : reachable) {
        if (vk != 0 && VkToUsage(static_cast<std::uint8_t>(vk)) == vk) {
            EXPECT_EQ(vk, 0xE2) << std::hex << vk;
        }
    }
}

}  // namespace
}  // namespace kx700::macro
