// The popup menus and the warning: choices store their values, cascades open
// by hover, and every choice closes what it should.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTimer>

#include "programming/functions.h"
#include "ui/popup_menus.h"
#include "ui/warning_dlg.h"
#include "ui_clicks.h"
#include "ui_fixture.h"

namespace kx700 {
namespace {

using testing::ClickArea;
using testing::ClickAt;
using testing::WindowFixture;
using ui::CMenuDlg;
using ui::Page;

// Profile p's buttons: 1 on button 0 only, the rest distinct non-left values.
void OneLeftButton(Session& s, int p) { s.settings.buttonAssign[static_cast<std::size_t>(p)] = {1, 2, 3, 4, 5, 6, 6}; }

void ChooseRow(ui::PopupWindow* popup, int row) { testing::HoverClick(popup, popup->rowCentre(row)); }

CMenuDlg* OpenButtonPopup(WindowFixture& f, int button) {
    ClickArea(*f.window, Page::Main, 20 + button);
    return f.window->popups().active();
}

TEST(Popups, ButtonFunctionRowsAndTheLeftButtonRule) {
    struct Row {
        int profile, button, row;
        std::array<std::int32_t, kButtons> after;
    };
    for (const Row& r : {
             Row{0, 1, 3, {1, 3, 3, 4, 5, 6, 6}},  // another button holds 1: nothing moves
             Row{2, 0, 4, {4, 2, 3, 4, 5, 6, 6}},  // profile 2 may lose its left button
         }) {
        WindowFixture f;
        ASSERT_TRUE(f.start());
        f.session.currentProfile = r.profile;
        OneLeftButton(f.session, r.profile);
        CMenuDlg* popup = OpenButtonPopup(f, r.button);
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->rowCount(), 11);
        EXPECT_TRUE(f.window->popups().buttonMenuOpen());
        QSignalSpy closed(popup, &CMenuDlg::closed);
        ChooseRow(popup, r.row);
        EXPECT_EQ(f.session.settings.buttonAssign[static_cast<std::size_t>(r.profile)], r.after);
        EXPECT_EQ(closed.count(), 1);
        EXPECT_FALSE(f.window->popups().buttonMenuOpen());
    }
}

TEST(Popups, LeftButtonRuleGivesFunctionOneToTheNextButton) {
    for (int b : {0, 3, 6}) {
        MouseSettings s;
        s.buttonAssign[0] = {2, 2, 2, 2, 2, 2, 2};
        programming::KeepLeftButton(s, 0, b);
        EXPECT_EQ(s.buttonAssign[0][static_cast<std::size_t>(b < 6 ? b + 1 : 6)], 1) << b;
        MouseSettings other;
        other.buttonAssign[2] = {2, 2, 2, 2, 2, 2, 2};
        programming::KeepLeftButton(other, 2, b);
        EXPECT_EQ(other.buttonAssign[2], (std::array<std::int32_t, kButtons>{2, 2, 2, 2, 2, 2, 2}));
    }
}

TEST(Popups, SubMenusStoreTheirCodesAndMacroListsTheirReferences) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    f.session.currentProfile = 3;
    struct Row {
        int parentRow, subRow;
        std::int32_t value;
    };
    for (const Row& r : {Row{7, 1, 12}, Row{7, 7, 18}, Row{8, 10, 31}, Row{10, 8, 39}, Row{11, 3, 21}}) {
        CMenuDlg* popup = OpenButtonPopup(f, 4);
        ASSERT_NE(popup, nullptr);
        testing::Hover(popup, popup->rowCentre(r.parentRow));
        ui::CSubMenuDlg* sub = popup->subMenu();
        ASSERT_NE(sub, nullptr) << r.parentRow;
        // The sub-menu's bottom lines up with the button popup's last row.
        EXPECT_EQ(sub->y() + sub->rowCount() * sub->rowHeight(), popup->y() + 11 * popup->rowHeight());
        ChooseRow(sub, r.subRow);
        EXPECT_EQ(f.session.settings.buttonAssign[3][4], r.value) << r.parentRow << "/" << r.subRow;
        EXPECT_EQ(f.window->popups().active(), nullptr);
    }
    // Row 3 closes a sub-menu that row 8 opened.
    CMenuDlg* popup = OpenButtonPopup(f, 4);
    testing::Hover(popup, popup->rowCentre(8));
    QPointer<ui::CSubMenuDlg> sub = popup->subMenu();
    testing::Hover(popup, popup->rowCentre(3));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sub.isNull());

    // Row 9: the groups, the bottom at row 9; a group's macros.
    const int groups = f.session.macros.groups.groupCount;
    ASSERT_GE(groups, 3);
    testing::Hover(popup, popup->rowCentre(9));
    ui::CSubMenuDlg* groupList = popup->subMenu();
    ASSERT_TRUE(groupList && groupList->listsGroups());
    EXPECT_EQ(groupList->rowCount(), groups);
    EXPECT_EQ(groupList->y() + groups * groupList->rowHeight(), popup->y() + 9 * popup->rowHeight());
    ChooseRow(groupList, 3);  // a group itself chooses nothing
    EXPECT_EQ(f.session.settings.buttonAssign[3][4], 21);
    ui::MacSelMenuDlg* macros = groupList->macroList();
    ASSERT_NE(macros, nullptr);
    ASSERT_GE(macros->rowCount(), 1);
    ChooseRow(macros, 1);
    EXPECT_EQ(f.session.settings.buttonAssign[3][4], 3 * 256 + 0);
}

