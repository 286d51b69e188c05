// Building the device image of an apply as data.
#include <algorithm>
#include <map>

#include "device/memory_map.h"
#include "macro/files.h"
#include "macro/upload.h"
#include "programming/apply.h"
#include "programming/functions.h"

namespace kx700::programming {
namespace {

namespace mem = device::mem;
using macro::MacroRef;

static_assert(macro::kLedAddressLimit == mem::kMemorySize, "LED step tables must stay inside the mouse's memory");
static_assert(kCodePositions == mem::kCodePositions);

using ButtonTable = std::array<std::array<std::int32_t, kButtons>, kProfileSlots>;

std::uint8_t Byte(std::int64_t v) { return static_cast<std::uint8_t>(v & 0xFF); }
std::uint8_t CpiCode(std::uint8_t step) { return step < mem::kCpiCodeOfStep.size() ? mem::kCpiCodeOfStep[step] : 0; }
std::size_t RoundUp8(std::size_t n) { return (n + 7) / 8 * 8; }

// The macro an assignment value names, as the apply uses it.
struct Named {
    bool isMacro = false;
    bool isUser = false;
    macro::MacroRecord record{};  // unrolled when a short mode-2 user macro
    std::uint8_t modeByte = 0;    // as stored: drives the device code and the descriptor flags
};

// Every macro one build uses, each read once: the button tables, the
// descriptors and the data blocks all ask for the same values.
class NamedMacros {
public:
    NamedMacros(const macro::MacroState& m, bool currentGroupFromTable) : m_(m), fromTable_(currentGroupFromTable) {}

    const Named& operator()(std::int32_t v) {
        const auto it = cache_.find(v);
        if (it != cache_.end()) return it->second;
        return cache_.emplace(v, load(v)).first->second;
    }

private:
    Named load(std::int32_t v) const {
        Named n;
        const MacroRef ref = MacroRef::FromAssignment(v);
        if (ref.isUser()) {
            n.isMacro = n.isUser = true;
            n.record = IsBeingEdited(ref) ? m_.table.slots[static_cast<std::size_t>(ref.index)]
                                          : macro::ReadMacro(m_.folders.macroFolder, ref.group, ref.index);
            n.modeByte = n.record.runMode;
            n.record = macro::UnrollShortMacro(n.record);
        } else if (ref.isMacro()) {
            n.isMacro = true;
            const int index = ref.index > 20 ? 0 : ref.index;
            n.record = m_.constants.records[static_cast<std::size_t>(index)];
            n.modeByte = n.record.runMode;
        }
        return n;
    }

    // The macro the apply saves before it reads (macro::SaveCurrentMacro).
    bool IsBeingEdited(const MacroRef& ref) const {
        const macro::MacroTable& t = m_.table;
        return fromTable_ && m_.groups.groupCount > 0 && ref.group == m_.groups.currentGroup &&
               ref.index == t.currentMacro && ref.index >= 0 && ref.index < t.macroCount &&
               ref.index < macro::kTableSlots;
    }

