// The user's side of the simulated mouse and its fault knobs.
#include <algorithm>

#include "device/simulated_mouse.h"

namespace kx700::device {
namespace {

std::uint8_t ButtonEvent(int code) { return static_cast<std::uint8_t>(EVT_BUTTON_BASE + (code & 0x0F)); }

// Any state other than 0x80 is a press; the firmware sends 1.
constexpr std::uint8_t kPressed = 0x01;

}  // namespace

void SimulatedMouse::queueInput(std::uint8_t event, std::uint8_t state) {
    {
        std::lock_guard lock(mutex_);
        if (!connected_) return;
        std::vector<std::uint8_t> report(kReportLength, 0);
        report[0] = kInputReportId;
        report[1] = event;
        report[2] = state;
        input_.push_back(std::move(report));
    }
    inputArrived_.notify_all();
}

void SimulatedMouse::pressButton(int code) { queueInput(ButtonEvent(code), kPressed); }

void SimulatedMouse::releaseButton(int code) { queueInput(ButtonEvent(code), kButtonReleased); }

void SimulatedMouse::reportCpiLevel(int code, int level) {
    queueInput(ButtonEvent(code), static_cast<std::uint8_t>(kLevelFlag | (level & kLevelMask)));
}

void SimulatedMouse::switchProfile(int profile) {
    {
        std::lock_guard lock(mutex_);
        state_.statusByte6 =
            static_cast<std::uint8_t>((state_.statusByte6 & ~0x0Cu) | static_cast<unsigned>(profile & 3) << 2);
    }
    queueInput(EVT_PROFILE_CHANGED, 0);
}

void SimulatedMouse::requestCorrection(bool up) { queueInput(up ? EVT_CORRECTION_UP : EVT_CORRECTION_DOWN, 0); }

void SimulatedMouse::sendRawInputReport(std::span<const std::uint8_t> report) {
    {
        std::lock_guard lock(mutex_);
        if (!connected_) return;
        input_.emplace_back(report.begin(), report.end());
    }
    inputArrived_.notify_all();
}

void SimulatedMouse::setStatus(int bank, int profile, int nibble) {
    std::lock_guard lock(mutex_);
    state_.statusByte6 = static_cast<std::uint8_t>(
        (state_.statusByte6 & ~0x0Eu) | static_cast<unsigned>(bank & 1) << 1 | static_cast<unsigned>(profile & 3) << 2);
    state_.statusByte7 = static_cast<std::uint8_t>((state_.statusByte7 & 0xF0u) | static_cast<unsigned>(nibble & 0x0F));
}

void SimulatedMouse::dropFeatureReports(int count) {
    std::lock_guard lock(mutex_);
    dropReports_ = std::max(count, 0);
}

void SimulatedMouse::failReads(int count) {
    std::lock_guard lock(mutex_);
    failReads_ = std::max(count, 0);
}

void SimulatedMouse::failEveryRead(bool on) {
    std::lock_guard lock(mutex_);
    failEveryRead_ = on;
}

SimFaultKnobs SimulatedMouse::knobs() const {
    return {reportsUntilDisconnect_ > 0 ? reportsUntilDisconnect_ : 0, failEveryRead_, denied_};
}

SimFaultKnobs SimulatedMouse::faults() const {
    std::lock_guard lock(mutex_);
    return knobs();
}

void SimulatedMouse::disconnectNow() {
    connected_ = false;
    reportsUntilDisconnect_ = -1;
    input_.clear();
    block_ = Block{};
    inputArrived_.notify_all();
}

void SimulatedMouse::disconnectAfter(int reports) {
    std::lock_guard lock(mutex_);
    if (reports <= 0) {
        disconnectNow();
    } else {
        reportsUntilDisconnect_ = reports;
    }
}

void SimulatedMouse::reconnect() {
    std::lock_guard lock(mutex_);
    connected_ = true;
    reportsUntilDisconnect_ = -1;
    quietUntil_ = {};
}

void SimulatedMouse::useClock(ClockSource clock) {
    std::lock_guard lock(mutex_);
    const Clock::time_point before = now();
    clock_ = std::move(clock);
    started_ += now() - before;  // the state's own time carries on where it was
    quietUntil_ = {};
}

void SimulatedMouse::denyAccess(bool denied) {
    std::lock_guard lock(mutex_);
    denied_ = denied;
}

}  // namespace kx700::device
