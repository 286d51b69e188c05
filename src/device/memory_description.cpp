#include "device/memory_description.h"

#include <algorithm>
#include <array>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>

#include "device/memory_map.h"
#include "settings/mouse_settings.h"

namespace kx700::device {
namespace {

class Image {
public:
    explicit Image(std::span<const std::uint8_t> m) : m_(m) {}
    unsigned at(unsigned address) const { return address < m_.size() ? m_[address] : 0u; }
    unsigned word(unsigned address) const { return at(address) | at(address + 1) << 8; }

private:
    std::span<const std::uint8_t> m_;
};

std::string Hex(unsigned v, int width = 2) {
    std::ostringstream s;
    s << "0x" << std::uppercase << std::hex << std::setw(width) << std::setfill('0') << v;
    return s.str();
}

int CpiOfCode(unsigned code) {
    const auto& codes = mem::kCpiCodeOfStep;
    const auto it = std::find(codes.begin(), codes.end(), code);
    return it == codes.end() ? 0 : CpiOfStep(static_cast<int>(it - codes.begin()));
}

// The names the window shows for the functions behind these codes.
std::string FunctionName(unsigned code) {
    switch (code) {
        case 0x00: return "nothing";
        case 0x01: return "left click";
        case 0x02: return "right click";
        case 0x03: return "middle click";
        case 0x04: return "forward";
        case 0x05: return "back";
        case 0x06: return "CPI cycle";
        case 0x07: return "double click";
        case 0x08: return "scroll up";
        case 0x09: return "scroll down";
        case 0x0B: return "CPI up";
        case 0x0C: return "CPI down";
        case 0x0D: return "macro";
        case 0x0E: return "macro, until pressed again";
        case 0x0F: return "multimedia key";
        case 0x15: return "rapid fire";
        case 0x17: return "profile key 1";
        case 0x19: return "profile key 2";
        case 0x1A: return "profile key 3";
        default: return "function " + Hex(code);
    }
}

// The run modes as the macro page names them, from a descriptor's flags.
std::string RunModeName(bool mode1, bool mode2) {
    if (mode2) return "until pressed again";
    if (mode1) return "while held";
    return "repeat count";
}

struct Descriptor {
    unsigned blockAddress;
    unsigned events;
    unsigned consumerUsage;
    bool mode1;
    bool mode2;
};

Descriptor DescriptorAt(const Image& m, int profile, int position) {
    const unsigned d = mem::DescriptorAddress(profile, position);
    const unsigned eventsLow = m.at(d + mem::kDescEventsLow), blockHigh = m.at(d + mem::kDescBlockHigh);
    return {m.at(d + mem::kDescBlockLow) | (blockHigh & mem::kDescSixBits) << 8,
            (eventsLow & 0x7Fu) | (m.at(d + mem::kDescEventsHigh) & mem::kDescSixBits) << 7,
            m.word(d + mem::kDescConsumerUsage), (blockHigh & mem::kDescRunMode1) != 0,
            (eventsLow & mem::kDescRunMode2) != 0};
}

void DescribeProfiles(std::ostream& out, const Image& m, std::map<unsigned, unsigned>& blocks) {
    for (int p = 0; p < kProfileSlots; ++p) {
        out << "profile slot " << p << ":\n";
        for (int b = 0; b < kButtons; ++b) {
            const int position = MemorySlotOfButton(b);
            const unsigned byte = m.at(mem::ButtonByteAddress(p, position));
            const unsigned code = byte & mem::kButtonCodeMask;
            out << "  button " << b << " (code " << position + 1 << "): " << FunctionName(code);
            if (byte & mem::kReactionOn) out << ", reaction lighting type " << (byte >> mem::kReactionTypeShift);
            if (code == 0x0D || code == 0x0E || code == 0x0F) {
                const Descriptor d = DescriptorAt(m, p, position);
                if (code == 0x0F) {
                    out << ", consumer usage " << Hex(d.consumerUsage, 4);
                } else {
                    out << ", block at " << Hex(d.blockAddress, 4) << " with " << d.events << " events, "
                        << RunModeName(d.mode1, d.mode2);
                    blocks[d.blockAddress] = d.events;
                }
            }
            out << "\n";
        }
    }
}

void DescribeShared(std::ostream& out, const Image& m) {
    out << "CPI levels:";
    const unsigned current = (m.at(mem::kCpiLevel) - mem::kCpiLevelBias) & 7;
    for (unsigned i = 0; i < mem::kCpiLevels; ++i) {
        const unsigned codes = m.at(mem::kCpiCodes + i / 2);
        const unsigned code = i % 2 == 0 ? codes >> 4 : codes & 0x0F;
        out << " " << CpiOfCode(code) << ((m.at(mem::kCpiEnableMask) >> i) & 1 ? "" : "(off)")
            << (i == current ? "*" : "");
    }
    out << "\nrapid fire: " << m.word(mem::kFireInterval) * mem::kFireIntervalUnitMs << " ms\n";
    out << "report interval code: " << m.at(mem::kReportInterval) << "\n";
    const unsigned led = m.at(mem::kLightingMode);
    const unsigned feature = m.at(mem::kLightingFeature);
    out << "lighting: mode " << (led >> 4) << (led & 8 ? " (button response)" : "") << ", speed " << (led & 7)
        << ", brightness " << ((m.at(mem::kBrightness) >> 4) & 7) << ", direction " << ((feature >> 4) & 3)
        << ((feature >> 6) & 1 ? ", symmetric" : "") << "\n";
    const unsigned colours = m.at(mem::kCycleColours);
    out << "CPI colours:";
    for (unsigned i = 0; i < mem::kCpiLevels; ++i) {
        const unsigned base = mem::kCpiColours + mem::kColourBytes * i;
        out << " #" << std::hex << std::setfill('0') << std::setw(2) << m.at(base) << std::setw(2) << m.at(base + 1)
            << std::setw(2) << m.at(base + 2) << std::dec << ((colours >> (2 * i)) & 1 ? "" : "(no cycle)");
    }
    out << ((colours & 0x80) ? ", user colours on" : "") << "\n";
    out << "device nibble: " << (m.at(mem::kLightingFeature) & 0x0F) << "\n";
}

}  // namespace

void DescribeMemory(std::ostream& out, std::span<const std::uint8_t> memory) {
    if (std::all_of(memory.begin(), memory.end(), [](std::uint8_t b) { return b == 0; })) {
        out << "the mouse's memory is blank: it has never been programmed\n";
        return;
    }
    const Image m(memory);
    out << "active profile: slot " << ((m.at(mem::kActiveProfile) >> mem::kActiveProfileShift) & 3) << "\n";
    std::map<unsigned, unsigned> blocks;
    DescribeProfiles(out, m, blocks);
    DescribeShared(out, m);
    out << "macro blocks: " << blocks.size() << "\n";
    for (const auto& [address, events] : blocks) {
        out << "  " << Hex(address, 4) << ": " << events << " events, starts";
        for (unsigned i = 0; i < 8; ++i) out << " " << Hex(m.at(address + i)).substr(2);
        out << "\n";
    }
}

}  // namespace kx700::device