    const macro::MacroState& m_;
    bool fromTable_ = false;
    std::map<std::int32_t, Named> cache_;
};

std::size_t BlockSize(const Named& n) {
    if (!n.isMacro) return 0;
    return RoundUp8(std::min(macro::MeasureMacroImage(n.record), mem::kMaxBlockSize));
}

bool MacroExists(const macro::GroupDirectory& g, std::int32_t v) {
    const MacroRef ref = MacroRef::FromAssignment(v);
    return ref.group >= 0 && ref.group < g.groupCount &&
           ref.index < g.groupMacroCount[static_cast<std::size_t>(ref.group)];
}

// The device codes and host flags of the button table as the apply leaves it
// (slot 1 keeps its tables from `a`).
void ButtonTables(const ButtonTable& assign, ApplyState& a, NamedMacros& macros) {
    for (int p = 0; p < kProfileSlots; ++p) {
        const auto pi = static_cast<std::size_t>(p);
        if (p == 1) continue;
        std::array<std::uint8_t, kButtons> byButton{};
        for (int b = 0; b < kButtons; ++b) {
            const auto bi = static_cast<std::size_t>(b);
            const std::int32_t v = assign[pi][bi];
            byButton[bi] = DeviceCodeOf(v, MacroRef::IsMacro(v) ? macros(v).modeByte : 0);
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

std::uint8_t ButtonByte(const MouseSettings& st, const ApplyState& a, int p, int k) {
    if (k >= kMemorySlots) return 0;
    const auto pi = static_cast<std::size_t>(p);
    const auto ki = static_cast<std::size_t>(k);
    return Byte(std::int64_t{a.deviceCode[pi][ki]} +
                std::int64_t{mem::kReactionOn} * std::int64_t{st.reactEnable[pi][ki]} +
                (std::int64_t{1} << mem::kReactionTypeShift) * std::int64_t{st.reactType[pi][ki]});
}

std::uint8_t LightingByte(const MouseSettings& st, ApplyState& a) {
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

std::array<std::uint8_t, mem::kFixedAreaSize> FixedImage(const ImageInputs& in, const MouseSettings& st,
                                                         ApplyState& a) {
    std::array<std::uint8_t, mem::kFixedAreaSize> m{};
    m[mem::kActiveProfile] = Byte(((in.currentProfile & 3) << mem::kActiveProfileShift) + mem::kActiveProfileTag);
    for (int p = 0; p < kProfileSlots; ++p) {
        for (int k = 0; k < mem::kButtonBytePositions; ++k) m[mem::ButtonByteAddress(p, k)] = ButtonByte(st, a, p, k);
    }
    for (const mem::FixedByte& f : mem::kFixedBytes) m[f.address] = f.value;
    m[mem::kWheelStatus] = Byte(st.wheelStatus);
    for (std::size_t i = 0; i < mem::kCpiLevels / 2; ++i) {
        m[mem::kCpiCodes + i] = Byte(CpiCode(st.dpiStep[2 * i]) << 4 | CpiCode(st.dpiStep[2 * i + 1]));
    }
    m[mem::kCpiLevel] = Byte(mem::kCpiLevelBias + (st.dpiLevel & 7));
    for (unsigned i = 0; i < mem::kCpiLevels; ++i) {
        m[mem::kCpiEnableMask] = Byte(m[mem::kCpiEnableMask] | (st.dpiLevelEnabled[i] ? 1u << i : 0u));
    }
    const int fire = st.fireInterval / mem::kFireIntervalUnitMs;
    m[mem::kFireInterval] = Byte(fire);
    m[mem::kFireInterval + 1] = Byte(fire >> 8);
    m[mem::kLightingMode] = LightingByte(st, a);
    m[mem::kCycleColours] = Byte(st.cycleColourEnable[0] + 4 * st.cycleColourEnable[1] + 16 * st.cycleColourEnable[2] +
                                 64 * st.cycleColourEnable[3] + 128 * st.userColourEnable);
    m[mem::kReportInterval] = st.reportIntervalCode;
    for (std::size_t i = 0; i < mem::kCpiLevels; ++i) {
        const std::size_t at = mem::kCpiColours + mem::kColourBytes * i;
        m[at] = Byte(st.dpiColour[i].r);
        m[at + 1] = Byte(st.dpiColour[i].g);
        m[at + 2] = Byte(st.dpiColour[i].b);
    }
    m[mem::kLightingFeature] = Byte(((st.ledSymmetry & 1) << 6) + ((st.ledDirection & 3) << 4) + in.deviceNibble);
    m[mem::kBrightness] = Byte((st.ledBrightness & 7) << 4);
    return m;
}

std::vector<std::uint8_t> Descriptor(const ImageInputs& in, std::int32_t v, const Named& named, int n,
                                     std::int32_t address) {
    // Only the positions with a button byte carry the run flags.
    const bool flags = named.isMacro && n < mem::kButtonBytePositions;
    const int run = named.modeByte & 3;
    const bool r1 = flags && run == 1, r2 = flags && run == 2;
    const bool b2 = flags && run != 1 && run != 2 && (named.modeByte & 4);
    const bool b3 = flags && (r1 || r2) && (named.modeByte & 8);
    const int events = named.isMacro ? named.record.eventCount : 0;
    const std::uint16_t consumer = ConsumerUsageOf(MacroRef::LowByte(v) - 22);
    std::vector<std::uint8_t> d(mem::kDescriptorSize, 0);
    d[mem::kDescPollInterval] = Byte(in.settings.pollIntervalMs - 1);
    d[mem::kDescEventsLow] = Byte((events & 0x7F) + (r2 ? mem::kDescRunMode2 : 0));
    d[mem::kDescKeyUsage] = KeyUsageOf(MacroRef::LowByte(v) - 70);
    d[mem::kDescConsumerUsage] = Byte(consumer);
    d[mem::kDescConsumerUsage + 1] = Byte(consumer >> 8);
    d[mem::kDescBlockLow] = Byte(address);
    d[mem::kDescBlockHigh] =
        Byte(((address >> 8) & mem::kDescSixBits) + (b2 ? mem::kDescFlag : 0) + (r1 ? mem::kDescRunMode1 : 0));
    d[mem::kDescEventsHigh] = Byte(((events >> 7) & mem::kDescSixBits) + (b3 ? mem::kDescFlag : 0));
    return d;
}

}  // namespace

RecordChanges RecordChangesOf(const MouseSettings& settings, const macro::GroupDirectory& groups) {
    RecordChanges r{settings.buttonAssign, ComposeCycleColourMask(settings)};
    r.buttonAssign[1].fill(0);
    for (auto& row : r.buttonAssign) {
        for (std::int32_t& v : row) {
            if (MacroRef::IsUser(v) && !MacroExists(groups, v)) v = 0;
        }
    }
    return r;
}

BuiltImage BuildDeviceImage(const ImageInputs& in) {
    BuiltImage built{{}, in.previous, RecordChangesOf(in.settings, in.macros.groups)};
    DeviceImage& img = built.image;
    ApplyState& a = built.tables;
    NamedMacros macros(in.macros, in.currentGroupFromTable);
    const ButtonTable& assign = built.record.buttonAssign;
    ButtonTables(assign, a, macros);

    // The image is made from the record as the apply leaves it.
    MouseSettings st = in.settings;
    st.buttonAssign = assign;
    st.cycleColourMask = built.record.cycleColourMask;
    const std::array<std::uint8_t, mem::kFixedAreaSize> fixed = FixedImage(in, st, a);
    img.fixed.push_back(MemoryWrite{mem::kActiveProfile, {fixed[mem::kActiveProfile]}});
    for (std::uint16_t at = mem::kFixedBlocksStart; at < mem::kFixedAreaSize;
         at = static_cast<std::uint16_t>(at + mem::kFixedBlockSize)) {
        img.fixed.push_back(
            MemoryWrite{at, std::vector<std::uint8_t>(fixed.begin() + at, fixed.begin() + at + mem::kFixedBlockSize)});
    }

    for (auto& row : a.slotAssign) row.fill(0);
    for (int p = 0; p < kProfileSlots; ++p) {
        for (int b = 0; b < kButtons; ++b) {
            a.slotAssign[static_cast<std::size_t>(p)][static_cast<std::size_t>(MemorySlotOfButton(b))] =
                assign[static_cast<std::size_t>(p)][static_cast<std::size_t>(b)];
        }
    }

    // Descriptors and the place of every block; equal values share a block.
    a.firstBlockAddress = 0;
    a.firstBlockSize = 0;
    for (auto& row : a.blockAddress) row.fill(0);
    std::int32_t next = mem::kDataStart;
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
            const Named none;
            const Named& use = MacroRef::IsMacro(v) ? macros(v) : none;
            const std::size_t size = BlockSize(use);
            const auto shared =
                p == 1 ? placed.end()
                       : std::find_if(placed.begin(), placed.end(), [&](const Placed& x) { return x.value == v; });
            const bool isShared = shared != placed.end();
            a.blockAddress[pi][ni] = isShared ? shared->address : next;
            if (!isShared && p != 1) placed.push_back(Placed{v, next});
            if (!isShared && use.isMacro) img.blocks.push_back(PlacedBlock{p, n, v, next, size});

            const std::int32_t address = a.blockAddress[pi][ni];
            img.descriptors.push_back(MemoryWrite{mem::DescriptorAddress(p, n), Descriptor(in, v, use, n, address)});
            if (!isShared) next += static_cast<std::int32_t>(size);
            if (p == in.currentProfile && n == 0) {
                if (MacroRef::IsUser(v)) {
                    a.firstBlockSize = static_cast<std::int32_t>(size);
                    const int events = use.isMacro ? use.record.eventCount : 0;
                    img.firstBlock = ApplyState::FirstBlock{true, p, v, events, use.modeByte};
                }
                if (MacroRef::IsMacro(v)) a.firstBlockAddress = address;
            }
        }
    }

    // The blocks, each once, 8 bytes at a time, none at or past the limit.
    const std::int32_t limit = mem::MacroAreaLimit(in.memoryBankBit);
    std::vector<std::pair<std::int32_t, std::int32_t>> written;  // value, address
    for (int p = 0; p < kProfileSlots; ++p) {
        for (int n = 0; n < kCodePositions; ++n) {
            const auto pi = static_cast<std::size_t>(p);
            const auto ni = static_cast<std::size_t>(n);
            const std::int32_t v = a.slotAssign[pi][ni];
            if (!MacroRef::IsMacro(v)) continue;
            const std::int32_t address = a.blockAddress[pi][ni];
            if (p != 1 && std::find(written.begin(), written.end(), std::make_pair(v, address)) != written.end())
                continue;
            if (p != 1) written.emplace_back(v, address);
            Named use = macros(v);
            if (!use.isUser) use.record.runMode = 0;  // built-in macros play as counted
            const std::size_t size = BlockSize(use);
            const macro::EncodedImage encoded = macro::EncodeMacroImage(use.record, static_cast<std::uint32_t>(address),
                                                                        size, in.settings.pollIntervalMs, in.sink);
            if (!encoded.applyMayContinue) {
                img.end = ApplyEnd::LedRangeExceeded;
                return built;
            }
            ++img.dataBlocks;
            for (std::size_t off = 0; off < encoded.bytes.size(); off += 8) {
                const std::int32_t at = address + static_cast<std::int32_t>(off);
                if (at >= limit) {
                    img.end = ApplyEnd::MacroAreaFull;
                    return built;
                }
                const std::size_t count = std::min<std::size_t>(8, encoded.bytes.size() - off);
                img.data.push_back(MemoryWrite{
                    static_cast<std::uint16_t>(at),
                    std::vector<std::uint8_t>(encoded.bytes.begin() + static_cast<std::ptrdiff_t>(off),
                                              encoded.bytes.begin() + static_cast<std::ptrdiff_t>(off + count))});
            }
        }
    }
    return built;
}

}  // namespace kx700::programming
