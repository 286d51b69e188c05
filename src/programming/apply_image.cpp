// Building the device image of an apply as data.
#include <algorithm>

#include "macro/files.h"
#include "macro/upload.h"
#include "programming/apply.h"
#include "programming/functions.h"

namespace kx700::programming {
namespace {

constexpr std::array<std::uint8_t, 12> kCpiCode = {1, 2, 3, 4, 5, 6, 7, 9, 11, 13, 14, 15};

std::uint8_t Byte(std::int64_t v) { return static_cast<std::uint8_t>(v & 0xFF); }
std::uint8_t CpiCode(std::uint8_t step) { return step < kCpiCode.size() ? kCpiCode[step] : 0; }
std::size_t RoundUp8(std::size_t n) { return (n + 7) / 8 * 8; }

// The macro an assignment value names, as the apply uses it.
struct Named {
    bool isMacro = false;
    bool isUser = false;
    macro::MacroRecord record{};  // unrolled when a short mode-2 user macro
    std::uint8_t modeByte = 0;    // as stored: drives the device code and the descriptor flags
};

Named LoadNamed(const Session& s, std::int32_t v) {
    Named n;
    if (v >= 256) {
        n.isMacro = n.isUser = true;
        n.record = macro::ReadMacro(s.macros.folders.macroFolder, v / 256 - 1, v % 256);
        n.modeByte = n.record.runMode;
        n.record = macro::UnrollShortMacro(n.record);
    } else if (v >= 32) {
        n.isMacro = true;
        const int index = v - 32 > 20 ? 0 : v - 32;
        n.record = s.macros.constants.records[static_cast<std::size_t>(index)];
        n.modeByte = n.record.runMode;
    }
    return n;
}

std::size_t BlockSize(const Named& n) {
    if (!n.isMacro) return 0;
    return RoundUp8(std::min(macro::MeasureMacroImage(n.record), kMaxBlockSize));
}

bool MacroExists(const macro::GroupDirectory& g, std::int32_t v) {
    const int group = v / 256 - 1;
    const int index = v % 256;
    return group >= 0 && group < g.groupCount && index < g.groupMacroCount[static_cast<std::size_t>(group)];
}

void ButtonTables(Session& s) {
    ApplyState& a = s.apply;
    for (int p = 0; p < kProfileSlots; ++p) {
        const auto pi = static_cast<std::size_t>(p);
        if (p == 1) {
            s.settings.buttonAssign[1].fill(0);
            continue;
        }
        std::array<std::uint8_t, kButtons> byButton{};
        for (int b = 0; b < kButtons; ++b) {
            const auto bi = static_cast<std::size_t>(b);
            std::int32_t& v = s.settings.buttonAssign[pi][bi];
            if (v >= 256 && !MacroExists(s.macros.groups, v)) v = 0;
            const Named named = v >= 32 ? LoadNamed(s, v) : Named{};
            byButton[bi] = DeviceCodeOf(v, named.modeByte);
            const HostFlags f = HostFlagsOf(v, byButton[bi]);
            a.holdKeyFlag[pi][bi] = f.hold;
            a.profileKeyFlag[pi][bi] = f.profileKey;
            a.dpiReportFlag[pi][bi] = f.dpiReport;
        }
        // To code positions; positions without a button hold 0.
        a.deviceCode[pi].fill(0);
        for (int b = 0; b < kButtons; ++b) {
            a.deviceCode[pi][static_cast<std::size_t>(MemorySlotOfButton(b))] = byButton[static_cast<std::size_t>(b)];
        }
    }
}

std::uint8_t ButtonByte(const Session& s, int p, int k) {
    if (k >= kMemorySlots) return 0;
    const auto pi = static_cast<std::size_t>(p);
    const auto ki = static_cast<std::size_t>(k);
    return Byte(std::int64_t{s.apply.deviceCode[pi][ki]} + 32 * std::int64_t{s.settings.reactEnable[pi][ki]} +
                64 * std::int64_t{s.settings.reactType[pi][ki]});
}

std::uint8_t LightingByte(Session& s) {
    const MouseSettings& st = s.settings;
    ApplyState& a = s.apply;
    int speed = st.ledCycleTime;
    if (st.ledMode <= 7) {
        a.ledModeRegister = st.ledMode;
        a.ledAuxBit = 0;
    } else if (st.ledMode == 8) {
        a.ledModeRegister = 1;
        a.ledAuxBit = 1;
    } else if (st.ledMode == 9) {
        a.ledAuxBit = 0;
        speed = 7;
    }
    return Byte(a.ledModeRegister * 16 + a.ledAuxBit * 8 + (speed & 7));
}

std::array<std::uint8_t, 0x80> FixedImage(Session& s) {
    MouseSettings& st = s.settings;
    st.cycleColourMask = ComposeCycleColourMask(st);
    std::array<std::uint8_t, 0x80> m{};
    m[0x01] = Byte(((s.currentProfile & 3) << 5) + 2);
    for (int k = 0; k < 9; ++k) m[static_cast<std::size_t>(0x08 + k)] = ButtonByte(s, 0, k);
    m[0x13] = 0x3F;
    m[0x14] = Byte(st.wheelStatus);
    m[0x15] = Byte(CpiCode(st.dpiStep[0]) << 4 | CpiCode(st.dpiStep[1]));
    m[0x16] = Byte(CpiCode(st.dpiStep[2]) << 4 | CpiCode(st.dpiStep[3]));
    m[0x18] = Byte(0x18 + (st.dpiLevel & 7));
    for (unsigned i = 0; i < 4; ++i) m[0x19] = Byte(m[0x19] | (st.dpiLevelEnabled[i] ? 1u << i : 0u));
    const int fire = st.fireInterval / 8;
    m[0x1A] = Byte(fire);
    m[0x1B] = Byte(fire >> 8);
    m[0x1C] = LightingByte(s);
    m[0x1D] = Byte(st.cycleColourEnable[0] + 4 * st.cycleColourEnable[1] + 16 * st.cycleColourEnable[2] +
                   64 * st.cycleColourEnable[3] + 128 * st.userColourEnable);
    m[0x1E] = st.reportIntervalCode;
    for (std::size_t i = 0; i < 4; ++i) {
        m[0x20 + 3 * i] = Byte(st.dpiColour[i].r);
        m[0x21 + 3 * i] = Byte(st.dpiColour[i].g);
        m[0x22 + 3 * i] = Byte(st.dpiColour[i].b);
    }
    m[0x32] = 7;
    m[0x33] = 3;
    m[0x3A] = Byte(((st.ledSymmetry & 1) << 6) + ((st.ledDirection & 3) << 4) + s.deviceNibble);
    m[0x3F] = Byte((st.ledBrightness & 7) << 4);
    m[0x43] = 0xFD;
    for (int k = 0; k < 12; ++k) {
        m[static_cast<std::size_t>(0x44 + k)] = ButtonByte(s, 1, k);
        m[static_cast<std::size_t>(0x50 + k)] = ButtonByte(s, 2, k);
        m[static_cast<std::size_t>(0x60 + k)] = ButtonByte(s, 3, k);
    }
    return m;
}

}  // namespace

DeviceImage BuildDeviceImage(Session& s, int memoryBankBit) {
    DeviceImage img;
    ApplyState& a = s.apply;
    ButtonTables(s);

    const std::array<std::uint8_t, 0x80> fixed = FixedImage(s);
    img.fixed.push_back(MemoryWrite{0x01, {fixed[0x01]}});
    for (std::uint16_t at = 0x08; at < 0x80; at = static_cast<std::uint16_t>(at + 8)) {
        img.fixed.push_back(MemoryWrite{at, std::vector<std::uint8_t>(fixed.begin() + at, fixed.begin() + at + 8)});
    }

    for (auto& row : a.slotAssign) row.fill(0);
    for (int p = 0; p < kProfileSlots; ++p) {
        for (int b = 0; b < kButtons; ++b) {
            a.slotAssign[static_cast<std::size_t>(p)][static_cast<std::size_t>(MemorySlotOfButton(b))] =
                s.settings.buttonAssign[static_cast<std::size_t>(p)][static_cast<std::size_t>(b)];
        }
    }

    // Descriptors and the place of every block; equal values share a block.
    a.firstBlockAddress = 0;
    a.firstBlockSize = 0;
    for (auto& row : a.blockAddress) row.fill(0);
    std::int32_t next = kDataStart;
    struct Placed {
        std::int32_t value;
        std::int32_t address;
    };
    std::vector<Placed> placed;
    for (int p = 0; p < kProfileSlots; ++p) {
        for (int n = 0; n < kCodePositions; ++n) {
            const auto pi = static_cast<std::size_t>(p);
            const auto ni = static_cast<std::size_t>(n);
            const std::uint8_t code = n < kMemorySlots ? a.deviceCode[pi][ni] : 0;
            if (code != kCodeMacro && code != kCodeMacroMode2 && code != kCodeConsumer) continue;
            const std::int32_t v = a.slotAssign[pi][ni];
            const Named named = v >= 32 ? LoadNamed(s, v) : Named{};
            const std::size_t size = BlockSize(named);
            const auto shared = p == 1 ? placed.end()
                                       : std::find_if(placed.begin(), placed.end(), [&](const Placed& x) { return x.value == v; });
            const bool isShared = shared != placed.end();
            a.blockAddress[pi][ni] = isShared ? shared->address : next;
            if (!isShared && p != 1) placed.push_back(Placed{v, next});

            const bool flags = named.isMacro && n <= 11;
            const int run = named.modeByte & 3;
            const bool r1 = flags && run == 1, r2 = flags && run == 2;
            const bool b2 = flags && run != 1 && run != 2 && (named.modeByte & 4);
            const bool b3 = flags && (r1 || r2) && (named.modeByte & 8);
            const int events = named.isMacro ? named.record.eventCount : 0;
            const std::int32_t address = a.blockAddress[pi][ni];
            const std::uint16_t consumer = ConsumerUsageOf(static_cast<int>(v % 256) - 22);
            img.descriptors.push_back(MemoryWrite{
                static_cast<std::uint16_t>(0x80 + 8 * (kCodePositions * p + n)),
                {Byte(s.settings.pollIntervalMs - 1), Byte((events & 0x7F) + (r2 ? 128 : 0)),
                 KeyUsageOf(static_cast<int>(v % 256) - 70), Byte(consumer), Byte(consumer >> 8), Byte(address),
                 Byte(((address >> 8) & 0x3F) + (b2 ? 64 : 0) + (r1 ? 128 : 0)),
                 Byte(((events >> 7) & 0x3F) + (b3 ? 64 : 0))}});
            if (!isShared) next += static_cast<std::int32_t>(size);
            if (p == s.currentProfile && n == 0) {
                if (v >= 256) {
                    a.firstBlockSize = static_cast<std::int32_t>(size);
                    img.firstBlock = ApplyState::FirstBlock{true, p, v, events, named.modeByte};
                }
                if (v >= 32) a.firstBlockAddress = address;
            }
        }
    }

    // The blocks, each once, 8 bytes at a time, none at or past the limit.
    const std::int32_t limit = memoryBankBit ? kMacroLimitHigh : kMacroLimitLow;
    std::vector<std::pair<std::int32_t, std::int32_t>> written;  // value, address
    MessageSink& sink = *s.messages;
    for (int p = 0; p < kProfileSlots; ++p) {
        for (int n = 0; n < kCodePositions; ++n) {
            const auto pi = static_cast<std::size_t>(p);
            const auto ni = static_cast<std::size_t>(n);
            const std::int32_t v = a.slotAssign[pi][ni];
            if (v < 32) continue;
            const std::int32_t address = a.blockAddress[pi][ni];
            if (p != 1 && std::find(written.begin(), written.end(), std::make_pair(v, address)) != written.end()) continue;
            if (p != 1) written.emplace_back(v, address);
            Named named = LoadNamed(s, v);
            if (!named.isUser) named.record.runMode = 0;  // built-in macros play as counted
            const std::size_t size = BlockSize(named);
            const macro::EncodedImage encoded =
                macro::EncodeMacroImage(named.record, static_cast<std::uint32_t>(address), size, s.settings.pollIntervalMs, sink);
            if (!encoded.applyMayContinue) {
                img.end = ApplyEnd::LedRangeExceeded;
                return img;
            }
            ++img.dataBlocks;
            for (std::size_t off = 0; off < encoded.bytes.size(); off += 8) {
                const std::int32_t at = address + static_cast<std::int32_t>(off);
                if (at >= limit) {
                    img.end = ApplyEnd::MacroAreaFull;
                    return img;
                }
                const std::size_t count = std::min<std::size_t>(8, encoded.bytes.size() - off);
                img.data.push_back(MemoryWrite{static_cast<std::uint16_t>(at),
                                               std::vector<std::uint8_t>(encoded.bytes.begin() + static_cast<std::ptrdiff_t>(off),
                                                                         encoded.bytes.begin() + static_cast<std::ptrdiff_t>(off + count))});
            }
        }
    }
    return img;
}

}  // namespace kx700::programming
