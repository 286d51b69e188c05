#include "device/memory_description.h"

#include <algorithm>
#include <array>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>

#include "settings/mouse_settings.h"

namespace kx700::device {
namespace {

constexpr int kCodePositions = 14;           // per profile in the descriptor table
constexpr unsigned kDescriptorBase = 0x80;
constexpr unsigned kDescriptorSize = 8;
// First button byte of code positions 0.. of each profile; profile 0 keeps
// positions 9 to 11 elsewhere.
constexpr std::array<unsigned, 4> kButtonBytes = {0x08, 0x44, 0x50, 0x60};
constexpr unsigned kProfile0HighPositions = 0x3B;
// The mouse's CPI codes, in the order of the CPI steps.
constexpr std::array<int, 12> kCpiCodes = {1, 2, 3, 4, 5, 6, 7, 9, 11, 13, 14, 15};

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
    const auto it = std::find(kCpiCodes.begin(), kCpiCodes.end(), static_cast<int>(code));
    return it == kCpiCodes.end() ? 0 : CpiOfStep(static_cast<int>(it - kCpiCodes.begin()));
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

unsigned ButtonByteAddress(int profile, int position) {
    if (profile == 0 && position >= 9) return kProfile0HighPositions + static_cast<unsigned>(position - 9);
    return kButtonBytes[static_cast<std::size_t>(profile)] + static_cast<unsigned>(position);
}

struct Descriptor {
    unsigned blockAddress;
    unsigned events;
    unsigned consumerUsage;
    bool mode1;
    bool mode2;
};

Descriptor DescriptorAt(const Image& m, int profile, int position) {
    const unsigned d = kDescriptorBase + kDescriptorSize * static_cast<unsigned>(kCodePositions * profile + position);
    return {m.at(d + 5) | (m.at(d + 6) & 0x3Fu) << 8, (m.at(d + 1) & 0x7Fu) | (m.at(d + 7) & 0x3Fu) << 7,
            m.word(d + 3), (m.at(d + 6) & 0x80) != 0, (m.at(d + 1) & 0x80) != 0};
}

void DescribeProfiles(std::ostream& out, const Image& m, std::map<unsigned, unsigned>& blocks) {
    for (int p = 0; p < kProfileSlots; ++p) {
        out << "profile slot " << p << ":\n";
        for (int b = 0; b < kButtons; ++b) {
            const int position = MemorySlotOfButton(b);
            const unsigned byte = m.at(ButtonByteAddress(p, position));
            const unsigned code = byte & 0x1F;
            out << "  button " << b << " (code " << position + 1 << "): " << FunctionName(code);
            if (byte & 0x20) out << ", reaction lighting type " << (byte >> 6);
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
    const unsigned current = (m.at(0x18) - 0x18) & 7;
    for (unsigned i = 0; i < 4; ++i) {
        const unsigned codes = m.at(0x15 + i / 2);
        const unsigned code = i % 2 == 0 ? codes >> 4 : codes & 0x0F;
        out << " " << CpiOfCode(code) << ((m.at(0x19) >> i) & 1 ? "" : "(off)") << (i == current ? "*" : "");
    }
    out << "\nrapid fire: " << m.word(0x1A) * 8 << " ms\n";
    out << "report interval code: " << m.at(0x1E) << "\n";
    const unsigned led = m.at(0x1C);
    out << "lighting: mode " << (led >> 4) << (led & 8 ? " (button response)" : "") << ", speed " << (led & 7)
        << ", brightness " << ((m.at(0x3F) >> 4) & 7) << ", direction " << ((m.at(0x3A) >> 4) & 3)
        << ((m.at(0x3A) >> 6) & 1 ? ", symmetric" : "") << "\n";
    const unsigned colours = m.at(0x1D);
    out << "CPI colours:";
    for (unsigned i = 0; i < 4; ++i) {
        const unsigned base = 0x20 + 3 * i;
        out << " #" << std::hex << std::setfill('0') << std::setw(2) << m.at(base) << std::setw(2) << m.at(base + 1)
            << std::setw(2) << m.at(base + 2) << std::dec << ((colours >> (2 * i)) & 1 ? "" : "(no cycle)");
    }
    out << ((colours & 0x80) ? ", user colours on" : "") << "\n";
    out << "device nibble: " << (m.at(0x3A) & 0x0F) << "\n";
}

}  // namespace

void DescribeMemory(std::ostream& out, std::span<const std::uint8_t> memory) {
    if (std::all_of(memory.begin(), memory.end(), [](std::uint8_t b) { return b == 0; })) {
        out << "the mouse's memory is blank: it has never been programmed\n";
        return;
    }
    const Image m(memory);
    out << "active profile: slot " << ((m.at(0x01) >> 5) & 3) << "\n";
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
