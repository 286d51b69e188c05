// The Macro page: the editor's menu and in-place edits, the name and count
// boxes, the group and macro buttons, import and reset, and recording, on a
// started window over a copy of the shipped data.
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

#include "app/gui_messages.h"
#include "macro/editor.h"
#include "macro/files.h"
#include "macro/groups.h"
#include "macro/value_format.h"
#include "platform/profile.h"
#include "skin/images.h"
#include "ui/apply_indicators.h"
#include "ui/editable_list.h"
#include "ui/orv_menu.h"
#include "ui_clicks.h"
#include "ui_fixture.h"

namespace kx700 {
namespace {

using testing::ClickArea;
using testing::WindowFixture;
using ui::CEditableListBox;
using ui::Page;
namespace fs = std::filesystem;

struct MacroPage : WindowFixture {
    std::vector<QPoint> menuPoints;
    int answer = 0;  // the command the editor menu returns

    MacroPage() {
        EXPECT_TRUE(start());
        window->macroPage().setMenuRunner([this](ui::COrvMenu&, QPoint at) {
            menuPoints.push_back(at);
            return answer;
        });
        window->ChangePage(Page::Macro);
    }
    CEditableListBox* list(const char* name) const { return window->findChild<CEditableListBox*>(name); }
    QLineEdit* edit(const char* name) const { return window->findChild<QLineEdit*>(name); }
    QStringList lines(const char* name) const {
        QStringList out;
        for (int i = 0; i < list(name)->count(); ++i) out << list(name)->item(i)->text();
        return out;
    }
    macro::MacroRecord& current() {
        return session.macros.table.slots[static_cast<std::size_t>(session.macros.table.currentMacro)];
    }
    fs::path macroFolder() const { return session.macros.folders.macroFolder; }
    // What the current group's file holds for macro i.
    macro::MacroRecord saved(int i) const {
        return macro::ReadMacro(macroFolder(), session.macros.groups.currentGroup, i);
    }
    // A right-click on line `line` of a list (past the last line when it does not exist).
    void rightClick(const char* name, int line) {
        CEditableListBox* l = list(name);
        QPoint p =
            line < l->count() ? l->visualItemRect(l->item(line)).center() : QPoint(10, l->viewport()->height() - 3);
        QTest::mouseClick(l->viewport(), Qt::RightButton, Qt::NoModifier, p);
    }
    void type(QWidget* w, const QString& text, bool enter = true) {
        QTest::keyClicks(w, text);
        if (enter) QTest::keyClick(w, Qt::Key_Return);
    }
};

TEST(MacroPage, ShowsTheFirstGroupAndFollowsTheMacroList) {
    MacroPage f;
    EXPECT_EQ(f.edit("groupName")->text(), "Office");
    EXPECT_EQ(f.lines("macroList").first(), "Copy");
    EXPECT_EQ(f.edit("macroName")->text(), "Copy");
    EXPECT_EQ(f.lines("eventList"),
              (QStringList{"[↓]LCONTROL", "    20ms", "[↓]C", "    20ms", "[↑]C", "    20ms", "[↑]LCONTROL"}));
    f.list("macroList")->setCurrentRow(1);
    EXPECT_EQ(f.edit("macroName")->text(), "Paste");
    EXPECT_EQ(f.lines("eventList").at(2), "[↓]V");
    EXPECT_EQ(f.session.macros.table.currentMacro, 1);
}

TEST(MacroPage, EditorMenuCommandsActOnTheSelectedLineAndSave) {
    MacroPage f;
    // Right-clicking line 1 (the pause after event 0) selects it; insert
    // after puts a right-button down at position 1.
    f.answer = macro::cmd::kAfterLeftDown + 2;
    f.rightClick("eventList", 1);
    ASSERT_EQ(f.menuPoints.size(), 1u);
    EXPECT_EQ(f.current().eventCount, 5);
    EXPECT_EQ(f.current().eventCode[1], macro::EV_MOUSE_RIGHT);
    EXPECT_EQ(f.lines("eventList").at(2), "[↓]R-KEY");
    EXPECT_EQ(f.saved(0), f.current()) << "a command on a macro with events ends with a save";

    f.answer = macro::cmd::kDeleteEvent;
    f.rightClick("eventList", 2);
    EXPECT_EQ(f.current().eventCount, 4);
    EXPECT_EQ(f.saved(0).eventCount, 4);

    // Below the last line of a non-empty list no menu opens.
    f.answer = macro::cmd::kDeleteEvent;
    f.rightClick("eventList", 99);
    EXPECT_EQ(f.menuPoints.size(), 2u);
    EXPECT_EQ(f.current().eventCount, 4);
}

TEST(MacroPage, PauseAndParameterEditsInPlace) {
    MacroPage f;
    f.session.settings.pollIntervalMs = 1;
    // Modify delay on line 1 opens the editor; 300ms is split in pieces.
    f.answer = macro::cmd::kModifyDelay;
    f.rightClick("eventList", 1);
    CEditableListBox* events = f.list("eventList");
    ASSERT_TRUE(events->isEditing());
    EXPECT_EQ(events->editor()->selectedText(), "    20ms");
    f.type(events->editor(), "300ms");
    EXPECT_FALSE(events->isEditing());
    EXPECT_EQ(f.current().eventCount, 6);
    EXPECT_EQ(f.current().eventDelay[0] + f.current().eventDelay[1] + f.current().eventDelay[2], 300);
    EXPECT_EQ(f.lines("eventList").at(3), "    127ms");
    EXPECT_EQ(f.saved(0).eventCount, 6);

    // Change parameters on a Set-CPI line: a value off the table.
    f.answer = macro::cmd::kSetCpi;
    f.rightClick("eventList", 0);
    ASSERT_EQ(f.current().eventCode[1], macro::EV_CPI);
    events->setCurrentRow(2);
    f.answer = macro::cmd::kChangeParameters;
    f.rightClick("eventList", 2);
    ASSERT_TRUE(events->isEditing());
    f.type(events->editor(), "[DPI]:1800");
    EXPECT_EQ(f.current().eventParam[1].x, 4);
    EXPECT_EQ(f.messages.messages().back(), "CPI(:200/400/600/800/1000/1200/1600/2000/2400/3200/4000/4800)");

    // Escape cancels: the line and the record stay.
    f.answer = macro::cmd::kModifyDelay;
    f.rightClick("eventList", 3);
    ASSERT_TRUE(events->isEditing());
    QTest::keyClicks(events->editor(), "9");
    QTest::keyClick(events->editor(), Qt::Key_Escape);
    EXPECT_FALSE(events->isEditing());
    EXPECT_EQ(f.current().eventDelay[1], 1);

    // Ordinary keys have no parameters to change (modifiers and mouse
    // buttons do).
    ASSERT_EQ(f.lines("eventList").at(8), "[↓]C");
    f.answer = macro::cmd::kChangeParameters;
    f.rightClick("eventList", 8);
    EXPECT_FALSE(events->isEditing());
}

TEST(MacroPage, LedStepsTheirPopupsAndTypedValues) {
    MacroPage f;
    f.answer = macro::cmd::kInsertLed;
    f.rightClick("eventList", 0);
    CEditableListBox* events = f.list("eventList");
    events->setCurrentRow(2);
    EXPECT_EQ(f.lines("ledStepList"),
              (QStringList{"[Len     ]:1", "[Mode]:" + QString::fromUtf8(std::string(LightingModeNames(true)[0])),
                           "[Light color]:Cycle", "[Continued Time]:0*100ms", "[Interval Time]:0*100ms"}));
    // Change parameters on the LED line itself opens nothing: its steps are
    // edited in the step list.
    f.answer = macro::cmd::kChangeParameters;
    f.rightClick("eventList", 2);
    EXPECT_FALSE(events->isEditing());
    // Line 0 of the step list opens the step-count popup at the list.
    f.answer = 0;
    f.rightClick("ledStepList", 0);
    ASSERT_NE(f.window->popups().active(), nullptr);
    EXPECT_EQ(f.window->popups().active()->kind(), ui::kLedStepCountPopup);
    f.window->popups().close();

    // A duration is typed after a double-click.
    CEditableListBox* steps = f.list("ledStepList");
    QTest::mouseDClick(steps->viewport(), Qt::LeftButton, Qt::NoModifier,
                       steps->visualItemRect(steps->item(3)).center());
    ASSERT_TRUE(steps->isEditing()) << steps->currentRow() << " " << f.window->macroPage().ledLine();
    f.type(steps->editor(), "[Continued Time]:150");
    EXPECT_EQ(f.current().ledTable[0].steps[0].duration, 100);
    EXPECT_EQ(f.messages.messages().back(), "More than limit!");
    EXPECT_EQ(f.lines("ledStepList").at(3), "[Continued Time]:100*100ms");
    EXPECT_EQ(steps->currentRow(), 3) << "the edited step stays selected";
}

TEST(MacroPage, NamesAndRepeatCount) {
    MacroPage f;
    QLineEdit* name = f.edit("macroName");
    name->selectAll();
    QTest::keyClicks(name, "Paste");  // another macro's name: not taken on the way
    EXPECT_EQ(macro::MacroName(f.current()), "Past") << "each keystroke renames until the name is taken";
    name->selectAll();
    QTest::keyClicks(name, "Dup");
    EXPECT_EQ(f.lines("macroList").first(), "Dup");
    EXPECT_EQ(macro::MacroName(f.saved(0)), "Dup");

    // A name typed into the list: ten characters are refused.
    CEditableListBox* macros = f.list("macroList");
    QTest::mouseDClick(macros->viewport(), Qt::LeftButton, Qt::NoModifier,
                       macros->visualItemRect(macros->item(0)).center());
    ASSERT_TRUE(macros->isEditing());
    f.type(macros->editor(), "TenLetters");
    EXPECT_EQ(f.lines("macroList").first(), "Dup");
    EXPECT_EQ(f.messages.messages().back(), "More than limit!");

    QLineEdit* count = f.edit("repeatCount");
    for (const auto& [typed, shown, stored] : {std::tuple{"0", "1", 1}, std::tuple{"", "1", 1},
                                               std::tuple{"70000", "65535", 65535}, std::tuple{"12", "12", 12}}) {
        count->selectAll();
        if (*typed == '\0') {
            QTest::keyClick(count, Qt::Key_Backspace);
        } else {
            QTest::keyClicks(count, QString::fromLatin1(typed));
        }
        EXPECT_EQ(count->text(), QString::fromLatin1(shown)) << typed;
        EXPECT_EQ(f.saved(0).repeatCount, stored) << typed;
    }
    // Run modes: 10 and 11 fix the count at 1 and disable the box.
    ClickArea(*f.window, Page::Macro, 11);
    EXPECT_FALSE(count->isEnabled());
    EXPECT_EQ(f.saved(0).runMode & 7, macro::RUN_MODE1);
    EXPECT_EQ(f.saved(0).repeatCount, 1);
    ClickArea(*f.window, Page::Macro, 12);
    EXPECT_TRUE(count->isEnabled());
    EXPECT_EQ(f.saved(0).runMode & 3, macro::RUN_COUNTED);
}

TEST(MacroPage, ViewingMacrosLeavesAHandMadeFileAsItIs) {
    // A hand-made group: a ten-unit name without its terminator in run mode 1
    // with a count of 5, a counted macro with a count of 0, and a key code
    // the key table does not know (written back it would read 000).
    macro::MacroRecord ten;
    const std::string letters = "TenLetters";
    for (std::size_t i = 0; i < letters.size(); ++i) ten.name[2 * i] = static_cast<std::uint8_t>(letters[i]);
    ten.runMode = macro::RUN_MODE1;
    ten.repeatCount = 5;
    ten.eventCount = 2;
    ten.eventType = {macro::TY_DOWN, macro::TY_UP};
    ten.eventCode = {0x04, 0x04};
    ten.eventDelay = {20, 20};
    macro::MacroRecord zero = ten;
    macro::SetMacroName(zero, "Zero");
    zero.runMode = macro::RUN_COUNTED;
    zero.repeatCount = 0;
    std::string tenValue = macro::FormatMacroValue(ten);
    tenValue.replace(3 * (macro::kEventFieldsStart + 1), 3, "007");
    const std::string handMade =
        "[Macros]\r\nmacroNum=2\r\n0=" + tenValue + "\r\n1=" + macro::FormatMacroValue(zero) + "\r\n";

    WindowFixture f;
    const fs::path office = f.dir / "skins" / "INI_EN" / "macro" / "Office.dat";
    testing::WriteBytes(office, handMade);
    ASSERT_TRUE(f.start());
    f.window->ChangePage(Page::Macro);
    auto* macros = f.window->findChild<CEditableListBox*>("macroList");
    ASSERT_EQ(macros->count(), 2);
    EXPECT_EQ(macros->item(0)->text(), "TenLetters");
    macros->setCurrentRow(1);
    macros->setCurrentRow(0);
    f.window->ChangePage(Page::Led);
    f.window->ChangePage(Page::Macro);
    ClickArea(*f.window, Page::Main, 4);  // Chinese and back: the macro being left is kept
    ClickArea(*f.window, Page::Main, 5);
    EXPECT_EQ(testing::ReadBytes(office), handMade) << "only looked at: the file stays byte for byte";
    EXPECT_EQ(macro::MacroName(f.session.macros.table.slots[0]), "TenLetters");
    EXPECT_EQ(f.session.macros.table.slots[0].repeatCount, 5);
    EXPECT_TRUE(f.messages.messages().empty());

    // A real edit is saved at once.
    f.window->findChild<CEditableListBox*>("macroList")->setCurrentRow(1);
    QLineEdit* count = f.window->findChild<QLineEdit*>("repeatCount");
    ASSERT_TRUE(count->isEnabled());
    EXPECT_EQ(count->text(), "0");
    count->selectAll();
    QTest::keyClicks(count, "3");
    EXPECT_EQ(macro::ReadMacro(f.session.macros.folders.macroFolder, 0, 1).repeatCount, 3);
}

TEST(MacroPage, GroupButtonsRenamePerKeystrokeAndDelete) {
    MacroPage f;
    ClickArea(*f.window, Page::Macro, 2);
    EXPECT_EQ(f.edit("groupName")->text(), "New");
    EXPECT_EQ(f.list("macroList")->count(), 0);
    EXPECT_TRUE(fs::exists(f.macroFolder() / "New.dat"));
    ClickArea(*f.window, Page::Macro, 2);
    EXPECT_EQ(f.messages.messages().back(), "'New' Double name!");

    QLineEdit* group = f.edit("groupName");
    group->selectAll();
    QTest::keyClicks(group, "Fire");
    EXPECT_TRUE(fs::exists(f.macroFolder() / "Fire.dat"));
    for (const char* gone : {"New.dat", "F.dat", "Fi.dat", "Fir.dat"})
        EXPECT_FALSE(fs::exists(f.macroFolder() / gone)) << gone;
    EXPECT_EQ(profile::ReadString(f.macroFolder() / "macroGrp.ini", "MACRO_GROUP_NAME", "3", "", 20), "Fire");
    QTest::keyClick(group, Qt::Key_Slash);
    EXPECT_EQ(group->text(), "Fire");
    EXPECT_EQ(f.messages.messages().back(), "Invalid: Delete Invalid character");

    // New macros in the new group, then one deleted.
    ClickArea(*f.window, Page::Macro, 6);
    CEditableListBox* macros = f.list("macroList");
    ASSERT_TRUE(macros->isEditing()) << "a new macro's name is typed at once";
    f.type(macros->editor(), "Jump");
    ClickArea(*f.window, Page::Macro, 6);
    ASSERT_TRUE(macros->isEditing());
    f.type(macros->editor(), "Duck");
    EXPECT_EQ(f.lines("macroList"), (QStringList{"Jump", "Duck"}));
    macros->setCurrentRow(0);
    ClickArea(*f.window, Page::Macro, 7);
    EXPECT_EQ(f.lines("macroList"), (QStringList{"Duck"}));
    EXPECT_EQ(macro::ReadMacroCount(f.macroFolder() / "Fire.dat"), 1);
    EXPECT_EQ(macro::MacroName(f.saved(0)), "Duck");

    f.messages.answer(true);
    ClickArea(*f.window, Page::Macro, 3);
    EXPECT_FALSE(fs::exists(f.macroFolder() / "Fire.dat"));
    EXPECT_EQ(f.edit("groupName")->text(), "Office");
    EXPECT_EQ(f.session.macros.groups.groupCount, 3);
}

TEST(MacroPage, RunModeChoicesInAGroupWithoutMacros) {
    MacroPage f;
    ClickArea(*f.window, Page::Macro, 2);  // a new group: no macros
    ASSERT_EQ(f.session.macros.table.macroCount, 0);
    const fs::path file = f.macroFolder() / "New.dat";
    const std::string empty = testing::ReadBytes(file);
    QLineEdit* count = f.edit("repeatCount");
    const QImage down = LoadSkinImage(f.session.folders.skinsFolder(), "mac_down.jpg");
    // Whether the frame shows a run-mode area chosen: from the down picture.
    auto shownChosen = [&](int area) {
        QTest::mouseMove(f.window.get(), QPoint(480, 590));  // no hover look
        const QPoint corner = f.window->areaRect(Page::Macro, area).topLeft() + QPoint(3, 3);
        return f.window->renderFrame().pixel(corner) == down.pixel(corner);
    };
    struct Row {
        int area;
        std::uint8_t mode;
        bool boxEnabled;
    };
    for (const Row& r :
         {Row{10, macro::RUN_MODE2, false}, Row{12, macro::RUN_COUNTED, true}, Row{11, macro::RUN_MODE1, false}}) {
        SCOPED_TRACE(r.area);
        ClickArea(*f.window, Page::Macro, r.area);
        EXPECT_EQ(f.current().runMode & 7, r.mode);
        EXPECT_EQ(f.current().repeatCount, 1);
        EXPECT_EQ(count->isEnabled(), r.boxEnabled);
        EXPECT_EQ(count->text(), "1");
        for (int area : {10, 11, 12}) EXPECT_EQ(shownChosen(area), area == r.area) << area;
        EXPECT_EQ(testing::ReadBytes(file), empty) << "no macro, nothing saved";
    }
    EXPECT_TRUE(f.messages.messages().empty());
}

TEST(MacroPage, TheGroupBoxRefusesAnotherGroupsNameAndShowsTheStoredOne) {
    MacroPage f;
    ClickArea(*f.window, Page::Macro, 2);  // group "New", current
    QLineEdit* group = f.edit("groupName");
    group->selectAll();
    QTest::keyClicks(group, "Office");  // the first group's name, one keystroke at a time
    EXPECT_EQ(f.messages.messages(), std::vector<std::string>{"'Office' Double name!"});
    const macro::GroupDirectory& g = f.session.macros.groups;
    EXPECT_EQ(g.groupNames[static_cast<std::size_t>(g.currentGroup)], "Offic");
    EXPECT_EQ(group->text(), "Offic") << "the box shows the name that is stored";
    EXPECT_TRUE(fs::exists(f.macroFolder() / "Offic.dat"));
    EXPECT_EQ(g.groupNames[0], "Office");

    // A whole name at once (pasted) is refused the same way.
    f.messages.clear();
    group->setText(QStringLiteral("Office"));
    EXPECT_EQ(f.messages.messages(), std::vector<std::string>{"'Office' Double name!"});
    EXPECT_EQ(group->text(), "Offic");
    const std::string key = std::to_string(g.currentGroup);
    const std::string listed = profile::ReadString(f.macroFolder() / "macroGrp.ini", "MACRO_GROUP_NAME", key, "", 20);
    EXPECT_EQ(listed, "Offic");
}

TEST(MacroPage, DeletingAGroupAsksFirstInTheInterfaceLanguage) {
    struct Row {
        bool english;
        bool yes;
        const char* question;
        const char* yesLabel;
        const char* noLabel;
    };
    for (const Row& r : {Row{true, false, "Delete the macro group \"Office\" and its file?", "Yes", "No"},
                         Row{true, true, "Delete the macro group \"Office\" and its file?", "Yes", "No"},
                         Row{false, false, nullptr, "是", "否"}, Row{false, true, nullptr, "是", "否"}}) {
        SCOPED_TRACE(std::string(r.english ? "English" : "Chinese") + (r.yes ? ", yes" : ", no"));
        MacroPage f;
        if (!r.english) ClickArea(*f.window, Page::Main, 4);
        ASSERT_EQ(f.session.englishInterface, r.english);
        f.list("macroList")->setCurrentRow(1);
        const macro::GroupDirectory groups = f.session.macros.groups;
        const std::string name = groups.groupNames[0];
        const fs::path file = f.macroFolder() / (name + ".dat");
        const std::string list = testing::ReadBytes(f.macroFolder() / "macroGrp.ini");
        ASSERT_TRUE(fs::exists(file));
        f.messages.clear();
        f.messages.answer(r.yes);
        ClickArea(*f.window, Page::Macro, 3);
        const std::string question = r.question ? r.question : "删除宏组“" + name + "”及其文件吗？";
        using Question = RecordingMessageSink::Question;
        EXPECT_EQ(f.messages.questions(), (std::vector<Question>{{question, r.yesLabel, r.noLabel}}));
        EXPECT_TRUE(f.messages.messages().empty());
        if (r.yes) {
            EXPECT_FALSE(fs::exists(file));
            EXPECT_EQ(f.session.macros.groups.groupCount, groups.groupCount - 1);
            EXPECT_NE(f.edit("groupName")->text().toStdString(), name);
        } else {
            EXPECT_TRUE(fs::exists(file));
            EXPECT_EQ(testing::ReadBytes(f.macroFolder() / "macroGrp.ini"), list);
            EXPECT_EQ(f.session.macros.groups.groupNames, groups.groupNames);
            EXPECT_EQ(f.session.macros.groups.currentGroup, groups.currentGroup);
            EXPECT_EQ(f.session.macros.table.currentMacro, 1) << "no changes nothing, not even the current macro";
            EXPECT_EQ(f.list("macroList")->currentRow(), 1);
            EXPECT_EQ(f.edit("groupName")->text().toStdString(), name);
        }
    }
}

TEST(MacroPage, ImportExportAndReset) {
    MacroPage f;
    // A group file from elsewhere becomes the last group and the current one.
    const fs::path outside = f.dir.path() / "Sniper.dat";
    f.chooser.answer = f.dir.path() / "export.dat";
    f.window->macroPage().MacroMenuRow(2);
    ASSERT_TRUE(fs::exists(*f.chooser.answer));
    fs::rename(*f.chooser.answer, outside);
    f.chooser.answer = outside;
    f.window->macroPage().MacroMenuRow(1);
    EXPECT_EQ(f.edit("groupName")->text(), "Sniper");
    EXPECT_EQ(f.lines("macroList").first(), "Copy");
    EXPECT_TRUE(fs::exists(f.macroFolder() / "Sniper.dat"));
    f.window->macroPage().MacroMenuRow(1);
    EXPECT_EQ(f.messages.messages().back(), "Double name!");
    // Junk is no group: refused, and the page keeps showing what it showed.
    testing::WriteBytes(f.dir.path() / "Junk.dat", "not a macro group\r\n");
    f.chooser.answer = f.dir.path() / "Junk.dat";
    f.window->macroPage().MacroMenuRow(1);
    EXPECT_EQ(f.messages.messages().back(), "Error!");
    EXPECT_EQ(f.edit("groupName")->text(), "Sniper");
    EXPECT_EQ(f.session.macros.groups.groupCount, 4);
    EXPECT_FALSE(fs::exists(f.macroFolder() / "Junk.dat"));

    // Exporting onto the group's own file is refused, and the dialog does not
    // start there.
    const fs::path own = f.macroFolder() / "Sniper.dat";
    const std::string ownBytes = testing::ReadBytes(own);
    f.chooser.answer = own;
    f.messages.clear();
    f.window->macroPage().MacroMenuRow(2);
    EXPECT_EQ(f.messages.messages(), std::vector<std::string>{"Error!"});
    EXPECT_EQ(testing::ReadBytes(own), ownBytes);
    EXPECT_EQ(f.chooser.lastStart.filename(), "Sniper.dat");
    EXPECT_NE(f.chooser.lastStart.parent_path(), f.macroFolder());

    f.window->macroPage().MacroMenuRow(3);
    EXPECT_EQ(f.session.macros.groups.groupCount, 3);
    EXPECT_FALSE(fs::exists(f.macroFolder() / "Sniper.dat"));
    EXPECT_EQ(f.edit("groupName")->text(), "Office");
}

// The menu's import, export and reset that succeeded say so beside Apply, in
// the interface language and with the file; one that failed or was cancelled
// leaves no note, and takes an earlier one away.
TEST(MacroPage, SucceededMenuActionsLeaveANote) {
    struct Case {
        int row;
        bool english;
        QString expected;  // %1: the chosen file
    };
    const Case cases[] = {
        {1, true, QStringLiteral("Imported from %1")},
        {2, true, QStringLiteral("Saved to %1")},
        {3, true, QStringLiteral("Factory macros restored")},
        {1, false, QStringLiteral("已从 %1 导入")},
        {2, false, QStringLiteral("已保存到 %1")},
        {3, false, QStringLiteral("已恢复出厂宏")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "row " << c.row << (c.english ? " en" : " cn"));
        MacroPage f;
        if (!c.english) f.window->SwitchLanguage(false);
        // A group file from outside the macro folder, under a name no group has.
        const fs::path file = f.dir.path() / "Sniper.dat";
        f.chooser.answer = file;
        if (c.row == 1) {
            f.window->macroPage().MacroMenuRow(2);
            ASSERT_TRUE(fs::exists(file));
        }
        f.window->macroPage().MacroMenuRow(c.row);
        ASSERT_TRUE(f.messages.messages().empty()) << f.messages.messages().front();
        const QString expected = c.expected.contains(QStringLiteral("%1"))
                                     ? c.expected.arg(QString::fromStdString(file.string()))
                                     : c.expected;
        EXPECT_EQ(f.window->doneNote().toStdString(), expected.toStdString());
    }

    MacroPage f;
    const fs::path out = f.dir.path() / "a-folder-with-a-long-name-for-the-note" / "out.dat";
    fs::create_directories(out.parent_path());
    auto noted = [&] {
        f.chooser.answer = out;
        f.window->macroPage().MacroMenuRow(2);
        return !f.window->doneNote().isEmpty();
    };
    // The note leaves the macro memory gauge in the footer readable.
    const QRect gauge = ui::MacroGaugeRect(Page::Macro);
    const QImage without = f.window->renderFrame().copy(gauge);
    ASSERT_TRUE(noted());
    EXPECT_EQ(f.window->renderFrame().copy(gauge), without);
    // A cancelled dialog changes nothing, the earlier note included.
    const QString earlier = f.window->doneNote();
    f.chooser.answer.reset();
    f.window->macroPage().MacroMenuRow(1);
    f.window->macroPage().MacroMenuRow(2);
    EXPECT_EQ(f.window->doneNote(), earlier);
    // Failures: an import of junk, an export onto the group's own file, a
    // reset without the factory folder.
    testing::WriteBytes(f.dir.path() / "Junk.dat", "not a macro group\r\n");
    f.chooser.answer = f.dir.path() / "Junk.dat";
    f.window->macroPage().MacroMenuRow(1);
    EXPECT_EQ(f.messages.messages(), std::vector<std::string>{"Error!"});
    EXPECT_TRUE(f.window->doneNote().isEmpty()) << "after the import";
    ASSERT_TRUE(noted());
    f.chooser.answer = f.macroFolder() / (f.session.macros.groups.groupNames[0] + ".dat");
    f.window->macroPage().MacroMenuRow(2);
    EXPECT_EQ(f.messages.messages().size(), 2u);
    EXPECT_TRUE(f.window->doneNote().isEmpty()) << "after the export";
    ASSERT_TRUE(noted());
    fs::remove_all(f.session.macros.folders.macroResetFolder);
    f.window->macroPage().MacroMenuRow(3);
    EXPECT_EQ(f.messages.messages().size(), 3u);
    EXPECT_TRUE(f.window->doneNote().isEmpty()) << "after the reset";
}

struct FakeClock {
    std::int64_t now = 1'000'000;
    macro::MillisecondsOfDay fn() {
        return [this] { return now; };
    }
};

TEST(MacroPage, RecordingKeysWithTheirPauses) {
    MacroPage f;
    FakeClock clock;
    f.window->macroPage().setRecordingClock(clock.fn());
    f.list("macroList")->setCurrentRow(1);
    ClickArea(*f.window, Page::Macro, 5);
    ASSERT_TRUE(f.window->macroPage().recording());
    EXPECT_EQ(f.list("eventList")->count(), 0);

    // A and B, 150 ms apart, each held 50 ms; A's auto-repeat adds nothing.
    QWidget* w = f.window.get();
    QTest::keyPress(w, Qt::Key_A);
    clock.now += 50;
    QTest::keyPress(w, Qt::Key_A);
    QTest::keyRelease(w, Qt::Key_A);
    clock.now += 100;
    QTest::keyPress(w, Qt::Key_B);
    clock.now += 50;
    QTest::keyRelease(w, Qt::Key_B);
    EXPECT_EQ(f.lines("eventList"), (QStringList{"[↓]A", "    50ms", "[↑]A", "    100ms", "[↓]B", "    50ms", "[↑]B"}));

    // Other areas refuse presses while recording; the macro list too.
    ClickArea(*f.window, Page::Macro, 6);
    EXPECT_EQ(f.messages.messages().back(), "Recording");
    f.list("macroList")->setCurrentRow(0);
    EXPECT_EQ(f.list("macroList")->currentRow(), 1);

    ClickArea(*f.window, Page::Macro, 5);
    EXPECT_FALSE(f.window->macroPage().recording());
    const macro::MacroRecord r = f.saved(1);
    EXPECT_EQ(r.eventCount, 4);
    EXPECT_EQ(macro::MacroName(r), "Paste");
    EXPECT_EQ((std::vector<int>{r.eventDelay[0], r.eventDelay[1], r.eventDelay[2], r.eventDelay[3]}),
              (std::vector<int>{50, 100, 50, 20}));
    EXPECT_EQ(r.eventCode[0], 0x04);
    EXPECT_EQ(r.eventType[3], macro::TY_UP);
}

TEST(MacroPage, RecordingStopsTakingKeysAt110Messages) {
    MacroPage f;
    FakeClock clock;
    f.window->macroPage().setRecordingClock(clock.fn());
    ClickArea(*f.window, Page::Macro, 5);
    // Keys typed into a box while recording are recorded, not typed.
    QTest::keyClick(f.edit("macroName"), Qt::Key_X);
    EXPECT_EQ(f.edit("macroName")->text(), "Copy");
    EXPECT_EQ(f.lines("eventList"), (QStringList{"[↓]X", "    0ms", "[↑]X"}));
    for (int i = 1; i < 55; ++i) {
        const Qt::Key key = static_cast<Qt::Key>(Qt::Key_A + i % 26);
        QTest::keyPress(f.window.get(), key);
        QTest::keyRelease(f.window.get(), key);
    }
    f.messages.clear();
    QTest::keyPress(f.window.get(), Qt::Key_Z);
    EXPECT_EQ(f.messages.messages(), std::vector<std::string>{"More than limit!"});
    // The recording has ended there: the keyboard is back, the recorded keys
    // are kept, and further keys open no further box.
    EXPECT_FALSE(f.window->macroPage().recording());
    EXPECT_EQ(f.saved(0).eventCount, 110);
    for (int i = 0; i < 15; ++i) {
        QTest::keyPress(f.window.get(), Qt::Key_Y);
        QTest::keyRelease(f.window.get(), Qt::Key_Y);
    }
    EXPECT_EQ(f.messages.messages().size(), 1u);
    QLineEdit* count = f.edit("repeatCount");
    ASSERT_TRUE(count->isEnabled());
    count->setFocus();
    count->end(false);
    QTest::keyClick(count, Qt::Key_2);
    EXPECT_EQ(count->text(), "12") << "keys reach the boxes again";
    EXPECT_EQ(f.saved(0).repeatCount, 12);
    EXPECT_EQ(f.saved(0).eventCount, 110);
    EXPECT_EQ(f.lines("eventList").size(), 219);
}

TEST(MacroPage, WithoutAGrabTheWindowSaysOnceThatOnlyItsKeysAreRecorded) {
    // Where the platform has no server-wide grab (Wayland) the first recording
    // says so, in the interface's language; the keys typed into the window
    // are recorded all the same, and later recordings say nothing more.
    for (const bool english : {true, false}) {
        SCOPED_TRACE(english ? "English" : "Chinese");
        MacroPage f;
        f.window->macroPage().setWindowKeysOnly(true);
        f.session.englishInterface = english;
        f.messages.clear();
        for (int round = 0; round < 2; ++round) {
            ClickArea(*f.window, Page::Macro, 5);
            ASSERT_TRUE(f.window->macroPage().recording());
            QTest::keyClick(f.window.get(), Qt::Key_A);
            ClickArea(*f.window, Page::Macro, 5);
            ASSERT_FALSE(f.window->macroPage().recording());
            EXPECT_EQ(f.saved(0).eventCount, 2);
            ASSERT_EQ(f.messages.messages().size(), 1u) << "round " << round;
        }
        const std::string notice = f.messages.messages().front();
        EXPECT_NE(notice.find(english ? "only the keys typed into this window" : "只录制在本窗口中输入的按键"),
                  std::string::npos)
            << notice;
    }
}

TEST(MacroPageRecording, TheRecordingNoticeClosesFromTheKeyboardAndTheKeyIsNotRecorded) {
    // The program's own message boxes, so that the notice is a real modal box.
    testing::TempDir dir;
    testing::CopyStage(dir.path());
    Session session;
    session.folders = Folders::Portable(dir.path());
    app::MessageBoxSink boxes(QStringLiteral("kx700"));
    session.messages = &boxes;
    device::SimulatedBackend backend(std::make_shared<device::SimulatedMouse>(device::SimulatedMouseState{}));
    ui::CORV_ZOvizaDlg window(session, backend, boxes, {});
    boxes.setOwner(&window);
    ASSERT_TRUE(window.OnInitDialog());
    window.show();
    window.ChangePage(Page::Macro);
    ClickArea(window, Page::Macro, 5);
    ASSERT_TRUE(window.macroPage().recording());

    // A press on "New macro" is refused with the notice; Escape closes it.
    // Its release is refused too, and Enter closes that one.
    const QPoint newMacro = testing::Centre(window.areaRect(Page::Macro, 6));
    QTest::mouseMove(&window, newMacro);
    for (const auto& [key, press] : {std::pair{Qt::Key_Escape, true}, std::pair{Qt::Key_Return, false}}) {
        SCOPED_TRACE(press ? "press, Escape" : "release, Enter");
        QString text;
        bool closedByKey = false;
        testing::WhenModal([&, key = key](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            text = box->text();
            QTest::keyClick(box, key);
            QCoreApplication::processEvents();
            closedByKey = !box->isVisible();
            if (!closedByKey) box->done(0);  // do not hang the test
        });
        if (press) {
            QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, newMacro);
        } else {
            QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, newMacro);
        }
        EXPECT_EQ(text, QStringLiteral("Recording"));
        EXPECT_TRUE(closedByKey);
        EXPECT_TRUE(window.macroPage().recording()) << "the recording goes on";
    }
    // The keys that closed the notices are not in the macro; keys typed now are.
    QTest::keyClick(&window, Qt::Key_A);
    ClickArea(window, Page::Macro, 5);
    ASSERT_FALSE(window.macroPage().recording());
    const macro::MacroRecord r = session.macros.table.slots[0];
    ASSERT_EQ(r.eventCount, 2);
    EXPECT_EQ(r.eventCode[0], 0x04);
    EXPECT_EQ(r.eventCode[1], 0x04);
}

}  // namespace
}  // namespace kx700
