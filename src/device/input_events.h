#pragma once

// What the mouse tells the host on its read collection, decoded, and the
// read that the reader thread blocks in.
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>

#include "device/device_link.h"

namespace kx700::device {

enum class InputEventKind {
    CorrectionUp,      // run the macro correction re-upload, direction up
    CorrectionDown,    // ... direction down
    CorrectionRepeat,  // ... with the direction used last
    ProfileChanged,    // the mouse switched profile; a status read tells which
    Button,            // a press or release of one of the seven buttons
    DeviceRemoved,     // the matched interface is gone; nothing more will come
};

struct InputEvent {
    InputEventKind kind = InputEventKind::Button;
    int hardwareButtonCode = 0;   // Button: 1-6 or 8
    int button = -1;              // Button: the slot 0..6 of that code
    bool released = false;        // Button: state 0x80
    std::optional<int> dpiLevel;  // Button: the CPI level (0-7) the state byte carries
    std::uint8_t state = 0;       // Button: the raw state byte

    friend bool operator==(const InputEvent&, const InputEvent&) = default;
};

// Decodes one input report (report ID first). nullopt for reports that mean
// nothing: another report ID, too short, event 0xF0, or a button code that
// belongs to no button (7, 9-15), which must not disturb the press state of
// the real buttons.
std::optional<InputEvent> DecodeInputReport(std::span<const std::uint8_t> report);

// The reader thread hands each event on through this; the receiver decides
// which thread acts on it.
class InputEventSink {
public:
    virtual ~InputEventSink() = default;
    virtual void post(const InputEvent& event) = 0;
};

enum class InputReadStatus {
    Event,    // `event` holds a decoded event (DeviceRemoved included)
    Nothing,  // no report within the timeout, or a report that means nothing
    Failed,   // the read failed but the mouse is still listed; try again after a pause
    NotOpen,  // there is no read collection (the mouse, if found, is still listed)
};

struct InputRead {
    InputReadStatus status = InputReadStatus::Nothing;
    InputEvent event;
};

// Reads are never allowed to block longer than this, so a reader thread can
// always notice that it was asked to stop.
inline constexpr std::chrono::milliseconds kMaxInputWait{250};

// How often a mouse without an open read collection is looked for in the
// listing. Enumerating costs the system a walk over every HID device, so not
// much more often than this.
inline constexpr std::chrono::milliseconds kListingCheckInterval{300};

// Waits up to `timeout` (capped at kMaxInputWait) for one report on the read
// collection, into link.InputReport. A failed read enumerates again: when
// `devicePath` is no longer listed, the result is a DeviceRemoved event and
// `devicePresent` becomes false.
// Without a read collection but with a mouse found (discovery opened only the
// write collection), the call waits out `timeout` as a read would and, at most
// every kListingCheckInterval, enumerates: NotOpen while `devicePath` is
// listed, DeviceRemoved once it is gone. A link that never found a mouse gives
// NotOpen at once. Only the reader thread may call this.
InputRead ReadInputEvent(DeviceLink& link, std::chrono::milliseconds timeout);

// ReadInputEvent, with an event posted to `sink`. Returns the read's status.
InputReadStatus ForwardInputEvent(DeviceLink& link, std::chrono::milliseconds timeout, InputEventSink& sink);

}  // namespace kx700::device
