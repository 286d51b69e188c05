#include "macro/record.h"

#include <algorithm>
#include <cstring>

#include "platform/text.h"

namespace kx700::macro {
namespace {

constexpr std::string_view kMoreThanLimit = "More than limit!";
constexpr std::string_view kError = "Error!";

std::size_t U(int i) { return static_cast<std::size_t>(i); }

// Counters never go below zero, even when a file's counters disagree with its
// events; the wrapped value would block every later insert of that kind.
template <typename T>
void DecrementCounter(T& counter) {
    if (counter > 0) counter = static_cast<T>(counter - 1);
}

void CopyEvent(MacroRecord& r, int to, int from) {
    r.eventType[U(to)] = r.eventType[U(from)];
    r.eventCode[U(to)] = r.eventCode[U(from)];
    r.eventParam[U(to)] = r.eventParam[U(from)];
    r.eventDelay[U(to)] = r.eventDelay[U(from)];
}

void ZeroEvent(MacroRecord& r, int i) {
    r.eventType[U(i)] = 0;
    r.eventCode[U(i)] = 0;
    r.eventParam[U(i)] = {};
    r.eventDelay[U(i)] = 0;
}

// LED and FB events number their sequences 0, 1, 2, ... in event order. An
// insert at p shifts every later sequence up one slot, highest first, so
// that each sequence moves whole; a delete shifts them down, lowest first.
void OpenSequenceSlot(MacroRecord& r, std::array<LedSequence, kLedSlots>& table, std::uint8_t code, int p) {
    for (int j = EventsInUse(r) - 1; j > p; --j) {
        if (r.eventCode[U(j)] != code) continue;
        const int s = r.eventParam[U(j)].x;
        r.eventParam[U(j)].x = static_cast<std::uint16_t>(s + 1);
        if (s + 1 < kLedSlots) table[U(s + 1)] = table[U(s)];
    }
    int slot = 0;
    for (int j = p - 1; j >= 0; --j) {
        if (r.eventCode[U(j)] != code) continue;
        if (r.eventParam[U(j)].x != 255) slot = r.eventParam[U(j)].x + 1;
        break;
    }
    r.eventParam[U(p)] = {static_cast<std::uint16_t>(slot), 0};
    if (slot < kLedSlots) {
        table[U(slot)] = LedSequence{};
        table[U(slot)].stepCount = 1;
    }
}

void CloseSequenceSlot(MacroRecord& r, std::array<LedSequence, kLedSlots>& table, std::uint8_t& count,
                       std::uint8_t code, int p, int used) {
    DecrementCounter(count);
    for (int j = p + 1; j < used; ++j) {
        if (r.eventCode[U(j)] != code) continue;
        const int s = r.eventParam[U(j)].x - 1;
        r.eventParam[U(j)].x = static_cast<std::uint16_t>(s);
        if (s >= 0 && s + 1 < kLedSlots) table[U(s)] = table[U(s + 1)];
    }
    if (count < kLedSlots) table[count] = LedSequence{};
}

}  // namespace

std::uint8_t LedSequence::byteAt(int b) const {
    if (b == 0) return stepCount;
    if (b < 4) return reserved[U(b - 1)];
    const LedStep& s = steps[U((b - 4) / 4)];
    switch ((b - 4) % 4) {
        case 0: return s.mode;
        case 1: return s.colour;
        case 2: return s.duration;
        default: return s.interval;
    }
}

void LedSequence::setByteAt(int b, std::uint8_t v) {
    if (b == 0) {
        stepCount = v;
        return;
    }
    if (b < 4) {
        reserved[U(b - 1)] = v;
        return;
    }
    LedStep& s = steps[U((b - 4) / 4)];
    switch ((b - 4) % 4) {
        case 0: s.mode = v; break;
        case 1: s.colour = v; break;
        case 2: s.duration = v; break;
        default: s.interval = v; break;
    }
}

std::string MacroName(const MacroRecord& r) {
    std::u16string units;
    for (int i = 0; i < kNameBytes / 2; ++i) {
        const auto unit = static_cast<char16_t>(r.name[U(2 * i)] | (r.name[U(2 * i + 1)] << 8));
        if (unit == 0) break;
        units.push_back(unit);
    }
    return text::Utf16ToUtf8(units);
}

void SetMacroName(MacroRecord& r, std::string_view utf8) {
    const std::u16string units = text::Utf8ToUtf16(text::TruncateUtf16(utf8, kNameBytes / 2 - 1));
    r.name = {};
    for (std::size_t i = 0; i < units.size(); ++i) {
        r.name[2 * i] = static_cast<std::uint8_t>(units[i] & 0xFF);
        r.name[2 * i + 1] = static_cast<std::uint8_t>(units[i] >> 8);
    }
}

void ClearMacro(MacroRecord& r) { r = MacroRecord{}; }

void InsertEvent(MacroRecord& r, int p, std::uint8_t code, std::uint8_t type, MessageSink& sink) {
    if (r.eventCount >= kMaxEvents) {
        sink.show(kMoreThanLimit);
        return;
    }
    const bool full = (code == EV_MOVE && r.moveCount >= kMaxMoves) || (code == EV_F7 && r.countF7 >= kMaxSpecial) ||
                      (code == EV_CPI && r.cpiCount >= kMaxSpecial) || (code == EV_FA && r.countFA >= kMaxSpecial) ||
                      (code == EV_LED && r.ledCount >= kMaxSpecial) || (code == EV_FB && r.countFB >= kMaxSpecial);
    if (full) {
        sink.show(kError);
        return;
    }
    const int old = r.eventCount;
    p = std::clamp(p, 0, old);
    r.eventCount = static_cast<std::uint16_t>(old + 1);
    for (int j = old; j > p; --j) CopyEvent(r, j, j - 1);

    r.eventType[U(p)] = type;
    r.eventCode[U(p)] = code;
    r.eventDelay[U(p)] = 1;
    r.eventParam[U(p)] = {};
    switch (code) {
        case EV_MOVE:
            // x = 0 rather than whatever the slot held before the shift.
            r.eventParam[U(p)] = {0, 10};
            ++r.moveCount;
            break;
        case EV_F7:
            r.eventParam[U(p)] = {1, 0};
            ++r.countF7;
            break;
        case EV_CPI:
            r.eventParam[U(p)] = {4, 0};
            ++r.cpiCount;
            break;
        case EV_FA:
            r.eventParam[U(p)] = {0x183, 0};
            ++r.countFA;
            break;
        case EV_LED:
            OpenSequenceSlot(r, r.ledTable, EV_LED, p);
            ++r.ledCount;
            break;
        case EV_FB:
            OpenSequenceSlot(r, r.auxTable, EV_FB, p);
            ++r.countFB;
            break;
        default: break;
    }
}

void DeleteEvent(MacroRecord& r, int p) {
    const int used = EventsInUse(r);
    if (p < 0 || p >= used) return;
    r.eventCount = static_cast<std::uint16_t>(r.eventCount - 1);
    switch (r.eventCode[U(p)]) {
        case EV_MOVE: DecrementCounter(r.moveCount); break;
        case EV_F7: DecrementCounter(r.countF7); break;
        case EV_CPI: DecrementCounter(r.cpiCount); break;
        case EV_FA: DecrementCounter(r.countFA); break;
        case EV_LED: CloseSequenceSlot(r, r.ledTable, r.ledCount, EV_LED, p, used); break;
        case EV_FB: CloseSequenceSlot(r, r.auxTable, r.countFB, EV_FB, p, used); break;
        default: break;
    }
    for (int j = p; j + 1 < used; ++j) CopyEvent(r, j, j + 1);
    ZeroEvent(r, used - 1);
}

namespace {
constexpr int kCpiOfIndex[16] = {0,    200,  400,  600,  800,  1000, 1200, 1600,
                                 1600, 2000, 2000, 2400, 2400, 3200, 4000, 4800};
}

int CpiOfIndex(int index) { return index >= 1 && index <= 15 ? kCpiOfIndex[index] : 800; }

int IndexOfCpi(int cpi) {
    for (int i = 1; i <= 15; ++i)
        if (kCpiOfIndex[i] == cpi) return i;
    return 0;
}

MacroRef MacroRef::FromAssignment(std::int32_t value) {
    if (IsUser(value)) return {Kind::User, value / kFirstUser - 1, LowByte(value)};
    if (IsMacro(value)) return {Kind::Constant, 0, value - kFirstConstant};
    return {};
}

}  // namespace kx700::macro
