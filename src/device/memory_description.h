#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace kx700::device {

// What a memory image of the mouse holds, read back from its bytes.
struct MemorySummary {
    struct Block {
        unsigned address = 0;
        unsigned events = 0;
        std::string runMode;  // as the English Macro page names it
        bool whileHeld = false;
        bool untilPressedAgain = false;
    };
    struct Button {
        int button = 0;  // 0-6
        int code = 0;    // the mouse's number of the button
        unsigned functionCode = 0;
        std::string function;  // in the window's words
        bool reaction = false;
        unsigned reactionType = 0;
        std::optional<unsigned> consumerUsage;  // multimedia keys
        std::optional<Block> block;             // macros
    };
    struct Level {
        int cpi = 0;
        bool enabled = false;
        bool current = false;
        std::array<unsigned, 3> colour{};  // red, green, blue bytes
        bool cycle = false;                // the colour takes part in the colour cycle
    };
    bool blank = true;  // never programmed: every byte is zero
    int activeProfile = 0;
    std::array<std::array<Button, 7>, 4> profiles{};
    std::array<Level, 4> levels{};
    unsigned rapidFireMs = 0;
    unsigned reportIntervalCode = 0;
    unsigned lightingMode = 0;
    bool buttonResponse = false;
    unsigned lightingSpeed = 0;
    unsigned brightness = 0;
    unsigned direction = 0;
    bool symmetric = false;
    bool userColours = false;
    unsigned deviceNibble = 0;
    std::map<unsigned, unsigned> blocks;                     // address -> events
    std::map<unsigned, std::array<std::uint8_t, 8>> starts;  // the first bytes of each block
};

// Reads a memory image. `memory` should be the whole 16 KiB; a shorter image
// is read as far as it goes (the rest as zeros).
MemorySummary SummariseMemory(std::span<const std::uint8_t> memory);

// Describes a memory image of the mouse in words: the active profile, each
// profile's buttons, the CPI levels, lighting, rapid fire and the macro
// blocks the slot descriptors point at; in Chinese unless `english`, with the
// function and run mode names of the window's Chinese pages.
void DescribeMemory(std::ostream& out, std::span<const std::uint8_t> memory, bool english = true);

}  // namespace kx700::device
