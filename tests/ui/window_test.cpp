// The main window: start-up, painting by pixel, hit testing, pages.
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/gui_messages.h"
#include "app/single_instance.h"
#include "device/hidapi_backend.h"
#include "platform/profile.h"
#include "ui/apply_indicators.h"
#include "ui/areas.h"
#include "ui/hit_test.h"
#include "ui/orv_menu.h"
#include "ui/page_painter.h"
#include "ui/popup_menus.h"
#include "ui_clicks.h"
#include "ui_fixture.h"

namespace kx700 {
namespace {

namespace fs = std::filesystem;
using testing::WindowFixture;
using ui::Page;

const auto* const kQt = ::testing::AddGlobalTestEnvironment(new testing::QtWidgetsEnvironment);

void SetInit(const fs::path& config, const char* key, const char* value) {
    ASSERT_TRUE(profile::WriteString(config, "Init", key, value).ok());
}

TEST(WindowStartUp, LanguageNamesAndProfilesFromTheSettingsFile) {
    struct Row {
        const char* verSel;  // nullptr: key removed
        bool english;
        const char* firstTab;
    };
    for (const Row& r : {Row{"1", true, "Buttons"}, Row{"0", false, "按键设置"}, Row{"256", false, "按键设置"},
                         Row{nullptr, false, "按键设置"}}) {
        WindowFixture f;
        std::string text = testing::ReadBytes(f.config());
        if (r.verSel) {
            SetInit(f.config(), "VER_SEL", r.verSel);
        } else {
            const auto at = text.find("VER_SEL=1\r\n");
            ASSERT_NE(at, std::string::npos);
            testing::WriteBytes(f.config(), text.erase(at, 11));
        }
        ASSERT_TRUE(profile::WriteString(f.config(), "Config3", "WHEEL_STATUS", "1").ok());
        SetInit(f.config(), "CurConfig", "2");
        ASSERT_TRUE(f.start());
        EXPECT_EQ(f.session.englishInterface, r.english) << (r.verSel ? r.verSel : "missing");
        EXPECT_EQ(f.window->skin().mainLabels[6], r.firstTab);
        EXPECT_EQ(f.session.currentProfile, 2);
        EXPECT_EQ(f.session.settings.wheelStatus, 1) << "the slot read last";
        EXPECT_EQ(f.session.profileNames[0], r.english ? "Default" : "默认");
        EXPECT_EQ(f.window->skin().functionNames[19], f.session.profileNames[0]);
        auto* edit = f.window->findChild<QLineEdit*>("profileName1");
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text().toStdString(), f.session.profileNames[0]);
        EXPECT_TRUE(f.window->trayIconPresent());
        EXPECT_TRUE(f.messages.messages().empty());
    }
}

TEST(WindowStartUp, WithoutTheMouseTellsTheUserAndEndsWithoutWriting) {
    for (bool english : {true, false}) {
        testing::TempDir dir;
        testing::CopyStage(dir.path());
        const fs::path config = dir / "skins" / "config" / "config.ini";
        SetInit(config, "VER_SEL", english ? "1" : "0");
        const std::string before = testing::ReadBytes(config);
        Session session;
        session.folders = Folders::Portable(dir.path());
        RecordingMessageSink messages;
        device::HidapiBackend system;  // the real system: no KX700 here
        ui::CORV_ZOvizaDlg window(session, system, messages, {});
        QSignalSpy ended(&window, &ui::CORV_ZOvizaDlg::ended);
        EXPECT_FALSE(window.OnInitDialog());
        EXPECT_EQ(ended.count(), 1);
        EXPECT_FALSE(window.trayIconPresent());
        EXPECT_EQ(messages.messages(),
                  std::vector<std::string>{english ? "Please plug-in【KX700 Gaming Mouse】USB Mouse"
                                                   : "请插入【KX700 Gaming Mouse】USB鼠标"});
        EXPECT_EQ(testing::ReadBytes(config), before);
    }
}

// The words a user may search for stay whole; the doctor is named after them.
TEST(WindowStartUp, MouseWithoutAccessNamesTheDoctor) {
    WindowFixture f;
    f.mouse->denyAccess(true);
    EXPECT_FALSE(f.start());
    ASSERT_EQ(f.messages.messages().size(), 1u);
    const std::string text = f.messages.messages()[0];
    EXPECT_EQ(text.rfind("found, no access: sim:kx700/", 0), 0u) << text;
    EXPECT_NE(text.find(": permission denied\n"), std::string::npos) << text;
    EXPECT_NE(text.find("kx700ctl doctor"), std::string::npos) << text;
}

TEST(WindowStartUp, MissingLayoutFileEndsTheProgram) {
    WindowFixture f;
    fs::remove(f.dir / "skins" / "INI_EN" / "skin_color_en.ini");
    QSignalSpy ended(f.window.get(), &ui::CORV_ZOvizaDlg::ended);
    EXPECT_FALSE(f.start());
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(f.messages.messages(), std::vector<std::string>{"找不到配置文件"});
    EXPECT_EQ(f.mouse->snapshot().firmware.exitNotices, 0u) << "the mouse is not open yet: nothing to tell it";
}

TEST(WindowStartUp, UnpluggingTheMouseEndsTheWindowWithoutAnExitNotice) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    QSignalSpy ended(f.window.get(), &ui::CORV_ZOvizaDlg::ended);
    f.mouse->disconnectAfter(0);
    EXPECT_TRUE(ended.wait(5000));
    EXPECT_FALSE(f.window->trayIconPresent());
    EXPECT_EQ(f.mouse->snapshot().firmware.exitNotices, 0u);
}

