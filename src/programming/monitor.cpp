#include "programming/monitor.h"

#include <chrono>

#include "device/protocol.h"
#include "programming/functions.h"

namespace kx700::programming {

DeviceMonitor::DeviceMonitor(Session& s, MonitorSink& sink) : session_(s), sink_(sink) {}

DeviceMonitor::~DeviceMonitor() { stop(); }

void DeviceMonitor::start() {
    if (reader_.joinable()) return;
    reader_ = std::jthread([this](std::stop_token st) { readLoop(st); });
    poller_ = std::jthread([this](std::stop_token st) { pollLoop(st); });
}

void DeviceMonitor::stop() {
    reader_.request_stop();
    poller_.request_stop();
    ready_.notify_all();
    if (reader_.joinable()) reader_.join();
    if (poller_.joinable()) poller_.join();
}

void DeviceMonitor::readLoop(std::stop_token stop) {
    using namespace std::chrono_literals;
    while (!stop.stop_requested()) {
        const device::InputRead read = device::ReadInputEvent(session_.link, 200ms);
        if (read.status == device::InputReadStatus::Event) {
            {
                std::lock_guard lock(mutex_);
                queue_.push_back(read.event);
            }
            ready_.notify_one();
            if (read.event.kind == device::InputEventKind::DeviceRemoved) return;
        } else if (read.status != device::InputReadStatus::Nothing) {
            std::this_thread::sleep_for(2ms);  // no read collection, or a failed read
        }
    }
}

void DeviceMonitor::pollLoop(std::stop_token stop) {
    while (true) {
        device::InputEvent e;
        {
            std::unique_lock lock(mutex_);
            if (!ready_.wait(lock, stop, [&] { return !queue_.empty(); })) return;
            e = queue_.front();
            queue_.pop_front();
        }
        handle(e);
    }
}

void DeviceMonitor::handle(const device::InputEvent& e) {
    using Kind = device::InputEventKind;
    switch (e.kind) {
        case Kind::Button: handleButton(e); break;
        case Kind::ProfileChanged:
            if (const auto st = device::ReadDeviceStatus(session_.link)) {
                const std::uint32_t n = session_.hostView.currentProfile.lastSwitch();
                sink_.post(MonitorEvent{MonitorEvent::Kind::ProfileChanged, st->currentProfile(), false, {}, n});
            }
            break;
        case Kind::CorrectionUp:
        case Kind::CorrectionDown:
        case Kind::CorrectionRepeat:
            if (e.kind != Kind::CorrectionRepeat) correctionUp_ = e.kind == Kind::CorrectionUp;
            sink_.post(MonitorEvent{MonitorEvent::Kind::Correction, 0, correctionUp_, {}});
            break;
        case Kind::DeviceRemoved: sink_.post(MonitorEvent{MonitorEvent::Kind::Removed, 0, false, {}}); break;
    }
}

void DeviceMonitor::handleButton(const device::InputEvent& e) {
    if (e.button < 0 || e.button >= kButtons) return;
    HostView& h = session_.hostView;
    const auto b = static_cast<std::size_t>(e.button);
    auto row = [&](int profile) { return static_cast<std::size_t>(profile & 3); };
    int p = h.currentProfile.load();

    if (h.holdKeyFlag[row(p)][b].load()) {
        (void)device::SendHoldState(session_.link, !e.released);
        sink_.post(
            MonitorEvent{MonitorEvent::Kind::HostAnswer, 0, false, e.released ? "hold released" : "hold pressed"});
    }
    if (e.dpiLevel && h.dpiReportFlag[row(p)][b].load() && *e.dpiLevel <= 3) {
        sink_.post(MonitorEvent{MonitorEvent::Kind::CpiLevel, *e.dpiLevel, false, {}});
    }
    if (e.released) return;
    if (h.profileKeyFlag[row(p)][b].load()) {
        if (const auto st = device::ReadDeviceStatus(session_.link)) {
            p = st->currentProfile();
            const std::uint32_t n = h.currentProfile.switchTo(p);  // later events already belong to the new profile
            sink_.post(MonitorEvent{MonitorEvent::Kind::ProfileChanged, p, false, {}, n});
        }
    }
    // The new profile's function of this button counts in the same pass.
    const std::int32_t f = h.buttonAssign[row(p)][b].load();
    if (f >= 22 && f <= 31) {
        const std::uint16_t usage = ConsumerUsageOf(f - 22);
        (void)device::SendConsumerUsage(session_.link, usage);
        sink_.post(
            MonitorEvent{MonitorEvent::Kind::HostAnswer, usage, false, "consumer usage " + std::to_string(usage)});
    }
}

}  // namespace kx700::programming
