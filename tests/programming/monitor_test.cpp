// The monitor threads against the simulated mouse's hands.
#include "programming/monitor.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "fixture.h"
#include "macro/files.h"
#include "programming/functions.h"
#include "settings/settings_file.h"

namespace kx700 {
namespace {

using namespace std::chrono_literals;
using programming::MonitorEvent;

class Collect final : public programming::MonitorSink {
public:
    void post(const MonitorEvent& e) override {
        {
            std::lock_guard lock(mutex_);
            events_.push_back(e);
        }
        cv_.notify_all();
    }
    // Waits (bounded) until `n` events of a kind arrived; the bound only guards a hang.
    std::vector<MonitorEvent> waitFor(MonitorEvent::Kind kind, std::size_t n) {
        std::unique_lock lock(mutex_);
        cv_.wait_for(lock, 5s, [&] { return count(kind) >= n; });
        std::vector<MonitorEvent> out;
        for (const auto& e : events_) {
            if (e.kind == kind) out.push_back(e);
        }
        return out;
    }
    std::size_t all() {
        std::lock_guard lock(mutex_);
        return events_.size();
    }

private:
    std::size_t count(MonitorEvent::Kind kind) const {
        std::size_t n = 0;
        for (const auto& e : events_) n += e.kind == kind;
        return n;
    }
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<MonitorEvent> events_;
};

// The feature reports the host sent after the apply, starting with `command`.
std::vector<std::vector<std::uint8_t>> Sent(device::SimulatedMouse& mouse, std::uint8_t command) {
    std::vector<std::vector<std::uint8_t>> out;
    for (const auto& e : mouse.log()) {
        if (e.direction == device::SimDirection::HostToMouse && e.bytes.size() >= 2 && e.bytes[1] == command)
            out.push_back(e.bytes);
    }
    return out;
}

// The mouse's own profile change, as the poll thread posts it.
MonitorEvent Switched(int profile, std::uint32_t lastSwitch) {
    return {MonitorEvent::Kind::ProfileChanged, profile, false, {}, lastSwitch};
}

TEST(Monitor, HoldAndMediaAnswersFromTheThreads) {
    testing::SessionFixture f;
    f.assign(0, 6, 18);  // code 8: sniper hold
    f.assign(0, 5, 22);  // code 6: home page
    Collect events;
    programming::DeviceMonitor monitor(f.s(), events);
    monitor.start();

    f.mouse->pressButton(8);
    f.mouse->releaseButton(8);
    f.mouse->pressButton(6);
    events.waitFor(MonitorEvent::Kind::HostAnswer, 1);
    EXPECT_TRUE(Sent(*f.mouse, 0x11).empty()) << "no hold answer before the first apply";
    ASSERT_EQ(Sent(*f.mouse, 0x17).size(), 1u) << "media keys work from the start";

    ASSERT_TRUE(programming::ApplySettings(f.s()).completed());
    f.mouse->pressButton(8);
    f.mouse->releaseButton(8);
    events.waitFor(MonitorEvent::Kind::HostAnswer, 3);
    const auto hold = Sent(*f.mouse, 0x11);
    ASSERT_EQ(hold.size(), 2u);
    EXPECT_EQ(hold[0], (std::vector<std::uint8_t>{7, 0x11, 2, 0, 0, 0, 0, 0}));
    EXPECT_EQ(hold[1], (std::vector<std::uint8_t>{7, 0x11, 0, 0, 0, 0, 0, 0}));
    const auto media = Sent(*f.mouse, 0x17);
    EXPECT_EQ(media[0][2], 0x02);
    EXPECT_EQ(media[0][3], 0x23);
    monitor.stop();
}

TEST(Monitor, ProfileChangesAndCpiLevelsReachTheSession) {
    testing::SessionFixture f;
    f.assign(2, 5, 25);  // profile 2, code 6: volume up
    f.assign(0, 5, 20);  // profile 0, code 6: profile key
    ASSERT_TRUE(programming::ApplySettings(f.s()).completed());
    Collect events;
    programming::DeviceMonitor monitor(f.s(), events);
    monitor.start();

    f.mouse->switchProfile(2);  // reply byte 6 = 0x08
    auto changed = events.waitFor(MonitorEvent::Kind::ProfileChanged, 1);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].value, 2);
    programming::HandleProfileChanged(f.s(), changed[0]);
    EXPECT_EQ(f.s().currentProfile, 2);
    EXPECT_EQ(ReadCurrentProfile(f.config()), 2);

