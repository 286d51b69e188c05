// kx700ctl apply and monitor: the mouse programmed and watched without a window.
#include "app/ctl_program.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <mutex>
#include <sstream>
#include <thread>

#include "app/ctl_device.h"
#include "app/ctl_progress.h"
#include "device/protocol.h"
#include "platform/instance_channel.h"
#include "programming/apply.h"
#include "programming/monitor.h"

namespace kx700::ctl {
namespace {

using namespace std::chrono_literals;

std::atomic<bool> gInterrupted{false};
extern "C" void OnInterrupt(int) { gInterrupted = true; }

class StreamSink final : public MessageSink {
public:
    explicit StreamSink(std::ostream& err) : err_(err) {}
    void show(std::string_view text) override { err_ << "kx700ctl: " << text << "\n"; }

private:
    std::ostream& err_;
};

// Monitor events, queued for the main thread (which owns the session).
class QueueSink final : public programming::MonitorSink {
public:
    void post(const programming::MonitorEvent& e) override {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(e);
        }
        ready_.notify_one();
    }
    bool take(programming::MonitorEvent& e, std::chrono::milliseconds wait) {
        std::unique_lock lock(mutex_);
        if (!ready_.wait_for(lock, wait, [&] { return !queue_.empty(); })) return false;
        e = queue_.front();
        queue_.pop_front();
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<programming::MonitorEvent> queue_;
};

struct Started {
    Mouse mouse;
    Session session;
    std::unique_ptr<SystemMouse> desktop = MakeDesktopMouse();
};

// The window owns the mouse: it applies as if its Apply was pressed and
// answers with its messages and the result.
int ApplyThroughWindow(std::ostream& out, std::ostream& err) {
    using namespace std::chrono_literals;
    const auto socket = InstanceSocketPath("Q7N3_ZOvizaApp-" + InstanceUserName());
    const std::optional<std::string> answer = SendInstanceRequest(socket, "apply", 120s);
    if (!answer) {
        err << "kx700ctl: kx700 is using the mouse but did not answer the request to apply\n";
        return kExitFailure;
    }
    std::istringstream lines(*answer);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("message ", 0) == 0) err << "kx700ctl: " << line.substr(8) << "\n";
        if (line.rfind("result ", 0) == 0) {
            const bool ok = line.size() > 7 && line[7] == '0';
            const std::string summary = line.size() > 9 ? line.substr(9) : std::string();
            (ok ? out : err) << (ok ? "" : "kx700ctl: ") << summary << " (by the running kx700)\n";
            return ok ? kExitOk : kExitFailure;
        }
    }
    err << "kx700ctl: kx700 gave no result for the apply\n";
    return kExitFailure;
}

// Starts like the window: data, discovery, status. Returns an exit code, or
// -1 when the mouse is ready and this process owns it.
int Start(const Options& o, Started& st, MessageSink& sink, std::ostream& out, std::ostream& err) {
    if (Status opened = OpenMouse(o, st.mouse); !opened) {
        if (o.command == "apply" && HeldByWindow(st.mouse)) return ApplyThroughWindow(out, err);
        err << "kx700ctl: " << opened.message() << "\n";
        return kExitFailure;
    }
    Session& s = st.session;
    if (Status found = FindFolders(o.dataDir, s.folders); !found) {
        err << "kx700ctl: " << found.message() << "\n";
        return kExitFailure;
    }
    s.messages = &sink;
    s.systemMouse = st.desktop.get();
    int refused = -1;
    const Connection c = StartSession(s, *st.mouse.backend, [&](const std::string& devicePath) {
        if (st.mouse.sim) return true;  // a simulated mouse was claimed with its state file
        if (Status claimed = ClaimMouse(o, st.mouse, devicePath); !claimed) {
            if (o.command == "apply" && HeldByWindow(st.mouse)) {
                refused = ApplyThroughWindow(out, err);
            } else {
                err << "kx700ctl: " << claimed.message() << "\n";
                refused = kExitFailure;
            }
            return false;
        }
        return true;
    });
    if (c.found.result == device::DiscoveryResult::NotFound) {
        err << "kx700ctl: no KX700 mouse found\n";
        return kExitFailure;
    }
    if (!c.owned) return refused;
    if (c.found.result != device::DiscoveryResult::Ready) {
        err << "kx700ctl: " << device::DescribeDiscovery(c.found.result) << ": " << c.found.detail << "\n";
        return kExitFailure;
    }
    return -1;
}

// The apply's own message (through the sink) already said what went wrong;
// this adds what a script wants to know in one line.
int Apply(Started& st, std::ostream& out, std::ostream& err) {
    ApplyProgressLine line(err, ApplyProgressLine::OnTerminal(err));
    const programming::ApplyResult r = programming::ApplySettings(st.session, line.callback());
    line.end();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(r.elapsed).count();
    using programming::ApplyEnd;
    switch (r.end) {
        case ApplyEnd::Completed: break;
        case ApplyEnd::SettingsNotLoaded: return kExitFailure;
        case ApplyEnd::MacroAreaFull:
        case ApplyEnd::LedRangeExceeded:
            err << "kx700ctl: the apply ended early ("
                << (r.end == ApplyEnd::MacroAreaFull ? "macro storage full" : "LED data beyond memory") << ") after "
                << r.transactions << " transactions; config.ini was not changed\n";
            return kExitFailure;
        case ApplyEnd::NoDevice:
        case ApplyEnd::DeviceFailed:
            err << "kx700ctl: the apply failed after " << r.transactions << " transactions\n";
            return kExitFailure;
    }
    out << "applied: " << r.transactions << " transactions, " << r.bytes << " bytes, " << r.blocks
        << " macro blocks in " << ms << " ms\n";
    return r.saveError.empty() ? kExitOk : kExitFailure;
}

