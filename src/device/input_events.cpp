#include "device/input_events.h"

#include <algorithm>
#include <thread>

#include "settings/mouse_settings.h"

namespace kx700::device {
namespace {

bool StillListed(DeviceLink& link) {
    if (link.backend == nullptr) return false;
    std::string error;
    const HidEnumeration slots = link.backend->enumerate(&error);
    // When the system cannot be asked at all we cannot tell; assume present
    // rather than end the program on a hiccup.
    if (slots.empty() && !error.empty()) return true;
    return std::any_of(slots.begin(), slots.end(), [&](const std::optional<HidInterfaceInfo>& s) {
        return s && MatchesDevicePath(link.devicePath, s->path);
    });
}

InputRead Removed(DeviceLink& link) {
    link.devicePresent = false;
    InputEvent removed;
    removed.kind = InputEventKind::DeviceRemoved;
    return {InputReadStatus::Event, removed};
}

// The reader's turn without a read collection: as long as a read would have
// blocked, then a look at the listing when one is due.
InputRead WatchListing(DeviceLink& link, std::chrono::milliseconds wait) {
    using Clock = std::chrono::steady_clock;
    if (link.backend == nullptr || !link.devicePresent || link.devicePath.empty())
        return {InputReadStatus::NotOpen, {}};
    std::this_thread::sleep_for(wait);
    const Clock::time_point now = Clock::now();
    if (now < link.nextListingCheck) return {InputReadStatus::NotOpen, {}};
    link.nextListingCheck = now + kListingCheckInterval;
    if (StillListed(link)) return {InputReadStatus::NotOpen, {}};
    return Removed(link);
}

}  // namespace

std::optional<InputEvent> DecodeInputReport(std::span<const std::uint8_t> report) {
    if (report.size() < 3 || report[0] != kInputReportId) return std::nullopt;
    const std::uint8_t event = report[1];
    const std::uint8_t state = report[2];
    InputEvent out;
    if (event == EVT_CORRECTION_UP) {
        out.kind = InputEventKind::CorrectionUp;
    } else if (event == EVT_CORRECTION_DOWN) {
        out.kind = InputEventKind::CorrectionDown;
    } else if (event == EVT_PROFILE_CHANGED) {
        out.kind = InputEventKind::ProfileChanged;
    } else if (event < EVT_BUTTON_BASE) {
        out.kind = InputEventKind::CorrectionRepeat;
    } else {
        const int code = event - EVT_BUTTON_BASE;
        const int button = ButtonOfHardwareCode(code);
        if (button < 0) return std::nullopt;  // 0xF0 itself, and codes without a button
        out.kind = InputEventKind::Button;
        out.hardwareButtonCode = code;
        out.button = button;
        out.state = state;
        out.released = state == kButtonReleased;
        if (state & kLevelFlag) out.dpiLevel = state & kLevelMask;
    }
    return out;
}

InputRead ReadInputEvent(DeviceLink& link, std::chrono::milliseconds timeout) {
    const auto wait = std::clamp(timeout, std::chrono::milliseconds::zero(), kMaxInputWait);
    if (!link.readHandle) return WatchListing(link, wait);
    const std::size_t length = std::min(link.inputReportLength, link.InputReport.size());
    const HidIo io = link.readHandle->readInputReport(std::span(link.InputReport.data(), length), wait);
    if (io.status == HidIoStatus::Timeout) return {InputReadStatus::Nothing, {}};
    if (!io.ok()) {
        if (StillListed(link)) return {InputReadStatus::Failed, {}};
        return Removed(link);
    }
    const auto event =
        DecodeInputReport(std::span<const std::uint8_t>(link.InputReport.data(), std::min(io.bytes, length)));
    if (!event) return {InputReadStatus::Nothing, {}};
    return {InputReadStatus::Event, *event};
}

InputReadStatus ForwardInputEvent(DeviceLink& link, std::chrono::milliseconds timeout, InputEventSink& sink) {
    const InputRead read = ReadInputEvent(link, timeout);
    if (read.status == InputReadStatus::Event) sink.post(read.event);
    return read.status;
}

}  // namespace kx700::device
