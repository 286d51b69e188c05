// The window's apply: written by a worker while the window stays live.
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <thread>

#include "app/single_instance.h"
#include "device/report_layout.h"
#include "macro/files.h"
#include "platform/instance_channel.h"
#include "programming/functions.h"
#include "programming/macro_memory.h"
#include "ui/apply_runner.h"
#include "ui/areas.h"
#include "ui_clicks.h"
#include "ui_fixture.h"

namespace kx700 {
namespace {

using testing::WindowFixture;
using ui::Page;

// The QApplication comes from the environment window_test.cpp registers.

macro::MacroRecord KeyMacro(int events, int salt) {
    macro::MacroRecord r{};
    r.eventCount = static_cast<std::uint16_t>(events);
    r.repeatCount = static_cast<std::uint16_t>(salt + 1);
    for (int e = 0; e < events; ++e) {
        r.eventCode[static_cast<std::size_t>(e)] = static_cast<std::uint8_t>(0x04 + (e + salt) % 20);
        r.eventType[static_cast<std::size_t>(e)] = macro::TY_DOWN;
        r.eventDelay[static_cast<std::size_t>(e)] = 20;
    }
    return r;
}

// Twenty distinct user macros in the first group and a constant one: 21
// blocks, close to the lower limit. The first button of profile 0 holds a
// user macro, so the mouse may ask for its correction.
void Heavy(Session& s) {
    macro::MacroTable table;
    for (int i = 0; i < 20; ++i) table.slots[static_cast<std::size_t>(i)] = KeyMacro(31, i);
    table.macroCount = 20;
    macro::MacroState& m = s.macros;
    ASSERT_TRUE(macro::SaveAllMacros(macro::GroupFile(m.folders.macroFolder, m.groups.groupNames[0]), table).ok());
    m.groups.currentGroup = 0;
    m.table = table;
    macro::ReadAllMacroNames(m.folders.macroFolder, m.groups);
    int next = 0;
    for (int p : kUserProfileSlots) {
        for (int b = 0; b < kButtons; ++b, ++next) {
            s.settings.buttonAssign[static_cast<std::size_t>(p)][static_cast<std::size_t>(b)] =
                next < 20 ? programming::MacroChoiceValue(0, next) : 32;
        }
    }
    s.currentProfile = 0;
}

// Runs the event loop until `done` or a generous bound; the bound only keeps
// a broken build from hanging the suite.
template <typename Done>
void Spin(Done done) {
    for (int i = 0; i < 60000 && !done(); ++i) QTest::qWait(1);
}

std::size_t WritesAfterFinish(const device::SimulatedMouse& mouse) {
    bool finished = false;
    std::size_t after = 0;
    for (const device::SimLogEntry& e : mouse.log()) {
        if (e.bytes.size() < 3 || e.bytes[1] != device::CMD_MEMORY) continue;
        if (e.bytes[2] == device::MEM_FINISH) finished = true;
        if (finished && e.bytes[2] == device::MEM_WRITE_BYTE) ++after;
    }
    return after;
}

// The gauge a paint shows is kept between paints, but never outlives what it
// was measured from: an assignment, an edit of the macro being edited, and
// (within the half-second check) a group file changed on disk.
TEST(WindowGauge, FollowsAssignmentsEditsAndFilesOnDisk) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    f.window->show();
    macro::MacroState& m = f.session.macros;
    ASSERT_GE(m.groups.groupCount, 2);
    auto fresh = [&] { return programming::MeasureMacroMemory(f.session).used; };
    const std::size_t none = f.window->macroMemory().used;
    EXPECT_EQ(none, fresh());

    auto& buttons = f.session.settings.buttonAssign[static_cast<std::size_t>(f.session.currentProfile)];
    buttons[2] = programming::MacroChoiceValue(m.groups.currentGroup, 0);  // the macro being edited
    m.table.currentMacro = 0;
    const std::size_t assigned = f.window->macroMemory().used;
    EXPECT_GT(assigned, none);
    EXPECT_EQ(assigned, fresh());

    m.table.slots[0] = KeyMacro(60, 1);  // edited in the table, not saved
    const std::size_t edited = f.window->macroMemory().used;
    EXPECT_NE(edited, assigned);
    EXPECT_EQ(edited, fresh());

    // Another group's macro, then its file rewritten behind the window's back.
    buttons[3] = programming::MacroChoiceValue(1, 0);
    const std::size_t two = f.window->macroMemory().used;
    macro::MacroTable other;
    RecordingMessageSink quiet;
    const auto file = macro::GroupFile(m.folders.macroFolder, m.groups.groupNames[1]);
    macro::LoadGroupFile(file, other, quiet);
    ASSERT_GT(other.macroCount, 0);
    other.slots[0] = KeyMacro(90, 2);
    ASSERT_TRUE(macro::SaveAllMacros(file, other).ok());
    ASSERT_NE(fresh(), two);
    Spin([&] { return f.window->macroMemory().used == fresh(); });
    EXPECT_EQ(f.window->macroMemory().used, fresh()) << "the half-second check measured the file again";
}

TEST(WindowApply, TheWindowStaysLiveWhileAWorkerWritesTheSameImage) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    Heavy(f.session);
    const programming::MacroMemoryUse use = f.window->macroMemory();
    ASSERT_TRUE(use.fits);
    ASSERT_GT(use.used, use.capacity * 3 / 4) << "a large apply, near the limit";

