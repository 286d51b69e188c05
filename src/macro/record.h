#pragma once

// One macro as the mouse and the macro files know it: a fixed-size record of
// at most 180 events, copied by value between tables, files and the uploader.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/message_sink.h"

namespace kx700::macro {

inline constexpr int kMaxEvents = 180;
inline constexpr int kMaxMoves = 50;
inline constexpr int kMaxSpecial = 5;  // F7, CPI, FA, LED and FB events each
inline constexpr int kNameBytes = 20;
inline constexpr int kLedSlots = 5;
inline constexpr int kLedSteps = 16;

// Event codes.
inline constexpr std::uint8_t EV_DELAY = 0x00;
inline constexpr std::uint8_t EV_MOUSE_LEFT = 0xF1;
inline constexpr std::uint8_t EV_MOUSE_MIDDLE = 0xF2;
inline constexpr std::uint8_t EV_MOUSE_RIGHT = 0xF3;
inline constexpr std::uint8_t EV_MOVE = 0xF6;
inline constexpr std::uint8_t EV_F7 = 0xF7;
inline constexpr std::uint8_t EV_CPI = 0xF8;
inline constexpr std::uint8_t EV_LED = 0xF9;
inline constexpr std::uint8_t EV_FA = 0xFA;
inline constexpr std::uint8_t EV_FB = 0xFB;

// Event types.
inline constexpr std::uint8_t TY_DOWN = 1;
inline constexpr std::uint8_t TY_UP = 2;
inline constexpr std::uint8_t TY_MOVE_XNEG_YNEG = 3;
inline constexpr std::uint8_t TY_MOVE_XNEG_YPOS = 4;
inline constexpr std::uint8_t TY_MOVE_XPOS_YNEG = 5;
inline constexpr std::uint8_t TY_MOVE_XPOS_YPOS = 6;
inline constexpr std::uint8_t TY_CPI_SET = 9;
inline constexpr std::uint8_t TY_CPI_RESTORE = 10;
inline constexpr std::uint8_t TY_LED0 = 13;
inline constexpr std::uint8_t TY_LED1 = 14;
inline constexpr std::uint8_t TY_LED2 = 15;

// Run mode byte.
inline constexpr std::uint8_t RUN_COUNTED = 0;
inline constexpr std::uint8_t RUN_MODE1 = 1;
inline constexpr std::uint8_t RUN_MODE2 = 2;
inline constexpr std::uint8_t RUN_FLAG_A = 0x04;
inline constexpr std::uint8_t RUN_FLAG_B = 0x08;

struct LedStep {
    std::uint8_t mode = 0;
    std::uint8_t colour = 0;
    std::uint8_t duration = 0;  // 100 ms units
    std::uint8_t interval = 0;  // 100 ms units
    friend bool operator==(const LedStep&, const LedStep&) = default;
};

// 68 bytes, laid out as the mouse reads it.
struct LedSequence {
    std::uint8_t stepCount = 0;
    std::array<std::uint8_t, 3> reserved{};
    std::array<LedStep, kLedSteps> steps{};

    std::uint8_t byteAt(int b) const;  // b in 0..67
    void setByteAt(int b, std::uint8_t v);
    friend bool operator==(const LedSequence&, const LedSequence&) = default;
};
inline constexpr int kLedSequenceBytes = 68;
static_assert(sizeof(LedSequence) == kLedSequenceBytes);

struct EventParam {
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    friend bool operator==(const EventParam&, const EventParam&) = default;
};

struct MacroRecord {
    std::array<std::uint8_t, kNameBytes> name{};  // UTF-16LE, zero-terminated
    std::uint8_t runMode = 0;
    std::uint16_t repeatCount = 0;
    std::uint16_t eventCount = 0;
    std::uint16_t moveCount = 0;
    std::uint16_t countF7 = 0;
    std::uint16_t cpiCount = 0;
    std::uint16_t countFA = 0;
    std::uint8_t ledCount = 0;
    std::uint8_t countFB = 0;
    std::array<std::uint8_t, kMaxEvents> eventType{};
    std::array<std::uint8_t, kMaxEvents> eventCode{};
    std::array<EventParam, kMaxEvents> eventParam{};
    std::array<std::uint16_t, kMaxEvents> eventDelay{};
    std::array<LedSequence, kLedSlots> ledTable{};
    std::array<LedSequence, kLedSlots> auxTable{};

    friend bool operator==(const MacroRecord&, const MacroRecord&) = default;
};
static_assert(std::is_trivially_copyable_v<MacroRecord>);

// Number of events that exist: a file may claim more than the arrays hold.
inline int EventsInUse(const MacroRecord& r) { return r.eventCount < kMaxEvents ? r.eventCount : kMaxEvents; }

// The name as UTF-8: code units up to the first zero, or all ten when a file
// left out the terminator.
std::string MacroName(const MacroRecord& r);
// Stores at most 9 UTF-16 code units (a pair is never split) and a terminator.
void SetMacroName(MacroRecord& r, std::string_view utf8);

void ClearMacro(MacroRecord& r);

// Inserts before event p (p == eventCount appends; a larger p appends too).
// Refusals go to the sink ("More than limit!", "Error!") and change nothing.
void InsertEvent(MacroRecord& r, int p, std::uint8_t code, std::uint8_t type, MessageSink& sink);

// Removes event p; p outside the events does nothing.
void DeleteEvent(MacroRecord& r, int p);

// TY_CPI_SET parameter <-> CPI. Unknown indices read as 800; an unknown CPI
// value gives 0.
int CpiOfIndex(int index);
int IndexOfCpi(int cpi);

// How a button assignment value names a macro: 0-31 are built-in functions,
// 32-255 constant macro value - 32, 256 and above user macro
// 256 x (group + 1) + index. The one place that takes a value apart.
struct MacroRef {
    enum class Kind { None, Constant, User };
    static constexpr std::int32_t kFirstConstant = 32;
    static constexpr std::int32_t kFirstUser = 256;

    Kind kind = Kind::None;
    int group = 0;  // user macros
    int index = 0;  // index in the group file, or in the constant table

    static MacroRef FromAssignment(std::int32_t value);
    static constexpr std::int32_t UserValue(int group, int index) { return kFirstUser * (group + 1) + index; }
    static constexpr bool IsMacro(std::int32_t value) { return value >= kFirstConstant; }
    static constexpr bool IsUser(std::int32_t value) { return value >= kFirstUser; }
    // The low byte of any value, as the slot descriptor takes its key and
    // consumer indexes from it (C++ remainder: negative values stay negative).
    static constexpr int LowByte(std::int32_t value) { return static_cast<int>(value % kFirstUser); }

    bool isMacro() const { return kind != Kind::None; }
    bool isUser() const { return kind == Kind::User; }
};

}  // namespace kx700::macro