TEST(WindowStartUp, ExitSendsTheExitNotice) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    f.window->ExitProgram();
    EXPECT_EQ(f.mouse->snapshot().firmware.exitNotices, 1u);
    EXPECT_FALSE(f.window->trayIconPresent());
}

TEST(WindowTray, StartWithTheDesktopWritesAndRemovesTheAutostartEntry) {
    testing::TempDir config;
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path().string()));
    WindowFixture f;
    ASSERT_TRUE(f.start());
    const std::filesystem::path entry = config / "autostart" / "io.github.kx700.Configurator.desktop";
    for (const bool on : {true, false}) {
        QAction* item = f.window->trayMenu()->findAction({QStringLiteral("Start with the desktop")});
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->isChecked(), !on);
        item->trigger();
        EXPECT_EQ(std::filesystem::exists(entry), on);
    }
    f.window->SwitchLanguage(false);
    EXPECT_FALSE(f.window->trayMenu()->findAction({QStringLiteral("登录时自动启动")})->isChecked());
    if (old.isEmpty()) {
        qunsetenv("XDG_CONFIG_HOME");
    } else {
        qputenv("XDG_CONFIG_HOME", old);
    }
}

TEST(WindowClose, CloseDropsAnUnappliedMultimediaKeyForTheMonitorToo) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    f.window->setTrayAvailable([] { return true; });
    f.session.currentProfile = 3;
    const std::int32_t stored = f.session.settings.buttonAssign[3][4];
    ASSERT_NE(stored, 25);
    // Volume up from the multimedia sub-menu: the monitor answers it at once.
    testing::ClickArea(*f.window, Page::Main, 24);
    ui::CMenuDlg* popup = f.window->popups().active();
    ASSERT_NE(popup, nullptr);
    testing::Hover(popup, popup->rowCentre(8));
    ASSERT_NE(popup->subMenu(), nullptr);
    testing::HoverClick(popup->subMenu(), popup->subMenu()->rowCentre(4));
    ASSERT_EQ(f.session.settings.buttonAssign[3][4], 25);
    ASSERT_EQ(f.session.hostView.buttonAssign[3][4].load(), 25);

    testing::ClickArea(*f.window, Page::Main, 2);  // close: the unapplied choice is dropped
    EXPECT_EQ(f.session.settings.buttonAssign[3][4], stored);
    EXPECT_EQ(f.session.hostView.buttonAssign[3][4].load(), stored) << "the monitor must not answer a dropped key";
}

