#include "macro/editor.h"

#include <algorithm>

#include "platform/text.h"

namespace kx700::macro {
namespace {

constexpr std::string_view kMoreThanLimit = "More than limit!";
constexpr std::size_t U(int i) { return static_cast<std::size_t>(i); }

struct InsertSpec {
    std::uint8_t code;
    std::uint8_t type;
    bool after;
};

std::optional<InsertSpec> InsertOf(int command) {
    using namespace cmd;
    if (command >= kBeforeLeftDown && command <= kBeforeLeftDown + 5) {
        constexpr std::uint8_t codes[] = {EV_MOUSE_LEFT, EV_MOUSE_RIGHT, EV_MOUSE_MIDDLE};
        const int k = command - kBeforeLeftDown;
        return InsertSpec{codes[k / 2], k % 2 == 0 ? TY_DOWN : TY_UP, false};
    }
    if (command >= kAfterLeftDown && command <= kAfterLeftDown + 3) {
        const int k = command - kAfterLeftDown;
        return InsertSpec{k < 2 ? EV_MOUSE_LEFT : EV_MOUSE_RIGHT, k % 2 == 0 ? TY_DOWN : TY_UP, true};
    }
    switch (command) {
        case kAfterMiddleDownCn:
        case kAfterMiddleDownEn: return InsertSpec{EV_MOUSE_MIDDLE, TY_DOWN, true};
        case kAfterMiddleUpCn:
        case kAfterMiddleUpEn: return InsertSpec{EV_MOUSE_MIDDLE, TY_UP, true};
        case kSetCpi: return InsertSpec{EV_CPI, TY_CPI_SET, true};
        case kRestoreCpi: return InsertSpec{EV_CPI, TY_CPI_RESTORE, true};
        case kInsertLed: return InsertSpec{EV_LED, TY_LED0, true};
        case kInsertDelay: return InsertSpec{EV_DELAY, 0, true};
        default: break;
    }
    if (command >= kMoveXnegYneg && command <= kMoveXnegYneg + 3) {
        return InsertSpec{EV_MOVE, static_cast<std::uint8_t>(TY_MOVE_XNEG_YNEG + (command - kMoveXnegYneg)), true};
    }
    return std::nullopt;
}

}  // namespace

CommandOutcome RunEditorCommand(MacroRecord& r, int command, EditorLines& lines, MessageSink& sink) {
    const int event = lines.selectedEvent();
    if (const auto insert = InsertOf(command)) {
        if (insert->code == EV_LED && r.ledCount >= kMaxSpecial) {
            sink.show(kMoreThanLimit);
            return CommandOutcome::ShowMacro;
        }
        if (!insert->after) {
            InsertEvent(r, event, insert->code, insert->type, sink);
            lines.menuLine += 2;
        } else if (lines.menuLineCount == 0) {
            InsertEvent(r, 0, insert->code, insert->type, sink);
            lines.menuLine = 0;
        } else {
            InsertEvent(r, event + 1, insert->code, insert->type, sink);
            lines.menuLine += 2;
        }
        return CommandOutcome::ShowMacro;
    }
    switch (command) {
        case cmd::kDeleteEvent:
            DeleteEvent(r, event);
            lines.menuLine -= 2;
            if (lines.menuLine < 3) lines.menuLine = 0;
            return CommandOutcome::ShowMacro;
        case cmd::kChangeParameters: {
            const int e = lines.menuLine / 2;
            if (lines.menuLineCount == 0 || lines.menuLine % 2 != 0 || e >= EventsInUse(r))
                return CommandOutcome::Nothing;
            // An LED line deliberately opens nothing: its parameters are the
            // steps of the LED step list (popups for the count, modes and
            // colours, a double-click for durations and intervals). Text typed
            // over the event line could only be thrown away, or would write
            // the selected step line's number back into the step, turning a
            // mode shown by its name into mode 0.
            if (r.eventCode[U(e)] == EV_LED) return CommandOutcome::Nothing;
            return r.eventCode[U(e)] > 128 ? CommandOutcome::OpenEventEditor : CommandOutcome::Nothing;
        }
        case cmd::kModifyDelay:
            if (lines.menuLineCount == 0 || lines.menuLine % 2 == 0) return CommandOutcome::Nothing;
            return CommandOutcome::OpenPauseEditor;
        default: return CommandOutcome::Nothing;
    }
}

std::uint32_t ReadNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    std::uint64_t n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        n = std::min<std::uint64_t>(n * 10 + static_cast<std::uint64_t>(text[i] - '0'), 0xFFFFFFFFu);
    }
    return static_cast<std::uint32_t>(n);
}