std::string Describe(const programming::MonitorEvent& e) {
    using Kind = programming::MonitorEvent::Kind;
    switch (e.kind) {
        case Kind::ProfileChanged: return "mouse: profile " + std::to_string(e.value);
        case Kind::CpiLevel: return "mouse: CPI level " + std::to_string(e.value);
        case Kind::Correction: return std::string("mouse: correction ") + (e.up ? "up" : "down");
        case Kind::Removed: return "mouse: removed";
        case Kind::HostAnswer: return "host: " + e.text;
    }
    return {};
}

// Plays one script step on the simulated mouse; false for a step it does not know.
bool Play(device::SimulatedMouse& sim, const std::string& step) {
    std::istringstream in(step);
    std::string verb;
    in >> verb;
    int a = 0, b = 0;
    if (verb == "press" && in >> a) {
        sim.pressButton(a);
    } else if (verb == "release" && in >> a) {
        sim.releaseButton(a);
    } else if (verb == "dpi" && in >> a >> b) {
        sim.reportCpiLevel(a, b);
    } else if (verb == "profile" && in >> a) {
        sim.switchProfile(a);
    } else if (verb == "correction") {
        std::string dir;
        in >> dir;
        if (dir != "up" && dir != "down") return false;
        sim.requestCorrection(dir == "up");
    } else if (verb == "wait" && in >> a) {
        std::this_thread::sleep_for(std::chrono::milliseconds(a));
    } else {
        return verb.empty();
    }
    return true;
}

void Drain(Session& s, QueueSink& q, std::ostream& out, std::chrono::milliseconds wait, bool& removed) {
    programming::MonitorEvent e;
    while (q.take(e, wait)) {
        out << Describe(e);
        using Kind = programming::MonitorEvent::Kind;
        if (e.kind == Kind::ProfileChanged) programming::HandleProfileChanged(s, e);
        if (e.kind == Kind::CpiLevel) programming::HandleCpiLevel(s, e.value);
        if (e.kind == Kind::Correction) {
            const programming::CorrectionResult r = programming::CorrectionReupload(s, e.up);
            out << (r.uploaded ? ": uploaded" : ": refused: " + r.refused);
        }
        if (e.kind == Kind::Removed) removed = true;
        out << "\n" << std::flush;
        wait = 50ms;
    }
}

int Monitor(Started& st, std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    std::optional<std::string> script;
    std::string error;
    const bool applyFirst = TakeFlag(args, "--apply-first");
    auto usage = [&](const std::string& problem) {
        err << "kx700ctl: " << problem << "\n";
        return kExitUsage;
    };
    if (!TakeValue(args, "--script", script, error)) return usage(error);
    if (!args.empty()) return usage("monitor: unexpected '" + args.front() + "'");
    if (script && !st.mouse.sim) return usage("--script plays the simulated mouse: add --simulate");
    if (applyFirst) {
        if (int rc = Apply(st, out, err); rc != kExitOk) return rc;
    }
    QueueSink queue;
    programming::DeviceMonitor monitor(st.session, queue);
    monitor.start();
    bool removed = false;
    if (script) {
        std::istringstream steps(*script);
        std::string step;
        while (std::getline(steps, step, ';')) {
            if (!Play(*st.mouse.sim, step)) {
                monitor.stop();
                return usage("monitor: unknown step '" + step + "'");
            }
            Drain(st.session, queue, out, 30ms, removed);
        }
        Drain(st.session, queue, out, 100ms, removed);
    } else {
        std::signal(SIGINT, OnInterrupt);
        out << "watching the mouse; Ctrl+C ends\n" << std::flush;
        while (!gInterrupted && !removed) Drain(st.session, queue, out, 200ms, removed);
    }
    monitor.stop();
    return kExitOk;
}

}  // namespace

int RunProgramCommand(const Options& o, std::ostream& out, std::ostream& err) {
    if (o.command != "apply" && o.command != "monitor") return kNotADeviceCommand;
    if (o.command == "apply" && !o.args.empty()) {
        err << "kx700ctl: apply takes no arguments\n";
        return kExitUsage;
    }
    StreamSink sink(err);
    Started st;
    if (int rc = Start(o, st, sink, out, err); rc >= 0) return rc;
    const int rc = o.command == "apply" ? Apply(st, out, err) : Monitor(st, o.args, out, err);
    if (Status saved = SaveMouse(o, st.mouse); !saved) {
        err << "kx700ctl: " << saved.message() << "\n";
        return kExitFailure;
    }
    return rc;
}

}  // namespace kx700::ctl