TEST(WindowClose, WithoutATrayTheCloseButtonEndsTheProgramAndHideMinimises) {
    struct Row {
        bool tray;
        int area;  // 1 hide, 2 close
        bool ends;
    };
    for (const Row& r : {Row{true, 2, false}, Row{false, 2, true}, Row{true, 1, false}, Row{false, 1, false}}) {
        SCOPED_TRACE(std::string(r.tray ? "tray" : "no tray") + (r.area == 2 ? ", close" : ", hide"));
        WindowFixture f;
        ASSERT_TRUE(f.start());
        f.window->setTrayAvailable([&r] { return r.tray; });
        QSignalSpy ended(f.window.get(), &ui::CORV_ZOvizaDlg::ended);
        testing::ClickArea(*f.window, Page::Main, r.area);
        EXPECT_EQ(ended.count(), r.ends ? 1 : 0);
        EXPECT_EQ(f.mouse->snapshot().firmware.exitNotices, r.ends ? 1u : 0u);
        EXPECT_EQ(f.window->trayIconPresent(), !r.ends);
        if (!r.ends) {
            // Hidden into the tray, or minimised on the task bar to come back from.
            EXPECT_EQ(f.window->isVisible(), !r.tray);
            EXPECT_TRUE(f.window->isMinimized());
        }
    }
}

TEST(HideSwitch, FourCharactersAfterTheLastDash) {
    struct Row {
        const char* line;
        bool hide;
    };
    for (Row r : {Row{"/opt/kx700/kx700 -HIDE", true}, Row{"/opt/kx700/kx700 -hide", false},
                  Row{"/opt/kx700/kx700 -HIDEX", true}, Row{"/opt/kx700/kx700", false}, Row{"HIDE", true},
                  Row{"/opt/kx-700/kx700", false}, Row{"kx700 -HIDE --simulate", false}, Row{"kx700 -HID", false}}) {
        EXPECT_EQ(ui::HideSwitch(r.line), r.hide) << r.line;
    }
}

TEST(HitTest, EdgesAreOutsideAndTheLowerIndexWins) {
    const std::vector<AreaRect> areas = {{10, 10, 20, 20}, {25, 25, 20, 20}, {0, 0, 0, 0}};
    EXPECT_EQ(ui::HitTest(areas, 10, 10), 0);
    EXPECT_EQ(ui::HitTest(areas, 29, 29), 0) << "overlap: the lower index";
    EXPECT_EQ(ui::HitTest(areas, 30, 29), 1);
    EXPECT_EQ(ui::HitTest(areas, 45, 30), ui::NoArea) << "right edge";
    EXPECT_EQ(ui::HitTest(areas, 0, 0), ui::NoArea) << "an empty area holds nothing";
}

TEST(WindowPages, OffMainOnlyTheHeaderOfTheMainTableIsHit) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    const QRect field = f.window->areaRect(Page::Main, 20);
    QTest::mouseMove(f.window.get(), field.center());
    EXPECT_EQ(f.window->interaction().hotMain, 20);
    f.window->ChangePage(Page::Advanced);
    QTest::mouseMove(f.window.get(), field.center() + QPoint(1, 0));
    EXPECT_EQ(f.window->interaction().hotMain, ui::NoArea);
    EXPECT_EQ(f.window->findChild<QLineEdit*>("profileName1"), nullptr) << "the Main page's controls go with it";
    f.window->ChangePage(Page::Macro);
    EXPECT_NE(f.window->findChild<QListWidget*>("macroList"), nullptr);
    EXPECT_GT(f.window->findChild<QListWidget*>("macroList")->count(), 0);
    f.window->ChangePage(Page::Main);
    EXPECT_EQ(f.window->findChild<QListWidget*>("macroList"), nullptr);
    EXPECT_NE(f.window->findChild<QLineEdit*>("profileName3"), nullptr);
}

QImage Face(const WindowFixture& f, const char* name) { return LoadSkinImage(f.session.folders.skinsFolder(), name); }

TEST(WindowPainting, HoverAndPressedLooksCopyTheirPictures) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    const QRect area = f.window->areaRect(Page::Main, 14);  // the import button
    const QPoint corner = area.topLeft() + QPoint(3, 3);
    QTest::mouseMove(f.window.get(), area.center());
    EXPECT_EQ(f.window->renderFrame().pixel(corner), Face(f, "main_over.jpg").pixel(corner));
    QTest::mousePress(f.window.get(), Qt::LeftButton, {}, area.center());
    EXPECT_EQ(f.window->renderFrame().pixel(corner), Face(f, "main_down.jpg").pixel(corner));
    QTest::mouseRelease(f.window.get(), Qt::LeftButton, {}, area.center());
    QTest::mouseMove(f.window.get(), QPoint(480, 520));
    EXPECT_EQ(f.window->renderFrame().pixel(corner), Face(f, "main_normal.jpg").pixel(corner));
}

