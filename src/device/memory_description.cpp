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
std::string FunctionName(unsigned code, bool english) {
    struct Name {
        unsigned code;
        const char* en;
        const char* cn;
    };
    static constexpr Name kNames[] = {
        {0x00, "nothing", "无"},
        {0x01, "left click", "左键"},
        {0x02, "right click", "右键"},
        {0x03, "middle click", "中键"},
        {0x04, "forward", "前进"},
        {0x05, "back", "后退"},
        {0x06, "CPI cycle", "DPI循环"},
        {0x07, "double click", "双击"},
        {0x08, "scroll up", "滚轮向上"},
        {0x09, "scroll down", "滚轮向下"},
        {0x0B, "CPI up", "DPI加"},
        {0x0C, "CPI down", "DPI减"},
        {0x0D, "macro", "宏"},
        {0x0E, "macro, until pressed again", "宏，再按停止"},
        {0x0F, "multimedia key", "多媒体键"},
        {0x15, "rapid fire", "连发"},
        {0x17, "profile key 1", "配置键 1"},
        {0x19, "profile key 2", "配置键 2"},
        {0x1A, "profile key 3", "配置键 3"},
    };
    for (const Name& n : kNames)
        if (n.code == code) return english ? n.en : n.cn;
    return (english ? "function " : "功能 ") + Hex(code);
}

// The run modes as the macro page names them, from a descriptor's flags.
std::string RunModeName(bool mode1, bool mode2, bool english) {
    if (mode2) return english ? "until pressed again" : "再按停止";
    if (mode1) return english ? "while held" : "按住循环";
    return english ? "repeat count" : "循环次数";
}

// The words of a description, in one language.
struct Words {
    const char* blank;
    const char* activeProfile;
    const char* profileSlot;
    const char* button;
    const char* code;
    const char* close;  // after the code
    const char* separator;
    const char* reaction;
    const char* consumerUsage;
    const char* blockAt;
    const char* with;
    const char* events;
    const char* cpiLevels;
    const char* off;
    const char* rapidFire;
    const char* ms;
    const char* reportInterval;
    const char* lighting;
    const char* buttonResponse;
    const char* speed;
    const char* brightness;
    const char* direction;
    const char* symmetric;
    const char* cpiColours;
    const char* noCycle;
    const char* userColours;
    const char* nibble;
    const char* macroBlocks;
    const char* starts;
};

constexpr Words kEnglish{"the mouse's memory is blank: it has never been programmed\n",
                         "active profile: slot ",
                         "profile slot ",
                         "  button ",
                         " (code ",
                         "): ",
                         ", ",
                         "reaction lighting type ",
                         "consumer usage ",
                         "block at ",
                         " with ",
                         " events",
                         "CPI levels:",
                         "(off)",
                         "rapid fire: ",
                         " ms",
                         "report interval code: ",
                         "lighting: mode ",
                         " (button response)",
                         "speed ",
                         "brightness ",
                         "direction ",
                         "symmetric",
                         "CPI colours:",
                         "(no cycle)",
                         "user colours on",
                         "device nibble: ",
                         "macro blocks: ",
                         " events, starts"};

constexpr Words kChinese{"鼠标内存为空：从未写入过\n",
                         "当前配置：槽 ",
                         "配置槽 ",
                         "  按键 ",
                         "（编号 ",
                         "）：",
                         "，",
                         "按键灯效类型 ",
                         "消费者用法 ",
                         "宏块 ",
                         "，",
                         " 个事件",
                         "CPI 档位：",
                         "(关)",
                         "连发间隔：",
                         " 毫秒",
                         "回报间隔代码：",
                         "灯光：模式 ",
                         "（按键响应）",
                         "速度 ",
                         "亮度 ",
                         "方向 ",
                         "对称",
                         "CPI 颜色：",
                         "(不参与循环)",
                         "用户颜色开",
                         "设备半字节：",
                         "宏块数：",
                         " 个事件，开头"};

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
            x.function = FunctionName(x.functionCode, true);
            x.reaction = (byte & mem::kReactionOn) != 0;
            x.reactionType = byte >> mem::kReactionTypeShift;
            if (x.functionCode == 0x0D || x.functionCode == 0x0E || x.functionCode == 0x0F) {
                const Descriptor d = DescriptorAt(m, p, position);
                if (x.functionCode == 0x0F) {
                    x.consumerUsage = d.consumerUsage;
                } else {
                    x.block = MemorySummary::Block{d.blockAddress, d.events, RunModeName(d.mode1, d.mode2, true),
                                                   d.mode1, d.mode2};
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

void DescribeProfiles(std::ostream& out, const MemorySummary& s, const Words& w, bool english) {
    for (int p = 0; p < kProfileSlots; ++p) {
        out << w.profileSlot << p << (english ? ":\n" : "：\n");
        for (const MemorySummary::Button& x : s.profiles[static_cast<std::size_t>(p)]) {
            out << w.button << x.button << w.code << x.code << w.close << FunctionName(x.functionCode, english);
            if (x.reaction) out << w.separator << w.reaction << x.reactionType;
            if (x.consumerUsage) out << w.separator << w.consumerUsage << Hex(*x.consumerUsage, 4);
            if (x.block) {
                out << w.separator << w.blockAt << Hex(x.block->address, 4) << w.with << x.block->events << w.events
                    << w.separator << RunModeName(x.block->whileHeld, x.block->untilPressedAgain, english);
            }
            out << "\n";
        }
    }
}

void DescribeShared(std::ostream& out, const MemorySummary& s, const Words& w) {
    out << w.cpiLevels;
    for (const MemorySummary::Level& l : s.levels)
        out << " " << l.cpi << (l.enabled ? "" : w.off) << (l.current ? "*" : "");
    out << "\n" << w.rapidFire << s.rapidFireMs << w.ms << "\n";
    out << w.reportInterval << s.reportIntervalCode << "\n";
    out << w.lighting << s.lightingMode << (s.buttonResponse ? w.buttonResponse : "") << w.separator << w.speed
        << s.lightingSpeed << w.separator << w.brightness << s.brightness << w.separator << w.direction << s.direction;
    if (s.symmetric) out << w.separator << w.symmetric;
    out << "\n" << w.cpiColours;
    for (const MemorySummary::Level& l : s.levels) {
        out << " #" << std::hex << std::setfill('0') << std::setw(2) << l.colour[0] << std::setw(2) << l.colour[1]
            << std::setw(2) << l.colour[2] << std::dec << (l.cycle ? "" : w.noCycle);
    }
    if (s.userColours) out << w.separator << w.userColours;
    out << "\n" << w.nibble << s.deviceNibble << "\n";
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

void DescribeMemory(std::ostream& out, std::span<const std::uint8_t> memory, bool english) {
    const Words& w = english ? kEnglish : kChinese;
    const MemorySummary s = SummariseMemory(memory);
    if (s.blank) {
        out << w.blank;
        return;
    }
    out << w.activeProfile << s.activeProfile << "\n";
    DescribeProfiles(out, s, w, english);
    DescribeShared(out, s, w);
    out << w.macroBlocks << s.blocks.size() << "\n";
    for (const auto& [address, events] : s.blocks) {
        out << "  " << Hex(address, 4) << (english ? ": " : "：") << events << w.starts;
        for (std::uint8_t b : s.starts.at(address)) out << " " << Hex(b).substr(2);
        out << "\n";
    }
}

}  // namespace kx700::device