    // A profile key whose new profile holds a media key answers with it too.
    programming::HandleProfileChanged(f.s(), Switched(0, changed[0].profileSwitch));
    f.mouse->setStatus(0, 2, 0);
    f.mouse->pressButton(6);
    changed = events.waitFor(MonitorEvent::Kind::ProfileChanged, 2);
    events.waitFor(MonitorEvent::Kind::HostAnswer, 1);
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_EQ(changed[1].value, 2);
    const auto media = Sent(*f.mouse, 0x17);
    ASSERT_EQ(media.size(), 1u);
    EXPECT_EQ(media[0][3], 0xE9);

    // CPI levels are taken only from buttons with a CPI function.
    programming::HandleProfileChanged(f.s(), Switched(0, changed[1].profileSwitch));
    f.mouse->reportCpiLevel(2, 3);  // right button: no CPI function
    f.mouse->reportCpiLevel(8, 2);  // code 8 holds "CPI up" in the factory profile
    const auto levels = events.waitFor(MonitorEvent::Kind::CpiLevel, 1);
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0].value, 2);
    programming::HandleCpiLevel(f.s(), levels[0].value);
    EXPECT_EQ(profile::ReadString(f.config(), "ShareData", "DPI_LEVEL", "", 5), "2");
    monitor.stop();
}

// After a profile key the poll thread answers from the new profile at once; a
// republish of the UI thread that has not yet handled that switch must not put
// the old profile back, and once it has, its own choice counts again.
TEST(Monitor, ARepublishBeforeTheSwitchIsHandledKeepsTheMousesProfile) {
    testing::SessionFixture f;
    f.assign(0, 5, 20);  // profile 0, code 6: profile key
    f.assign(2, 5, 2);   // profile 2, code 6: no host answer
    f.assign(0, 4, 22);  // code 5: home page in profile 0,
    f.assign(2, 4, 25);  // volume up in profile 2
    ASSERT_TRUE(programming::ApplySettings(f.s()).completed());
    ASSERT_EQ(f.s().currentProfile, 0);
    Collect events;
    programming::DeviceMonitor monitor(f.s(), events);
    monitor.start();

    f.mouse->setStatus(0, 2, 0);
    f.mouse->pressButton(6);
    const auto changed = events.waitFor(MonitorEvent::Kind::ProfileChanged, 1);
    ASSERT_EQ(changed.size(), 1u);
    f.assign(0, 3, 1);  // an edit republishes while the session still says profile 0
    EXPECT_EQ(f.s().hostView.currentProfile.load(), 2);
    f.mouse->pressButton(5);
    events.waitFor(MonitorEvent::Kind::HostAnswer, 1);
    const auto media = Sent(*f.mouse, 0x17);
    ASSERT_EQ(media.size(), 1u);
    EXPECT_EQ(media[0][3], 0xE9) << "volume up, from profile 2";

    programming::HandleProfileChanged(f.s(), changed[0]);
    EXPECT_EQ(f.s().hostView.currentProfile.load(), 2);
    f.s().currentProfile = 3;  // the user's choice in the window
    PublishHostView(f.s());
    EXPECT_EQ(f.s().hostView.currentProfile.load(), 3);
    monitor.stop();
}

TEST(Monitor, CorrectionsKeepTheirDirectionAndReuploadInPlace) {
    testing::SessionFixture f;
    // A macro with one move on the first button of profile 0.
    macro::MacroState& ms = f.s().macros;
    macro::MacroTable table;
    macro::MacroRecord& r = table.slots[0];
    macro::InsertEvent(r, 0, 0xF6, 6, f.messages);
    r.eventParam[0].y = 29;
    r.repeatCount = 1;
    table.macroCount = 1;
    f.replaceFirstGroup(table);
    f.assign(0, 0, programming::MacroChoiceValue(0, 0));
    f.assign(0, 1, 1);
    EXPECT_FALSE(programming::CorrectionReupload(f.s(), true).uploaded) << "nothing placed before the first apply";
    ASSERT_TRUE(programming::ApplySettings(f.s()).completed());
    const int address = f.s().apply.firstBlockAddress;
    ASSERT_GT(f.s().apply.firstBlockSize, 0);

    Collect events;
    programming::DeviceMonitor monitor(f.s(), events);
    monitor.start();
    f.mouse->requestCorrection(true);
    f.mouse->requestCorrection(true);
    std::vector<std::uint8_t> repeat = {6, 0x05, 0};
    f.mouse->sendRawInputReport(repeat);
    const auto corrections = events.waitFor(MonitorEvent::Kind::Correction, 3);
    ASSERT_EQ(corrections.size(), 3u);
    for (const auto& c : corrections) {
        EXPECT_TRUE(c.up);
        EXPECT_TRUE(programming::CorrectionReupload(f.s(), c.up).uploaded);
    }
    monitor.stop();
    EXPECT_EQ(macro::ReadMacro(ms.folders.macroFolder, 0, 0).eventParam[0].y, 30) << "29 + 3 stops at 30";
    // The image in place: the move's Y (offset 2 + 4) is 30.
    EXPECT_EQ(f.at(static_cast<std::size_t>(address) + 6), 30);
}