// A paint of part of the window (a progress step, a note) composes only that
// part; there it must be exactly what the whole frame shows, gauge included.
TEST(WindowPainting, APartPaintedAloneMatchesTheWholeFrameThere) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    const QRect apply = f.window->areaRect(Page::Main, ui::area::header::kApply);
    for (const Page page : {Page::Main, Page::Advanced, Page::Macro, Page::Led}) {
        f.window->ChangePage(page);
        const QRect gauge = ui::MacroGaugeRect(page);
        const std::vector<QRect> parts = {apply.adjusted(-160, -6, 2, 6), QRect(300, 200, 120, 90),
                                          gauge.isEmpty() ? QRect(20, 430, 60, 40) : gauge.adjusted(10, 10, -30, 0)};
        QRegion only;
        for (const QRect& r : parts) only += r;
        const QImage whole = f.window->renderFrame();
        const QImage alone = f.window->renderFrame(only);
        for (const QRect& r : parts) EXPECT_EQ(alone.copy(r), whole.copy(r)) << static_cast<int>(page) << " " << r.x();
    }
}

// Which face a pixel came from.
enum class From { Normal, Down };
From Source(const WindowFixture& f, const QImage& frame, QPoint p, const char* normal, const char* down) {
    const QRgb n = Face(f, normal).pixel(p);
    if (frame.pixel(p) == Face(f, down).pixel(p) && frame.pixel(p) != n) return From::Down;
    return From::Normal;
}

TEST(WindowPainting, AdvancedBarsFillByValueAndMarksFollowTheSteps) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    f.window->ChangePage(Page::Advanced);
    QTest::mouseMove(f.window.get(), QPoint(480, 590));
    f.session.settings.pointerSpeed = 10;
    f.session.settings.wheelSpeed = 5;
    f.session.settings.fireInterval = 300;
    f.session.settings.dpiStep = {11, 0, 5, 0};
    const QImage frame = f.window->renderFrame();
    const QRect pointer = f.window->areaRect(Page::Advanced, 1);
    const QRect wheel = f.window->areaRect(Page::Advanced, 18);
    const QRect fire = f.window->areaRect(Page::Advanced, 31);
    const QRect cpi0 = f.window->areaRect(Page::Advanced, 66);
    const QRect cpi1 = f.window->areaRect(Page::Advanced, 67);
    auto at = [&](const QRect& r, double fraction) {
        return Source(f, frame, QPoint(r.x() + static_cast<int>(r.width() * fraction), r.center().y()),
                      "advanced_normal.jpg", "advanced_down.jpg");
    };
    EXPECT_EQ(at(pointer, 0.97), From::Down) << "speed 10 fills the whole bar";
    EXPECT_EQ(at(wheel, 0.45), From::Down);
    EXPECT_EQ(at(wheel, 0.55), From::Normal) << "speed 5 fills half";
    EXPECT_EQ(at(fire, 0.97), From::Down);
    EXPECT_EQ(at(cpi0, 0.97), From::Down) << "step 11 fills its bar";
    EXPECT_EQ(at(cpi1, 0.05), From::Down) << "step 0 fills one twelfth";
    EXPECT_EQ(at(cpi1, 0.2), From::Normal);
    const QRect mark = f.window->areaRect(Page::Advanced, 70 + 11);
    EXPECT_EQ(Source(f, frame, mark.topLeft() + QPoint(2, 2), "advanced_normal.jpg", "advanced_down.jpg"), From::Down);
    const QRect other = f.window->areaRect(Page::Advanced, 70 + 10);
    EXPECT_EQ(Source(f, frame, other.topLeft() + QPoint(2, 2), "advanced_normal.jpg", "advanced_down.jpg"),
              From::Normal);
}