TEST(Popups, WarningCancelKeepsTheButtonAndConfirmOpensThePopup) {
    for (int answer : {ui::WarningDlg::kCancel, ui::WarningDlg::kConfirm}) {
        WindowFixture f;
        ASSERT_TRUE(f.start());
        OneLeftButton(f.session, 0);
        bool shown = false;
        testing::WhenModal([&](QWidget* modal) {
            auto* dlg = qobject_cast<ui::WarningDlg*>(modal);
            ASSERT_NE(dlg, nullptr);
            shown = true;
            const AreaRect& b = f.window->skin().warningAreas[static_cast<std::size_t>(answer - 1)];
            const QPoint c(b.x + b.width / 2, b.y + b.height / 2);
            testing::Hover(dlg, c);
            EXPECT_EQ(dlg->hotButton(), answer);
            // The message is written in red from the layout.
            const AreaRect& m = f.window->skin().warningAreas[2];
            const QImage face = dlg->renderFace();
            int red = 0;
            for (int y = m.y; y < m.y + m.height; ++y) {
                for (int x = m.x; x < m.x + m.width; ++x) {
                    const QRgb p = face.pixel(x, y);
                    red += qRed(p) > 200 && qGreen(p) < 90 && qBlue(p) < 90;
                }
            }
            EXPECT_GT(red, 20);
            QTest::mouseClick(dlg, Qt::LeftButton, Qt::NoModifier, c);
        });
        CMenuDlg* popup = OpenButtonPopup(f, 0);
        EXPECT_TRUE(shown);
        EXPECT_EQ(popup != nullptr, answer == ui::WarningDlg::kConfirm);
        if (popup) {
            ChooseRow(popup, 2);
            EXPECT_EQ(f.session.settings.buttonAssign[0], (std::array<std::int32_t, kButtons>{2, 1, 3, 4, 5, 6, 6}));
        } else {
            EXPECT_EQ(f.session.settings.buttonAssign[0][0], 1);
        }
    }
}