// A correction rewrites the first block only while it holds what the last
// complete apply put there; anything else would make the mouse play another
// macro, or the same one with a stale event count (and keys left held down).
TEST(Monitor, CorrectionOnlyRewritesTheMacroTheLastApplyPlaced) {
    struct Case {
        const char* what;
        std::function<void(testing::SessionFixture&)> change;
    };
    const std::vector<Case> cases = {
        {"the mouse switched to another profile",
         [](testing::SessionFixture& f) { programming::HandleProfileChanged(f.s(), Switched(2, 0)); }},
        {"another macro assigned to the first button",
         [](testing::SessionFixture& f) { f.assign(0, 0, programming::MacroChoiceValue(0, 1)); }},
        {"the macro edited: one event more",
         [](testing::SessionFixture& f) {
             macro::MacroState& ms = f.s().macros;
             macro::InsertEvent(ms.table.slots[0], 1, 0xF6, 6, f.messages);
             ASSERT_TRUE(
                 macro::SaveMacro(ms.folders.macroFolder / (ms.groups.groupNames[0] + ".dat"), ms.table, 0).ok());
         }},
        {"an apply that did not complete",
         [](testing::SessionFixture& f) {
             f.mouse->disconnectAfter(3);
             EXPECT_FALSE(programming::ApplySettings(f.s()).completed());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::SessionFixture f;
        macro::MacroTable table;
        for (int m = 0; m < 2; ++m) {
            macro::MacroRecord& r = table.slots[static_cast<std::size_t>(m)];
            macro::InsertEvent(r, 0, 0xF6, 6, f.messages);
            r.eventParam[0].y = 10;
            r.repeatCount = 1;
        }
        table.macroCount = 2;
        f.replaceFirstGroup(table);
        f.assign(0, 0, programming::MacroChoiceValue(0, 0));
        f.assign(2, 0, programming::MacroChoiceValue(0, 1));
        ASSERT_TRUE(programming::ApplySettings(f.s()).completed());
        ASSERT_TRUE(programming::CorrectionReupload(f.s(), true).uploaded) << "the placed macro itself is corrected";
        const auto before = f.mouse->memory();
        const auto fileBefore = macro::ReadMacro(f.s().macros.folders.macroFolder, 0, 0).eventParam[0].y;

        c.change(f);
        const auto memory = f.mouse->memory();
        const programming::CorrectionResult r = programming::CorrectionReupload(f.s(), true);
        EXPECT_FALSE(r.uploaded);
        EXPECT_FALSE(r.refused.empty());
        EXPECT_EQ(f.mouse->memory(), memory) << "nothing written";
        if (std::string(c.what).find("apply") == std::string::npos) {
            EXPECT_EQ(memory, before);
            EXPECT_EQ(macro::ReadMacro(f.s().macros.folders.macroFolder, 0, 0).eventParam[0].y, fileBefore);
        }
    }
}

// Discovery may open the write collection and not the read one; the unplug
// must still reach the session, as it does through a failed read.
TEST(Monitor, UnplugIsReportedWithOnlyTheWriteCollectionOpen) {
    testing::SessionFixture f;
    f.s().link.readHandle.reset();  // what discovery leaves when the read collection would not open
    Collect events;
    programming::DeviceMonitor monitor(f.s(), events);
    monitor.start();
    f.mouse->disconnectAfter(0);
    EXPECT_EQ(events.waitFor(MonitorEvent::Kind::Removed, 1).size(), 1u);
    EXPECT_FALSE(f.s().link.devicePresent);
    monitor.stop();
}

}  // namespace
}  // namespace kx700
