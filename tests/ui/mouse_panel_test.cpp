// The window's watch on the mouse itself: the note on the switches the mouse
// makes by itself, and the panel that plays the simulated mouse.
#include <QAction>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <functional>

#include "device/hidapi_backend.h"
#include "platform/profile.h"
#include "settings/mouse_settings.h"
#include "ui/main_page.h"
#include "ui/mouse_note.h"
#include "ui/orv_menu.h"
#include "ui/sim_panel.h"
#include "ui_clicks.h"
#include "ui_fixture.h"

namespace kx700 {
namespace {

using testing::WindowFixture;

// Waits for the monitor's queued events; the bound only ends a hung test.
constexpr int kEventWaitMs = 5000;

// Runs the event loop until `done`; false when the bound ran out first.
bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > kEventWaitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

QAction* TrayAction(ui::CORV_ZOvizaDlg& w, int id) {
    for (QAction* a : w.trayMenu()->actions()) {
        if (a->data().toInt() == id) return a;
    }
    return nullptr;
}

TEST(NoteText, ProfileNameAndCpiInBothLanguages) {
    const std::array<std::string, 3> names = {"Office", "Shooter", ""};
    EXPECT_EQ(ui::ProfileNoteText(true, 1, names), QStringLiteral("Profile 2 · Shooter"));
    EXPECT_EQ(ui::ProfileNoteText(false, 1, names), QStringLiteral("配置 2 · Shooter"));
    EXPECT_EQ(ui::ProfileNoteText(true, 2, names), QStringLiteral("Profile 3")) << "no name, no dot";
    EXPECT_EQ(ui::ProfileNoteText(true, 3, names), QStringLiteral("Profile 4"));
    EXPECT_EQ(ui::CpiNoteText(true, 1, 1600), QStringLiteral("CPI 1600"));
    EXPECT_EQ(ui::CpiNoteText(false, 1, 1600), QStringLiteral("CPI 1600"));
    EXPECT_EQ(ui::CpiNoteText(true, 1, 0), QStringLiteral("CPI level 2"));
}

TEST(MouseNote, ShownForTheMousesOwnSwitchesOnlyAndTurnedOffFromTheTray) {
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");  // no notification service: our own note
    WindowFixture f;
    ASSERT_TRUE(f.start());
    ui::MouseNote& note = f.window->mouseNote();
    ASSERT_TRUE(f.window->switchNotesOn()) << "on by default";
    const auto applied = f.applyAndWait();
    ASSERT_TRUE(applied && applied->succeeded());  // the CPI button reports its level from now on

    f.window->mainPage().SelectProfile(1);  // the window's own switch
    QCoreApplication::processEvents();
    EXPECT_EQ(note.shownCount(), 0);

    // The mouse's slot 3 is the window's third profile; slot 1 is no profile of the window's.
    f.mouse->switchProfile(1);
    ASSERT_TRUE(WaitFor([&] { return f.session.currentProfile == 1; }));
    EXPECT_EQ(note.shownCount(), 0);
    f.mouse->switchProfile(3);
    ASSERT_TRUE(WaitFor([&] { return note.shownCount() == 1; }));
    const bool en = f.session.englishInterface;
    EXPECT_EQ(note.lastText(), (en ? QStringLiteral("Profile 3 · ") : QStringLiteral("配置 3 · ")) +
                                   QString::fromStdString(f.session.profileNames[2]));
    ASSERT_NE(note.fallbackWindow(), nullptr);
    EXPECT_TRUE(note.fallbackWindow()->isVisible());
    EXPECT_EQ(f.session.currentProfile, 3);

    // Button 6 reports CPI levels in the factory settings.
    const int cpi = CpiOfStep(f.session.settings.dpiStep[1]);
    ASSERT_GT(cpi, 0);
    f.mouse->reportCpiLevel(6, 1);
    ASSERT_TRUE(WaitFor([&] { return note.shownCount() == 2; }));
    EXPECT_EQ(note.lastText(), QStringLiteral("CPI %1").arg(cpi));

    // Off from the tray: kept in config.ini, nothing shown any more.
    QAction* item = TrayAction(*f.window, ui::kSwitchNoteCommand);
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isCheckable());
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    EXPECT_FALSE(f.window->switchNotesOn());
    EXPECT_EQ(profile::ReadString(f.config(), "Init", "SWITCH_NOTE", "", 8), "0");
    f.mouse->switchProfile(0);
    ASSERT_TRUE(WaitFor([&] { return f.session.currentProfile == 0; }));
    EXPECT_EQ(note.shownCount(), 2);
    ASSERT_NE(TrayAction(*f.window, ui::kSwitchNoteCommand), nullptr);
    EXPECT_FALSE(TrayAction(*f.window, ui::kSwitchNoteCommand)->isChecked());
}

TEST(SimPanel, ButtonPressReachesTheHostAndTheProfileSwitchTheWindow) {
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    WindowFixture f;
    ASSERT_TRUE(f.start());
    // Volume up on button 3 of the current profile, applied as the window does.
    const auto p = static_cast<std::size_t>(f.session.currentProfile);
    f.session.settings.buttonAssign[p][2] = 25;
    const auto applied = f.applyAndWait();
    ASSERT_TRUE(applied && applied->succeeded());

    ASSERT_EQ(f.window->simPanel(), nullptr);
    f.window->setSimPanelShown(true);
    ui::SimPanel* panel = f.window->simPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(profile::ReadString(f.config(), "Init", "SIM_PANEL", "", 8), "1") << "remembered";
    ASSERT_NE(TrayAction(*f.window, ui::kSimPanelCommand), nullptr);
    EXPECT_TRUE(TrayAction(*f.window, ui::kSimPanelCommand)->isChecked());

    auto* button3 = qobject_cast<QPushButton*>(panel->childAt(ui::SimPanel::ButtonCentre(2)));
    ASSERT_NE(button3, nullptr);
    QTest::mouseClick(button3, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return f.mouse->firmware().consumerReports == 1; }));
    panel->refresh();
    EXPECT_TRUE(panel->logText().contains(QStringLiteral("host->mouse 07 17 00 E9"))) << panel->logText().toStdString();
    EXPECT_TRUE(panel->countersText().contains(QStringLiteral("0x00e9"))) << panel->countersText().toStdString();
    EXPECT_TRUE(panel->memoryText().contains(QStringLiteral("Volume up"), Qt::CaseInsensitive) ||
                panel->memoryText().contains(QStringLiteral("consumer"), Qt::CaseInsensitive))
        << panel->memoryText().toStdString();

    auto* profile2 = qobject_cast<QPushButton*>(panel->childAt(ui::SimPanel::ProfileCentre(1)));
    ASSERT_NE(profile2, nullptr);
    QTest::mouseClick(profile2, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return f.session.currentProfile == 2; }))
        << "the window's Profile 2 is the mouse's slot 2";
    EXPECT_EQ(f.window->mouseNote().lastText(),
              ui::ProfileNoteText(f.session.englishInterface, 1, f.session.profileNames));

    f.window->SwitchLanguage(!f.session.englishInterface);
    EXPECT_EQ(panel->windowTitle(),
              f.session.englishInterface ? QStringLiteral("KX700 simulated mouse") : QStringLiteral("KX700 模拟鼠标"));
    // The memory, unchanged, is described again in the new language.
    EXPECT_EQ(panel->memoryText().contains(QStringLiteral("active profile")), f.session.englishInterface)
        << panel->memoryText().toStdString();
    EXPECT_EQ(panel->memoryText().contains(QStringLiteral("当前配置")), !f.session.englishInterface)
        << panel->memoryText().toStdString();

    panel->close();
    EXPECT_EQ(profile::ReadString(f.config(), "Init", "SIM_PANEL", "", 8), "0") << "closed stays closed";
}

TEST(SimPanel, NoneOnTheRealMouse) {
    WindowFixture f;
    device::HidapiBackend system;
    ui::CORV_ZOvizaDlg window(f.session, system, f.messages, {});
    EXPECT_FALSE(window.onSimulatedMouse());
    window.setSimPanelShown(true);
    EXPECT_EQ(window.simPanel(), nullptr);
}

}  // namespace
}  // namespace kx700