TEST(Popups, EscapeCancelsTheWarningAndOtherProfilesNeverWarn) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    OneLeftButton(f.session, 0);
    testing::WhenModal([](QWidget* m) { QTest::keyClick(m, Qt::Key_Escape); });
    EXPECT_EQ(OpenButtonPopup(f, 0), nullptr);
    // Closed without an answer (the window manager, or a Wayland compositor
    // dismissing the popup) is no confirmation either.
    testing::WhenModal([](QWidget* m) { m->close(); });
    EXPECT_EQ(OpenButtonPopup(f, 0), nullptr);
    EXPECT_EQ(f.session.settings.buttonAssign[0][0], 1);
    f.session.currentProfile = 2;
    OneLeftButton(f.session, 2);
    bool warned = false;
    QPointer<QTimer> watch = testing::WhenModal([&](QWidget* m) {
        warned = true;
        QTest::keyClick(m, Qt::Key_Escape);
    });
    EXPECT_NE(OpenButtonPopup(f, 0), nullptr);
    EXPECT_FALSE(warned);
    delete watch.data();
}

TEST(Popups, LightingModeGroupAndMacroMenuKinds) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    f.window->ChangePage(Page::Led);
    for (const auto& [row, mode] : std::vector<std::pair<int, int>>{{1, 0}, {3, 2}, {4, 8}, {5, 9}}) {
        ClickArea(*f.window, Page::Led, 35);
        CMenuDlg* popup = f.window->popups().active();
        ASSERT_NE(popup, nullptr);
        ChooseRow(popup, row);
        EXPECT_EQ(f.session.settings.ledMode, mode) << row;
    }
    // A press in the window closes the popup without choosing.
    ClickArea(*f.window, Page::Led, 35);
    QPointer<CMenuDlg> open = f.window->popups().active();
    ClickArea(*f.window, Page::Led, 14);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(open.isNull());

    f.window->ChangePage(Page::Macro);
    ClickArea(*f.window, Page::Macro, 1);
    CMenuDlg* groups = f.window->popups().active();
    ASSERT_NE(groups, nullptr);
    EXPECT_EQ(groups->kind(), ui::kMacroGroupPopup);
    QSignalSpy groupChanged(groups, &CMenuDlg::macroGroupChanged);
    ChooseRow(groups, 2);
    EXPECT_EQ(f.session.macros.groups.currentGroup, 1);
    ASSERT_EQ(groupChanged.count(), 1);
    EXPECT_EQ(groupChanged.at(0).at(0).toInt(), 0);

    QSignalSpy menu(&f.window->popups(), &ui::PopupController::macroMenuChosen);
    ClickArea(*f.window, Page::Macro, 4);
    CMenuDlg* more = f.window->popups().active();
    ASSERT_NE(more, nullptr);
    EXPECT_EQ(more->rowCount(), 3);
    ChooseRow(more, 2);
    ASSERT_EQ(menu.count(), 1);
    EXPECT_EQ(menu.at(0).at(0).toInt(), 2);
}

TEST(Popups, LedStepKindsChangeTheCurrentMacrosSequence) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    macro::MacroTable& t = f.session.macros.table;
    t.currentMacro = 0;
    QSignalSpy changed(&f.window->popups(), &ui::PopupController::ledStepChanged);
    struct Row {
        int kind, line, row, byte, value;
    };
    for (const Row& r : {Row{ui::kLedStepCountPopup, 0, 4, 0, 4}, Row{ui::kLedStepModePopup, 1, 3, 4, 2},
                         Row{ui::kLedStepColourPopup, 2, 1, 5, 0}, Row{ui::kLedStepColourPopup, 2, 2, 5, 1},
                         Row{ui::kLedStepColourPopup, 2, 5, 5, 7}}) {
        CMenuDlg* popup = f.window->popups().openLedStep(r.kind, 1, r.line, QPoint(100, 100));
        EXPECT_EQ(popup->rowCount(), r.kind == ui::kLedStepModePopup ? 3 : 5);
        ChooseRow(popup, r.row);
        EXPECT_EQ(t.slots[0].ledTable[1].byteAt(r.byte), r.value) << r.kind << " row " << r.row;
        ASSERT_FALSE(changed.isEmpty());
        EXPECT_EQ(changed.takeLast(), (QList<QVariant>{r.kind, r.value}));
    }
}

}  // namespace
}  // namespace kx700