std::uint32_t NumberAfterColon(std::string_view text) {
    const auto colon = text.find(':');
    return ReadNumber(colon == std::string_view::npos ? text : text.substr(colon + 1));
}

void EditPause(MacroRecord& r, int event, std::string_view text, int pollIntervalMs, int& menuLine, MessageSink& sink) {
    if (event < 0 || event >= EventsInUse(r)) return;
    const auto ms = text.find("ms");
    std::uint32_t n = ReadNumber(ms == std::string_view::npos ? text : text.substr(0, ms));
    const std::uint32_t poll = static_cast<std::uint32_t>(std::clamp(pollIntervalMs, 1, 8));
    const std::uint32_t limit = 1270 * poll, piece = 127 * poll;
    if (n > limit) {
        sink.show(kMoreThanLimit);
        n = limit;
    }
    if (n < piece) {
        r.eventDelay[U(event)] = static_cast<std::uint16_t>(n);
        return;
    }
    const int k = static_cast<int>(n / piece);
    r.eventDelay[U(event)] = static_cast<std::uint16_t>(piece);
    for (int j = 1; j <= k; ++j) {
        if (r.eventCount >= kMaxEvents) {
            sink.show(kMoreThanLimit);
            return;
        }
        InsertEvent(r, event + j, EV_DELAY, 0, sink);
        r.eventDelay[U(event + j)] = static_cast<std::uint16_t>(j < k ? piece : n % piece);
        menuLine += 2;
    }
}

void EditEventLine(MacroRecord& r, int event, std::string_view text, MessageSink& sink) {
    if (event < 0 || event >= EventsInUse(r)) return;
    const std::uint8_t code = r.eventCode[U(event)];
    EventParam& p = r.eventParam[U(event)];
    if (code == EV_CPI && r.eventType[U(event)] == TY_CPI_SET) {
        const std::uint32_t cpi = NumberAfterColon(text);
        const int index = cpi <= 4800 ? IndexOfCpi(static_cast<int>(cpi)) : 0;
        if (index == 0) {
            sink.show("CPI(:200/400/600/800/1000/1200/1600/2000/2400/3200/4000/4800)");
            p.x = 4;
        } else {
            p.x = static_cast<std::uint16_t>(index);
        }
    } else if (code == EV_MOVE) {
        const auto colon = text.find(':');
        const std::string_view rest = colon == std::string_view::npos ? text : text.substr(colon + 1);
        std::uint32_t x = ReadNumber(rest);
        const auto comma = rest.find(',');
        std::uint32_t y = p.y;
        if (comma != std::string_view::npos) {
            const std::string_view tail = rest.substr(comma + 1);
            const auto c2 = tail.find(':');
            y = ReadNumber(c2 == std::string_view::npos ? tail : tail.substr(c2 + 1));
        }
        if (x > 100) {
            sink.show("[X]数值越界!");
            x = 100;
        }
        if (y > 100) {
            sink.show("[Y]数值超出!");
            y = 100;
        }
        p.x = static_cast<std::uint16_t>(x);
        p.y = static_cast<std::uint16_t>(y);
    }
}

