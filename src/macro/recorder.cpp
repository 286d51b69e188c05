#include "macro/recorder.h"

#include <algorithm>
#include <chrono>

#include "macro/key_codes.h"

namespace kx700::macro {
namespace {

constexpr std::int64_t kMillisecondsPerDay = 86'400'000;

std::size_t U(int i) { return static_cast<std::size_t>(i); }

bool IsKeyDown(int kind) { return kind == kKeyDown || kind == kSysKeyDown; }
bool IsKeyUp(int kind) { return kind == kKeyUp || kind == kSysKeyUp; }

// Removes vk from the held keys, the later ones moving up; false when it is
// not held.
bool Release(Recorder& r, std::uint8_t vk) {
    const auto begin = r.heldKeys.begin();
    const auto end = begin + r.heldCount;
    const auto it = std::find(begin, end, vk);
    if (it == end) return false;
    std::copy(it + 1, end, it);
    --r.heldCount;
    r.heldKeys[U(r.heldCount)] = 0;
    return true;
}

}  // namespace

std::int64_t SystemMillisecondsOfDay() {
    // The system clock counts from a UTC midnight and leaves out leap seconds.
    const auto sinceEpoch =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch());
    const std::int64_t ms = sinceEpoch.count() % kMillisecondsPerDay;
    return ms < 0 ? ms + kMillisecondsPerDay : ms;
}

std::uint16_t ElapsedMilliseconds(Recorder& r) {
    const std::int64_t now = r.clock ? r.clock() : SystemMillisecondsOfDay();
    std::int64_t d = now - r.lastEventTime;
    r.lastEventTime = now;
    if (d < 0) d += kMillisecondsPerDay;
    return static_cast<std::uint16_t>(std::clamp<std::int64_t>(d, 0, 65535));
}

bool StartRecording(Recorder& r, MacroTable& t, int slot, std::string_view name, EventLines& lines) {
    if (slot < 0 || slot >= std::min<int>(t.macroCount, kMaxMacrosPerGroup)) return false;
    r.recording = true;
    r.heldKeys = {};
    r.heldCount = 0;
    // A key still down from the previous recording must not make the first
    // press of this one look like its repeat.
    r.lastKeyMessage.reset();
    r.recordedCount = 0;
    t.currentMacro = slot;
    MacroRecord& macro = t.slots[U(slot)];
    ClearMacro(macro);
    SetMacroName(macro, name);
    macro.repeatCount = 1;
    macro.runMode = 0;
    lines = EventLines{};
    return true;
}

void StopRecording(Recorder& r, MacroTable& t) {
    if (!r.recording) return;
    r.recording = false;
    if (t.currentMacro >= 0 && t.currentMacro < kTableSlots)
        t.slots[U(t.currentMacro)].eventCount = static_cast<std::uint16_t>(r.recordedCount);
}

KeyOutcome RecordKeyMessage(Recorder& r, MacroRecord& macro, int kind, std::uint8_t vk, EventLines& lines) {
    const bool down = IsKeyDown(kind);
    if (!r.recording || (!down && !IsKeyUp(kind)) || vk == 0) return KeyOutcome::Ignored;
    const std::pair<int, std::uint8_t> message{kind, vk};
    if (r.lastKeyMessage == message) return KeyOutcome::Ignored;  // a held key repeating its key-down
    if (r.recordedCount >= kMaxRecordedEvents) {
        // Going on would answer every further key with another message box
        // while the keyboard is still taken: the recording ends at the limit.
        r.lastKeyMessage = message;
        r.recording = false;
        macro.eventCount = static_cast<std::uint16_t>(r.recordedCount);
        return KeyOutcome::LimitReached;
    }
    // Dropped key-downs are not remembered, so the key's next repeat is
    // looked at again; their key-ups find the key not held and are dropped.
    if (down && lines.downLines >= kMaxRecordedDownLines) return KeyOutcome::Ignored;
    if (down) {
        if (r.heldCount >= kMaxHeldKeys) return KeyOutcome::Ignored;
        r.heldKeys[U(r.heldCount++)] = vk;
    } else if (!Release(r, vk)) {
        return KeyOutcome::Ignored;  // pressed before the recording started, or dropped on its way down
    }

    const int n = r.recordedCount;
    macro.eventCode[U(n)] = VkToUsage(vk);
    macro.eventType[U(n)] = down ? TY_DOWN : TY_UP;
    // The first event's pause comes from the second; the first measurement
    // of a recording runs from whenever the previous one was and is dropped.
    const std::uint16_t elapsed = ElapsedMilliseconds(r);
    if (n > 0) {
        macro.eventDelay[U(n - 1)] = elapsed;
        macro.eventDelay[U(n)] = kLastRecordedPause;
    }
    macro.eventParam[U(n)] = {};
    // The record stays whole at every step, so the editor and a save see the
    // events recorded so far.
    macro.eventCount = static_cast<std::uint16_t>(n + 1);
    AddEventLines(macro, n, lines);
    r.recordedCount = n + 1;
    r.lastKeyMessage = message;
    return KeyOutcome::Recorded;
}

}  // namespace kx700::macro
