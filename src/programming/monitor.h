#pragma once

// The two threads that answer the mouse's own events: the reader takes every
// input report off the read collection and queues it; the poll thread acts on
// the queue. Hold and multimedia answers go to the mouse at once; what changes
// the session (profile, CPI level, corrections, removal) is handed to the
// session's own thread through a MonitorSink. Every event is handled once;
// none is lost between the threads.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "device/input_events.h"
#include "programming/session.h"

namespace kx700::programming {

struct MonitorEvent {
    enum class Kind {
        ProfileChanged,  // value: the profile the mouse now uses
        CpiLevel,        // value: the CPI level 0-3 the mouse reports
        Correction,      // up: the direction of the correction re-upload
        Removed,         // the mouse is gone
        HostAnswer,      // text: a hold or consumer report that was sent (for logs)
    };
    Kind kind = Kind::HostAnswer;
    int value = 0;
    bool up = false;
    std::string text;
    std::uint32_t profileSwitch = 0;  // ProfileChanged: the host view's last switch (HostProfile) when posted
};

// Receives events on the monitor's threads; implementations pass them on to
// the thread that owns the session (a queued call in the window).
class MonitorSink {
public:
    virtual ~MonitorSink() = default;
    virtual void post(const MonitorEvent& event) = 0;
};

class DeviceMonitor {
public:
    // Reads s.link's read collection and s.hostView; sends on s.link.
    DeviceMonitor(Session& s, MonitorSink& sink);
    ~DeviceMonitor();
    DeviceMonitor(const DeviceMonitor&) = delete;
    DeviceMonitor& operator=(const DeviceMonitor&) = delete;

    void start();
    void stop();  // both threads end within one read timeout

private:
    void readLoop(std::stop_token stop);
    void pollLoop(std::stop_token stop);
    void handle(const device::InputEvent& e);
    void handleButton(const device::InputEvent& e);

    Session& session_;
    MonitorSink& sink_;
    std::mutex mutex_;
    std::condition_variable_any ready_;
    std::deque<device::InputEvent> queue_;
    bool correctionUp_ = false;  // poll thread only
    std::jthread reader_;
    std::jthread poller_;
};

// What the session's thread does with the monitor's events.
void HandleProfileChanged(Session& s, const MonitorEvent& changed);
void HandleCpiLevel(Session& s, int level);

struct CorrectionResult {
    bool uploaded = false;
    std::string refused;  // why nothing was written, for the log
};

// The correction re-upload: every move of the current profile's first-button
// macro one step up or down, re-encoded into the place the last apply gave it,
// and saved. Refused before the first complete apply, without a user macro on
// that button, and for anything but the macro, in the shape, that the last
// apply placed there (another profile, another macro, an edited macro).
CorrectionResult CorrectionReupload(Session& s, bool up);

}  // namespace kx700::programming
