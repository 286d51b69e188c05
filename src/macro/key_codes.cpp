#include "macro/key_codes.h"

#include <array>
#include <utility>

namespace kx700::macro {
namespace {

using Pair = std::pair<std::uint8_t, std::uint8_t>;  // virtual key, usage

// Single entries; the letter, digit and function-key runs are added below.
constexpr Pair kSingles[] = {
    {0x30, 0x27}, {0x0D, 0x28}, {0x1B, 0x29}, {0x08, 0x2A}, {0x09, 0x2B}, {0x20, 0x2C}, {0xBD, 0x2D}, {0xBB, 0x2E},
    {0xDB, 0x2F}, {0xDD, 0x30}, {0xDC, 0x31}, {0xC0, 0x32}, {0xBA, 0x33}, {0xDE, 0x34}, {0xBC, 0x36}, {0xBE, 0x37},
    {0xBF, 0x38}, {0x14, 0x39}, {0x2C, 0x46}, {0x91, 0x47}, {0x13, 0x48}, {0x2D, 0x49}, {0x24, 0x4A}, {0x21, 0x4B},
    {0x2E, 0x4C}, {0x23, 0x4D}, {0x22, 0x4E}, {0x27, 0x4F}, {0x25, 0x50}, {0x28, 0x51}, {0x26, 0x52}, {0x90, 0x53},
    {0x6F, 0x54}, {0x6A, 0x55}, {0x6D, 0x56}, {0x6B, 0x57}, {0x60, 0x62}, {0x6E, 0x63}, {0x5D, 0x65}, {0x2B, 0x74},
    {0x2F, 0x75}, {0x29, 0x77}, {0x0C, 0x9C}, {0x6C, 0x9F}, {0xA2, 0xE0}, {0xA0, 0xE1}, {0xA4, 0xE2}, {0x5B, 0xE3},
    {0xA3, 0xE4}, {0xA1, 0xE5}, {0xA5, 0xE6}, {0x5C, 0xE7}, {0xF0, 0xF1}, {0xF1, 0xF3}, {0xF2, 0xF2},
};

struct Run {
    std::uint8_t vk, usage, length;
};
constexpr Run kRuns[] = {
    {0x41, 0x04, 26},  // A-Z
    {0x31, 0x1E, 9},   // 1-9
    {0x70, 0x3A, 12},  // F1-F12
    {0x7C, 0x68, 12},  // F13-F24
    {0x61, 0x59, 9},   // keypad 1-9
};

struct Tables {
    std::array<std::uint8_t, 256> toUsage{};
    std::array<std::uint8_t, 256> toVk{};
};

constexpr Tables Build() {
    Tables t;
    for (int i = 0; i < 256; ++i) {
        t.toUsage[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
        t.toVk[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    }
    // Identity entries that collide with a mapped value must still invert
    // exactly on the listed pairs: set the listed pairs last.
    for (const Run& r : kRuns) {
        for (int k = 0; k < r.length; ++k) {
            t.toUsage[static_cast<std::size_t>(r.vk + k)] = static_cast<std::uint8_t>(r.usage + k);
            t.toVk[static_cast<std::size_t>(r.usage + k)] = static_cast<std::uint8_t>(r.vk + k);
        }
    }
    for (const Pair& p : kSingles) {
        t.toUsage[p.first] = p.second;
        t.toVk[p.second] = p.first;
    }
    return t;
}

constexpr Tables kTables = Build();

}  // namespace

std::uint8_t VkToUsage(std::uint8_t vk) { return kTables.toUsage[vk]; }
std::uint8_t UsageToVk(std::uint8_t usage) { return kTables.toVk[usage]; }

}  // namespace kx700::macro
