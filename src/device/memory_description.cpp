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

void SummariseProfiles(const Image& m, MemorySummary& out) {
    for (int p = 0; p < kProfileSlots; ++p) {
        for (int b = 0; b < kButtons; ++b) {
            const int position = MemorySlotOfButton(b);
            const unsigned byte = m.at(mem::ButtonByteAddress(p, position));
            MemorySummary::Button& x = out.profiles[static_cast<std::size_t>(p)][static_cast<std::size_t>(b)];
            x.button = b;
            x.code = position + 1;
            x.functionCode = byte & mem::kButtonCodeMask;
            x.function = FunctionName(x.functionCode);
            x.reaction = (byte & mem::kReactionOn) != 0;
            x.reactionType = byte >> mem::kReactionTypeShift;
            if (x.functionCode == 0x0D || x.functionCode == 0x0E || x.functionCode == 0x0F) {
                const Descriptor d = DescriptorAt(m, p, position);
                if (x.functionCode == 0x0F) {
                    x.consumerUsage = d.consumerUsage;
                } else {
                    x.block = MemorySummary::Block{d.blockAddress, d.events, RunModeName(d.mode1, d.mode2)};
                    out.blocks[d.blockAddress] = d.events;
                }
            }
        }
    }
}

void SummariseShared(const Image& m, MemorySummary& out) {
    const unsigned current = (m.at(mem::kCpiLevel) - mem::kCpiLevelBias) & 7;
    const unsigned colours = m.at(mem::kCycleColours);
    for (unsigned i = 0; i < mem::kCpiLevels; ++i) {
        MemorySummary::Level& l = out.levels[i];
        const unsigned codes = m.at(mem::kCpiCodes + i / 2);
        l.cpi = CpiOfCode(i % 2 == 0 ? codes >> 4 : codes & 0x0F);
        l.enabled = ((m.at(mem::kCpiEnableMask) >> i) & 1) != 0;
        l.current = i == current;
        const unsigned base = mem::kCpiColours + mem::kColourBytes * i;
        l.colour = {m.at(base), m.at(base + 1), m.at(base + 2)};
        l.cycle = ((colours >> (2 * i)) & 1) != 0;
    }
    out.rapidFireMs = m.word(mem::kFireInterval) * mem::kFireIntervalUnitMs;
    out.reportIntervalCode = m.at(mem::kReportInterval);
    const unsigned led = m.at(mem::kLightingMode);
    const unsigned feature = m.at(mem::kLightingFeature);
    out.lightingMode = led >> 4;
    out.buttonResponse = (led & 8) != 0;
    out.lightingSpeed = led & 7;
    out.brightness = (m.at(mem::kBrightness) >> 4) & 7;
    out.direction = (feature >> 4) & 3;
    out.symmetric = ((feature >> 6) & 1) != 0;
    out.userColours = (colours & 0x80) != 0;
    out.deviceNibble = feature & 0x0F;
}

void DescribeProfiles(std::ostream& out, const MemorySummary& s) {
    for (int p = 0; p < kProfileSlots; ++p) {
        out << "profile slot " << p << ":\n";
        for (const MemorySummary::Button& x : s.profiles[static_cast<std::size_t>(p)]) {
            out << "  button " << x.button << " (code " << x.code << "): " << x.function;
            if (x.reaction) out << ", reaction lighting type " << x.reactionType;
            if (x.consumerUsage) out << ", consumer usage " << Hex(*x.consumerUsage, 4);
            if (x.block) {
                out << ", block at " << Hex(x.block->address, 4) << " with " << x.block->events << " events, "
                    << x.block->runMode;
            }
            out << "\n";
        }
    }
}

void DescribeShared(std::ostream& out, const MemorySummary& s) {
    out << "CPI levels:";
    for (const MemorySummary::Level& l : s.levels)
        out << " " << l.cpi << (l.enabled ? "" : "(off)") << (l.current ? "*" : "");
    out << "\nrapid fire: " << s.rapidFireMs << " ms\n";
    out << "report interval code: " << s.reportIntervalCode << "\n";
    out << "lighting: mode " << s.lightingMode << (s.buttonResponse ? " (button response)" : "") << ", speed "
        << s.lightingSpeed << ", brightness " << s.brightness << ", direction " << s.direction
        << (s.symmetric ? ", symmetric" : "") << "\n";
    out << "CPI colours:";
    for (const MemorySummary::Level& l : s.levels) {
        out << " #" << std::hex << std::setfill('0') << std::setw(2) << l.colour[0] << std::setw(2) << l.colour[1]
            << std::setw(2) << l.colour[2] << std::dec << (l.cycle ? "" : "(no cycle)");
    }
    out << (s.userColours ? ", user colours on" : "") << "\n";
    out << "device nibble: " << s.deviceNibble << "\n";
}

}  // namespace

MemorySummary SummariseMemory(std::span<const std::uint8_t> memory) {
    MemorySummary s;
    s.blank = std::all_of(memory.begin(), memory.end(), [](std::uint8_t b) { return b == 0; });
    const Image m(memory);
    s.activeProfile = static_cast<int>((m.at(mem::kActiveProfile) >> mem::kActiveProfileShift) & 3);
    SummariseProfiles(m, s);
    SummariseShared(m, s);
    for (const auto& [address, events] : s.blocks) {
        std::array<std::uint8_t, 8>& first = s.starts[address];
        for (unsigned i = 0; i < first.size(); ++i) first[i] = static_cast<std::uint8_t>(m.at(address + i));
    }
    return s;
}

void DescribeMemory(std::ostream& out, std::span<const std::uint8_t> memory) {
    const MemorySummary s = SummariseMemory(memory);
    if (s.blank) {
        out << "the mouse's memory is blank: it has never been programmed\n";
        return;
    }
    out << "active profile: slot " << s.activeProfile << "\n";
    DescribeProfiles(out, s);
    DescribeShared(out, s);
    out << "macro blocks: " << s.blocks.size() << "\n";
    for (const auto& [address, events] : s.blocks) {
        out << "  " << Hex(address, 4) << ": " << events << " events, starts";
        for (std::uint8_t b : s.starts.at(address)) out << " " << Hex(b).substr(2);
        out << "\n";
    }
}

}  // namespace kx700::device
