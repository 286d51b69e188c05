#pragma once

// The mouse's memory map: where the apply puts every setting, and where the
// memory description and the simulated firmware find it again. Multi-byte
// numbers are little-endian. Nothing else in the code names an address.
#include <array>
#include <cstddef>
#include <cstdint>

#include "settings/mouse_settings.h"

namespace kx700::device::mem {

inline constexpr std::size_t kMemorySize = 0x4000;

// --- The fixed area: shared settings and the button bytes, 0x00 .. 0x7F.
inline constexpr std::uint16_t kFixedAreaSize = 0x80;
// Written as one single-byte transaction at the active profile byte, then in
// 8-byte transactions from kFixedBlocksStart on; bytes 0x00 and 0x02..0x07 are
// never written.
inline constexpr std::uint16_t kFixedBlocksStart = 0x08;
inline constexpr std::uint16_t kFixedBlockSize = 8;

inline constexpr std::uint16_t kActiveProfile = 0x01;  // (profile & 3) << 5, plus kActiveProfileTag
inline constexpr std::uint8_t kActiveProfileTag = 2;
inline constexpr unsigned kActiveProfileShift = 5;
inline constexpr std::uint16_t kWheelStatus = 0x14;
inline constexpr std::uint16_t kCpiCodes = 0x15;  // two levels a byte, the even level in the high nibble
inline constexpr std::uint16_t kCpiLevel = 0x18;  // kCpiLevelBias + level
inline constexpr std::uint8_t kCpiLevelBias = 0x18;
inline constexpr std::uint16_t kCpiEnableMask = 0x19;  // bit i: level i on
inline constexpr std::uint16_t kFireInterval = 0x1A;   // 16 bits, in kFireIntervalUnitMs
inline constexpr int kFireIntervalUnitMs = 8;
inline constexpr std::uint16_t kLightingMode = 0x1C;  // register << 4, aux bit 3, speed bits 0-2
inline constexpr std::uint16_t kCycleColours = 0x1D;  // two bits a CPI level, bit 7 the user colours
inline constexpr std::uint16_t kReportInterval = 0x1E;
inline constexpr std::uint16_t kCpiColours = 0x20;       // R, G, B of each CPI level in turn
inline constexpr std::uint16_t kLightingFeature = 0x3A;  // symmetry bit 6, direction bits 4-5, device nibble
inline constexpr std::uint16_t kBrightness = 0x3F;       // brightness in bits 4-6

inline constexpr int kCpiLevels = 4;  // the record's levels; the map has room for six
inline constexpr int kColourBytes = 3;

// Bytes of fixed value the mouse expects.
struct FixedByte {
    std::uint16_t address;
    std::uint8_t value;
};
inline constexpr std::array<FixedByte, 4> kFixedBytes = {{{0x13, 0x3F}, {0x32, 7}, {0x33, 3}, {0x43, 0xFD}}};

// The mouse's CPI codes, in the order of the CPI steps.
inline constexpr std::array<std::uint8_t, 12> kCpiCodeOfStep = {1, 2, 3, 4, 5, 6, 7, 9, 11, 13, 14, 15};

// --- Button bytes: device code + 32 x reaction on + 64 x reaction type, one
// per code position. Profile 0 keeps code positions 0..8 in one row and 9..11
// in another; the other profiles hold positions 0..11 in one row each.
inline constexpr int kButtonBytePositions = 12;  // code positions with a button byte
struct ButtonRow {
    std::uint16_t address;
    int firstPosition;
    int positions;
};
inline constexpr std::array<ButtonRow, 2> kProfile0ButtonRows = {{{0x08, 0, 9}, {0x3B, 9, 3}}};
inline constexpr std::array<std::uint16_t, kProfileSlots> kButtonRowStart = {kProfile0ButtonRows[0].address, 0x44, 0x50,
                                                                             0x60};
inline constexpr std::uint8_t kButtonCodeMask = 0x1F;
inline constexpr std::uint8_t kReactionOn = 0x20;
inline constexpr unsigned kReactionTypeShift = 6;

// The address of the button byte of (profile, code position 0..11).
constexpr std::uint16_t ButtonByteAddress(int profile, int position) {
    if (profile == 0) {
        for (const ButtonRow& r : kProfile0ButtonRows) {
            if (position >= r.firstPosition && position < r.firstPosition + r.positions) {
                return static_cast<std::uint16_t>(r.address + position - r.firstPosition);
            }
        }
    }
    return static_cast<std::uint16_t>(kButtonRowStart[static_cast<std::size_t>(profile)] + position);
}

// --- Slot descriptors: 8 bytes for each (profile, code position).
inline constexpr int kCodePositions = 14;  // per profile
inline constexpr std::uint16_t kDescriptorBase = 0x80;
inline constexpr std::uint16_t kDescriptorSize = 8;
// Byte offsets inside a descriptor.
inline constexpr std::size_t kDescPollInterval = 0;  // poll interval - 1
inline constexpr std::size_t kDescEventsLow = 1;     // event count bits 0-6, bit 7 run mode 2
inline constexpr std::size_t kDescKeyUsage = 2;
inline constexpr std::size_t kDescConsumerUsage = 3;  // 16 bits
inline constexpr std::size_t kDescBlockLow = 5;
inline constexpr std::size_t kDescBlockHigh = 6;     // block address bits 8-13, bit 6 flag B, bit 7 run mode 1
inline constexpr std::size_t kDescEventsHigh = 7;    // event count bits 7-12, bit 6 flag B of modes 1 and 2
inline constexpr std::uint8_t kDescRunMode2 = 0x80;  // in kDescEventsLow
inline constexpr std::uint8_t kDescRunMode1 = 0x80;  // in kDescBlockHigh
inline constexpr std::uint8_t kDescFlag = 0x40;      // in kDescBlockHigh and kDescEventsHigh
inline constexpr std::uint8_t kDescSixBits = 0x3F;

constexpr std::uint16_t DescriptorAddress(int profile, int position) {
    return static_cast<std::uint16_t>(kDescriptorBase + kDescriptorSize * (kCodePositions * profile + position));
}

// --- The data area: macro and key blocks, each a multiple of 8 bytes, up to
// the macro area limit (the higher one with the memory bank bit).
inline constexpr std::uint16_t kDataStart = 0x240;
inline constexpr std::uint16_t kMacroLimitLow = 0x7F8;
inline constexpr std::uint16_t kMacroLimitHigh = 0xFF8;
inline constexpr std::size_t kMaxBlockSize = 0x2000;

constexpr std::uint16_t MacroAreaLimit(int memoryBankBit) { return memoryBankBit ? kMacroLimitHigh : kMacroLimitLow; }

static_assert(kFixedAreaSize == kDescriptorBase, "the descriptors follow the fixed area");
static_assert(DescriptorAddress(kProfileSlots, 0) == kDataStart, "the descriptors end where the data starts");
static_assert((kFixedAreaSize - kFixedBlocksStart) % kFixedBlockSize == 0, "the fixed area is whole blocks");
static_assert(kDataStart < kMacroLimitLow && kMacroLimitLow < kMacroLimitHigh && kMacroLimitHigh < kMemorySize);

namespace detail {
// Whether every byte the fixed image holds lies in the fixed area and no two
// of them share an address.
constexpr bool FixedAreaBytesDistinct() {
    std::array<bool, kFixedAreaSize> used{};
    bool ok = true;
    auto take = [&](unsigned address) {
        if (address >= kFixedAreaSize || used[address])
            ok = false;
        else
            used[address] = true;
    };
    for (unsigned a : {kActiveProfile, kWheelStatus, kCpiLevel, kCpiEnableMask, kLightingMode, kCycleColours,
                       kReportInterval, kLightingFeature, kBrightness}) {
        take(a);
    }
    for (int i = 0; i < kCpiLevels / 2; ++i) take(kCpiCodes + static_cast<unsigned>(i));
    for (int i = 0; i < 2; ++i) take(kFireInterval + static_cast<unsigned>(i));
    for (int i = 0; i < kCpiLevels * kColourBytes; ++i) take(kCpiColours + static_cast<unsigned>(i));
    for (const FixedByte& f : kFixedBytes) take(f.address);
    for (int p = 0; p < kProfileSlots; ++p) {
        for (int k = 0; k < kButtonBytePositions; ++k) take(ButtonByteAddress(p, k));
    }
    return ok;
}
}  // namespace detail
static_assert(detail::FixedAreaBytesDistinct(), "the button rows and the settings bytes do not overlap");
static_assert(kProfile0ButtonRows[0].positions + kProfile0ButtonRows[1].positions == kButtonBytePositions);
static_assert(kMemorySlots <= kButtonBytePositions && kButtonBytePositions <= kCodePositions);

}  // namespace kx700::device::mem