TEST(WindowPainting, EveryLightingModeCoversItsPanels) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    f.window->ChangePage(Page::Led);
    QTest::mouseMove(f.window.get(), QPoint(480, 590));
    const QImage null = Face(f, "led_null.jpg");
    const QImage normal = Face(f, "led_normal.jpg");
    for (int mode : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12}) {
        f.session.settings.ledMode = static_cast<std::uint8_t>(mode);
        const QImage frame = f.window->renderFrame();
        const auto covered = ui::LedModeMaskAreas(mode);
        for (int panel : {71, 72, 73, 74, 75}) {
            const QRect r = f.window->areaRect(Page::Led, panel);
            // A point inside the panel where the normal face shows a control.
            bool isCovered = std::find(covered.begin(), covered.end(), panel) != covered.end();
            int differing = 0, fromNull = 0;
            for (int y = r.top() + 4; y < r.bottom() - 4; y += 7) {
                for (int x = r.left() + 4; x < r.right() - 4; x += 7) {
                    const QPoint p(x, y);
                    if (null.pixel(p) == normal.pixel(p)) continue;
                    ++differing;
                    fromNull += frame.pixel(p) == null.pixel(p);
                }
            }
            ASSERT_GT(differing, 0) << panel;
            if (isCovered) {
                EXPECT_EQ(fromNull, differing) << "mode " << mode << " panel " << panel;
            } else {
                EXPECT_LT(fromNull, differing) << "mode " << mode << " panel " << panel;
            }
        }
    }
}

TEST(SingleInstance, SecondStartAsksTheFirstToShow) {
    const QString name = QStringLiteral("kx700-test-%1").arg(QCoreApplication::applicationPid());
    app::SingleInstance first(name);
    ASSERT_TRUE(first.acquire());
    QSignalSpy shown(&first, &app::SingleInstance::showRequested);
    app::SingleInstance second(name);
    EXPECT_FALSE(second.acquire());
    EXPECT_TRUE(shown.count() > 0 || shown.wait(2000));
}

TEST(MessageBoxSink, QuestionsOfferTheAnswersInTheirLanguageAndDefaultToNo) {
    app::MessageBoxSink sink(QStringLiteral("kx700"));
    struct Row {
        const char* press;  // the button's text, or nullptr for Escape
        bool yes;
    };
    for (const Row& r : {Row{"是", true}, Row{"否", false}, Row{nullptr, false}}) {
        QString caption, text, defaultText;
        QStringList buttons;
        testing::WhenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            caption = box->windowTitle();
            text = box->text();
            for (QAbstractButton* b : box->buttons()) buttons << b->text();
            defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
            if (r.press == nullptr) {
                QTest::keyClick(box, Qt::Key_Escape);
                return;
            }
            for (QAbstractButton* b : box->buttons()) {
                if (b->text() == QString::fromUtf8(r.press)) b->click();
            }
        });
        EXPECT_EQ(sink.confirm("删除宏组“办公”及其文件吗？", "是", "否"), r.yes);
        EXPECT_EQ(caption, QStringLiteral("kx700"));
        EXPECT_EQ(text, QString::fromUtf8("删除宏组“办公”及其文件吗？"));
        buttons.sort();
        EXPECT_EQ(buttons, (QStringList{QString::fromUtf8("否"), QString::fromUtf8("是")}));
        EXPECT_EQ(defaultText, QString::fromUtf8("否"));
    }
}

TEST(MessageBoxSink, BoxesWearTheDarkThemeUnderTheProgramsName) {
    app::MessageBoxSink sink(QStringLiteral("kx700"));
    QString caption;
    QColor background;
    testing::WhenModal([&](QWidget* modal) {
        caption = modal->windowTitle();
        background = modal->grab().toImage().pixelColor(3, 3);
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    sink.show("Saved to /tmp/x.ini");
    EXPECT_EQ(caption, QStringLiteral("kx700"));
    EXPECT_LT(background.lightness(), 60) << background.name().toStdString();
}

TEST(MessageSinks, WithNobodyToAskTheAnswerIsNo) {
    StderrMessageSink quiet;
    EXPECT_FALSE(quiet.confirm("Delete the macro group \"Office\" and its file?", "Yes", "No"));
    RecordingMessageSink recording;
    EXPECT_FALSE(recording.confirm("Delete?", "Yes", "No")) << "no until told otherwise";
    recording.answer(true);
    EXPECT_TRUE(recording.confirm("Delete?", "Yes", "No"));
    EXPECT_EQ(recording.questions().size(), 2u);
    EXPECT_TRUE(recording.messages().empty());
}

}  // namespace
}  // namespace kx700
