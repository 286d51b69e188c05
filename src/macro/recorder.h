#pragma once

// Key recording into the current macro: the window hands over every key
// message of the desktop while recording runs (a keyboard grab on X11, the
// low-level hook on Windows), and each accepted one becomes an event with the
// measured pause before it.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

#include "macro/event_text.h"
#include "macro/record.h"
#include "macro/state.h"

namespace kx700::macro {

// Key message kinds, as the Windows keyboard messages number them.
inline constexpr int kKeyDown = 0x100;
inline constexpr int kKeyUp = 0x101;
inline constexpr int kSysKeyDown = 0x104;
inline constexpr int kSysKeyUp = 0x105;

inline constexpr int kMaxRecordedEvents = 110;
inline constexpr int kMaxRecordedDownLines = 55;
inline constexpr int kMaxHeldKeys = 9;
inline constexpr std::uint16_t kLastRecordedPause = 20;  // ms, until the user edits it

// Milliseconds since UTC midnight, 0 to 86 399 999.
using MillisecondsOfDay = std::function<std::int64_t()>;
std::int64_t SystemMillisecondsOfDay();

struct Recorder {
    bool recording = false;
    int recordedCount = 0;                              // 0..kMaxRecordedEvents
    std::array<std::uint8_t, kMaxHeldKeys> heldKeys{};  // virtual keys down now, in pressing order
    int heldCount = 0;
    std::optional<std::pair<int, std::uint8_t>> lastKeyMessage;  // (kind, virtual key)
    std::int64_t lastEventTime = 0;
    MillisecondsOfDay clock;  // empty: the system clock
};

// Time since the previous call, 0 to 65535 ms; a call across midnight still
// measures forward.
std::uint16_t ElapsedMilliseconds(Recorder& r);

// Starts recording into `slot` of the table: the record is cleared, named
// `name`, repeated once in run mode 0, and `lines` is emptied. Returns false
// and changes nothing when the slot is not a macro of the list.
bool StartRecording(Recorder& r, MacroTable& t, int slot, std::string_view name, EventLines& lines);

// Ends recording; the current macro keeps the events recorded. Does nothing
// when no recording runs.
void StopRecording(Recorder& r, MacroTable& t);

inline constexpr std::string_view kRecordingFullMessage = "More than limit!";

enum class KeyOutcome {
    Ignored,       // nothing was added
    Recorded,      // an event was added to the macro and its lines to `lines`
    LimitReached,  // the macro was full: the recording has ended here (recording
                   // is false, the macro keeps the 110 events). The caller gives
                   // the keyboard back and then shows kRecordingFullMessage, once:
                   // every later key finds no recording.
};

// One key message while recording. On Recorded the event's lines were
// appended to `lines` (the pause of the previous event, then the event), so
// the list shows them and selects the last. Repeats of a held key, key-ups of
// keys not pressed during the recording, key-downs past 55 or past nine held
// keys, virtual key 0 and other message kinds are Ignored. A further key
// message once 110 events are recorded is LimitReached.
KeyOutcome RecordKeyMessage(Recorder& r, MacroRecord& macro, int kind, std::uint8_t vk, EventLines& lines);

}  // namespace kx700::macro