    // The same record applied the old way, on the UI thread, into a mouse of its own.
    std::vector<std::uint8_t> reference;
    {
        RecordingMessageSink quiet;
        auto mouse = std::make_shared<device::SimulatedMouse>(device::SimulatedMouseState{});
        device::SimulatedBackend backend{mouse};
        Session s;
        s.folders = f.session.folders;
        s.messages = &quiet;
        LoadSessionData(s);
        s.settings.buttonAssign = f.session.settings.buttonAssign;
        s.currentProfile = f.session.currentProfile;
        ASSERT_EQ(device::DiscoverDevice(s.link, backend).result, device::DiscoveryResult::Ready);
        ASSERT_TRUE(programming::ApplySettings(s).succeeded());
        reference = mouse->memory();
    }

    // A second start's channel, served by this window.
    const QString name = QStringLiteral("kx700-apply-test-%1").arg(QCoreApplication::applicationPid());
    app::SingleInstance instance(name);
    ASSERT_TRUE(instance.acquire());
    instance.setApplyHandler([&f](auto answer) { f.window->ApplyForRequest(std::move(answer)); });

    int ticksWhileApplying = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ticksWhileApplying += f.window->applying() ? 1 : 0; });
    timer.start(1);
    std::vector<std::size_t> progress;
    QObject::connect(&f.window->applyRunner(), &ui::ApplyRunner::progressed,
                     [&] { progress.push_back(f.window->applyRunner().done()); });

    std::vector<std::uint8_t> atTheEnd;
    std::size_t finishesAtTheEnd = 0;
    ASSERT_TRUE(f.window->StartApply([&](const programming::ApplyResult& r) {
        EXPECT_TRUE(r.succeeded());
        atTheEnd = f.mouse->memory();
        finishesAtTheEnd = f.mouse->snapshot().firmware.finishes;
    }));
    ASSERT_TRUE(f.window->applying());
    const std::size_t total = f.window->applyRunner().total();
    QImage midApply;
    Spin([&] { return f.window->applyRunner().done() >= 20; });

    {
        // Holding the link's mutex parks the worker before its next
        // transaction: everything below happens while the apply runs.
        std::unique_lock parked(f.session.link.transactionMutex);
        ASSERT_TRUE(f.window->applying());
        const QRect applyArea = f.window->areaRect(Page::Main, ui::area::header::kApply);
        midApply = f.window->renderFrame().copy(applyArea);

        Spin([&] { return ticksWhileApplying >= 3; });
        EXPECT_GE(ticksWhileApplying, 3) << "timers fire during the apply";

        std::atomic<bool> answered = false;
        std::optional<std::string> answer;
        std::thread asker([&] {
            answer = SendInstanceRequest(
                InstanceSocketPath((name + '-' + QString::fromStdString(InstanceUserName())).toStdString()), "apply",
                std::chrono::seconds(30));
            answered = true;
        });
        Spin([&] { return answered.load(); });
        asker.join();
        ASSERT_TRUE(answer.has_value());
        EXPECT_NE(answer->find("result 1 the window is applying already"), std::string::npos) << *answer;

        // Apply again, and a page action: neither reaches the record.
        const QRect apply = f.window->areaRect(Page::Main, ui::area::header::kApply);
        testing::ClickAt(f.window.get(), apply.center());
        EXPECT_FALSE(f.window->StartApply());
        const QRect profile2 = f.window->areaRect(Page::Main, ui::area::main::kProfile2);
        testing::ClickAt(f.window.get(), profile2.center());
        EXPECT_EQ(f.session.currentProfile, 0);

        f.mouse->requestCorrection(true);
        Spin([&] { return f.window->heldMonitorEvents() > 0; });
        EXPECT_EQ(f.window->heldMonitorEvents(), 1u) << "the correction waits for the apply";
        EXPECT_TRUE(f.window->applying());
    }

    Spin([&] { return !f.window->applying(); });
    ASSERT_FALSE(f.window->applying());
    EXPECT_EQ(atTheEnd, reference) << "the worker wrote what the synchronous apply writes";
    EXPECT_EQ(finishesAtTheEnd, 1u) << "one apply, however often Apply was pressed";
    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_GT(progress.size(), 2u);
    EXPECT_LE(progress.back(), total);
    EXPECT_EQ(f.window->heldMonitorEvents(), 0u);
    Spin([&] { return WritesAfterFinish(*f.mouse) > 0; });
    EXPECT_GT(WritesAfterFinish(*f.mouse), 0u) << "the held correction ran once the apply had ended";
    EXPECT_TRUE(f.session.apply.placed.valid);
    const QRect applyArea = f.window->areaRect(Page::Main, ui::area::header::kApply);
    EXPECT_NE(f.window->renderFrame().copy(applyArea), midApply) << "the progress bar covers Apply while it runs";
}

// A finished apply says so beside Apply in the interface language; one that
// failed (its message box says why) leaves no success note behind.
TEST(WindowApply, ASuccessfulApplyLeavesANoteAndAFailedOneNone) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    const QRect applyArea = f.window->areaRect(Page::Main, ui::area::header::kApply);
    const QRect left(0, applyArea.top(), applyArea.left(), applyArea.height());
    const QImage before = f.window->renderFrame().copy(left);
    ASSERT_TRUE(f.window->doneNote().isEmpty());
    auto r = f.applyAndWait();
    ASSERT_TRUE(r && r->succeeded());
    EXPECT_EQ(f.window->doneNote(), QStringLiteral("Applied to the mouse"));
    EXPECT_NE(f.window->renderFrame().copy(left), before) << "the note is painted left of Apply";

    f.window->SwitchLanguage(false);
    r = f.applyAndWait();
    ASSERT_TRUE(r && r->succeeded());
    EXPECT_EQ(f.window->doneNote(), QStringLiteral("已写入鼠标"));

    f.mouse->dropFeatureReports(100000);
    r = f.applyAndWait();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->succeeded());
    EXPECT_TRUE(f.window->doneNote().isEmpty());
}

}  // namespace
}  // namespace kx700