void EditLedStep(MacroRecord& r, int event, int stepLine, std::string_view text, MessageSink& sink) {
    if (event < 0 || event >= EventsInUse(r) || r.eventCode[U(event)] != EV_LED) return;
    const int slot = r.eventParam[U(event)].x;
    const int byte = stepLine + 3;
    if (slot >= kLedSlots || stepLine < 1 || byte >= kLedSequenceBytes) return;
    std::uint32_t v = NumberAfterColon(text);
    if (v > 100) {
        sink.show(kMoreThanLimit);
        v = 100;
    }
    r.ledTable[U(slot)].setByteAt(byte, static_cast<std::uint8_t>(v));
}

bool RenameFromList(MacroRecord& r, std::string_view text, MessageSink& sink) {
    if (text::Utf16Length(text) > kNameBytes / 2 - 1) {
        sink.show(kMoreThanLimit);
        return false;
    }
    SetMacroName(r, text);
    return true;
}

NameBoxOutcome MacroNameChanged(MacroState& m, std::string_view text) {
    MacroTable& t = m.table;
    if (m.groups.groupCount <= 0 || t.macroCount <= 0) return NameBoxOutcome::Ignored;
    if (text.empty() || text == " ") return NameBoxOutcome::RestoreBox;
    for (int i = 0; i < t.macroCount && i < kMaxMacrosPerGroup; ++i) {
        if (MacroName(t.slots[U(i)]) == text) return NameBoxOutcome::Taken;
    }
    if (t.currentMacro < 0 || t.currentMacro >= t.macroCount) return NameBoxOutcome::Ignored;
    SetMacroName(t.slots[U(t.currentMacro)], text);
    return NameBoxOutcome::Renamed;
}

RepeatCount RepeatCountFromText(std::string_view text) {
    const std::uint32_t c = ReadNumber(text);
    if (c < 1) return {1, "1"};
    if (c > 65535) return {65535, "65535"};
    return {static_cast<std::uint16_t>(c), std::nullopt};
}

bool SetRunModeChoice(MacroRecord& r, int area) {
    if (area == 10 || area == 11) {
        const std::uint8_t mode = area == 10 ? RUN_MODE2 : RUN_MODE1;
        r.runMode = static_cast<std::uint8_t>((r.runMode & ~0x07) | mode);
        r.repeatCount = 1;
        return false;
    }
    r.runMode = static_cast<std::uint8_t>(r.runMode & ~(0x03 | RUN_FLAG_B));
    return true;
}

int NewMacro(MacroState& m, MessageSink& sink) {
    MacroTable& t = m.table;
    if (m.groups.groupCount <= 0) return -1;
    if (t.macroCount >= kMaxMacrosPerGroup) {
        sink.show(kMoreThanLimit);
        return -1;
    }
    const std::string name = "New";
    for (int i = 0; i < t.macroCount; ++i) {
        if (MacroName(t.slots[U(i)]) == name) {
            sink.show(DoubleNameMessage(name));
            return -1;
        }
    }
    const int index = t.macroCount;
    t.macroCount = static_cast<std::uint16_t>(index + 1);
    t.currentMacro = index;
    ClearMacro(t.slots[U(index)]);
    SetMacroName(t.slots[U(index)], name);
    return index;
}

void DeleteMacro(MacroTable& t, int s) {
    const int count = std::min<int>(t.macroCount, kMaxMacrosPerGroup);
    if (s < 0 || s >= count) return;
    for (int i = s; i + 1 < count; ++i) t.slots[U(i)] = t.slots[U(i + 1)];
    ClearMacro(t.slots[U(count - 1)]);
    t.macroCount = static_cast<std::uint16_t>(count - 1);
    t.currentMacro = s > 0 ? s - 1 : 0;
}

std::string DoubleNameMessage(std::string_view name) { return "'" + std::string(name) + "' Double name!"; }

}  // namespace kx700::macro
