// Import, export, reset, profile names and the language switch, through the
// window's areas with a chooser that answers instead of a dialog.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>

#include "platform/profile.h"
#include "settings/settings_file.h"
#include "ui/file_chooser.h"
#include "ui_clicks.h"
#include "ui_fixture.h"

namespace kx700 {
namespace {

namespace fs = std::filesystem;
using testing::ClickArea;
using testing::WindowFixture;
using ui::Page;

std::vector<fs::path> Backups(const fs::path& folder) {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (e.path().extension() == ".bak") out.push_back(e.path());
    }
    return out;
}

struct Started : WindowFixture {
    Started() { EXPECT_TRUE(start()); }
    QLineEdit* nameBox(int i) { return window->findChild<QLineEdit*>(QStringLiteral("profileName%1").arg(i + 1)); }
};

TEST(SettingsActions, ImportGoodFileWithoutNamesAndMissingFile) {
    Started f;
    const fs::path original = f.config();
    const std::string before = testing::ReadBytes(original);
    // A good file: other names and another pointer speed in slot 2.
    const fs::path good = f.dir / "good.ini";
    fs::copy_file(original, good);
    ASSERT_TRUE(profile::WriteString(good, "Init", "ConfigName2_EN", "Sniper").ok());
    ASSERT_TRUE(profile::WriteString(good, "ShareData", "POINTER_SPEED", "7").ok());
    f.chooser.answer = good;
    ClickArea(*f.window, Page::Main, 14);
    EXPECT_EQ(testing::ReadBytes(original), testing::ReadBytes(good));
    EXPECT_EQ(f.session.profileNames[1], "Sniper");
    EXPECT_EQ(f.window->skin().functionNames[20], "Sniper");
    EXPECT_EQ(f.nameBox(1)->text(), QStringLiteral("Sniper"));
    const auto backups = Backups(original.parent_path());
    ASSERT_EQ(backups.size(), 1u) << "the replaced config.ini is kept";
    EXPECT_EQ(testing::ReadBytes(backups[0]), before);
    EXPECT_TRUE(f.messages.messages().empty());

    // Without names: refused before anything is replaced; the names stay.
    const fs::path nameless = f.dir / "nameless.ini";
    std::string text = testing::ReadBytes(good);
    text.replace(text.find("ConfigName3_EN="), 15, "Unrelated_KEY=");
    testing::WriteBytes(nameless, text);
    f.chooser.answer = nameless;
    ClickArea(*f.window, Page::Main, 14);
    EXPECT_EQ(f.messages.messages(), std::vector<std::string>{"File version error!"});
    EXPECT_EQ(testing::ReadBytes(original), testing::ReadBytes(good));
    EXPECT_EQ(f.session.profileNames[1], "Sniper");

    f.messages.clear();
    f.chooser.answer = f.dir / "missing.ini";
    ClickArea(*f.window, Page::Main, 14);
    EXPECT_EQ(f.messages.messages(), std::vector<std::string>{"Error!"});
    EXPECT_EQ(testing::ReadBytes(original), testing::ReadBytes(good));

    f.messages.clear();
    f.chooser.answer.reset();  // a cancelled dialog does nothing
    ClickArea(*f.window, Page::Main, 14);
    EXPECT_TRUE(f.messages.messages().empty());
}

// The first bytes of a PNG picture: NUL bytes among them.
constexpr char kPngStart[] = "\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10";

std::string Utf16LE(const std::string& utf8) {
    std::string out = "\xFF\xFE";
    for (QChar c : QString::fromStdString(utf8)) {
        out.push_back(static_cast<char>(c.unicode() & 0xFF));
        out.push_back(static_cast<char>(c.unicode() >> 8));
    }
    return out;
}

TEST(SettingsActions, ImportTakesOnlySettingsFilesOfTheInterfaceLanguage) {
    std::string factory;
    {
        Started f;
        factory = testing::ReadBytes(f.config());
    }
    std::string valid = factory;
    valid.replace(valid.find("ConfigName2_EN=Shooter"), 22, "ConfigName2_EN=Sniper");
    valid.replace(valid.find("DPI_SPEED=5"), 11, "DPI_SPEED=7");
    std::string chineseOnly = valid;
    for (const char* key : {"ConfigName1_EN=Default\r\n", "ConfigName2_EN=Sniper\r\n", "ConfigName3_EN=Media\r\n"}) {
        chineseOnly.erase(chineseOnly.find(key), std::string_view(key).size());
    }
    std::string oneEmpty = valid;
    oneEmpty.replace(oneEmpty.find("ConfigName2_EN=Sniper"), 21, "ConfigName2_EN=");
    struct Row {
        const char* what;
        std::string bytes;
        bool imported;
    };
    for (const Row& r : {
             Row{"junk text", "This is not a settings file.\r\nJust words.\r\n", false},
             Row{"binary with NUL bytes", std::string(kPngStart, sizeof kPngStart - 1), false},
             Row{"settings text with a malformed byte", valid + "; \xC3\x28\r\n", false},
             Row{"names only in the other language", chineseOnly, false},
             Row{"one name empty", oneEmpty, false},
             Row{"valid, UTF-16LE", Utf16LE(valid), true},
             Row{"valid", valid, true},
         }) {
        SCOPED_TRACE(r.what);
        Started f;
        ASSERT_TRUE(f.session.englishInterface);
        f.session.settings.pointerSpeed = 3;  // an unapplied change
        const MouseSettings before = f.session.settings;
        const fs::path chosen = f.dir / "chosen.ini";
        testing::WriteBytes(chosen, r.bytes);
        f.chooser.answer = chosen;
        ClickArea(*f.window, Page::Main, 14);
        if (r.imported) {
            EXPECT_TRUE(f.messages.messages().empty());
            EXPECT_EQ(testing::ReadBytes(f.config()), r.bytes);
            EXPECT_EQ(Backups(f.config().parent_path()).size(), 1u);
            EXPECT_EQ(f.session.settings.pointerSpeed, 7);
            EXPECT_EQ(f.session.profileNames[1], "Sniper");
            EXPECT_EQ(f.window->skin().functionNames[20], "Sniper");
            EXPECT_EQ(f.nameBox(1)->text(), QStringLiteral("Sniper"));
        } else {
            EXPECT_EQ(f.messages.messages(), std::vector<std::string>{"File version error!"});
            EXPECT_EQ(testing::ReadBytes(f.config()), factory) << "config.ini is left alone";
            EXPECT_TRUE(Backups(f.config().parent_path()).empty()) << "and so are its backups";
            EXPECT_EQ(f.session.settings, before) << "nothing is loaded";
            EXPECT_EQ(f.session.profileNames[1], "Shooter");
            EXPECT_EQ(f.window->skin().functionNames[20], "Shooter");
            EXPECT_EQ(f.nameBox(1)->text(), QStringLiteral("Shooter"));
        }
    }
}

TEST(SettingsActions, ExportCopiesAndReportsAFailedCopy) {
    Started f;
    f.chooser.answer = f.dir / "out.ini";
    ClickArea(*f.window, Page::Main, 15);
    EXPECT_EQ(testing::ReadBytes(f.dir / "out.ini"), testing::ReadBytes(f.config()));
    EXPECT_TRUE(f.messages.messages().empty());
    // An old file of the chosen name must not pass for a new copy.
    fs::create_directories(f.dir / "ro");
    testing::WriteBytes(f.dir / "ro" / "old.ini", "old");
    fs::permissions(f.dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    f.chooser.answer = f.dir / "ro" / "old.ini";
    fs::permissions(f.dir / "ro" / "old.ini", fs::perms::owner_read);
    ClickArea(*f.window, Page::Main, 15);
    fs::permissions(f.dir / "ro", fs::perms::owner_all);
    if (::geteuid() != 0) {
        EXPECT_EQ(f.messages.messages(), std::vector<std::string>{"Error!"});
    }
    f.messages.clear();
    f.chooser.answer = f.dir / "no-such-folder" / "out.ini";
    ClickArea(*f.window, Page::Main, 15);
    EXPECT_EQ(f.messages.messages(), std::vector<std::string>{"Error!"});
}

// Import, export and reset that succeeded say so in the window, in the
// interface language and with the file; a failed one shows only its message.
TEST(SettingsActions, SucceededActionsLeaveANote) {
    struct Case {
        int area;
        bool english;
        QString expected;  // %1: the chosen file
    };
    const Case cases[] = {
        {14, true, QStringLiteral("Imported from %1")},
        {15, true, QStringLiteral("Saved to %1")},
        {16, true, QStringLiteral("Factory settings restored")},
        {14, false, QStringLiteral("已从 %1 导入")},
        {15, false, QStringLiteral("已保存到 %1")},
        {16, false, QStringLiteral("已恢复出厂设置")},
    };
    for (const Case& c : cases) {
        Started f;
        if (!c.english) f.window->SwitchLanguage(false);
        const fs::path file = f.dir / "chosen.ini";
        fs::copy_file(f.config(), file);
        f.chooser.answer = file;
        ClickArea(*f.window, Page::Main, c.area);
        ASSERT_TRUE(f.messages.messages().empty()) << c.area;
        const QString expected = c.expected.contains(QStringLiteral("%1"))
                                     ? c.expected.arg(QString::fromStdString(file.string()))
                                     : c.expected;
        EXPECT_EQ(f.window->doneNote(), expected) << c.area << c.english;
    }
    // A failed export takes the earlier success's note away.
    Started f;
    f.chooser.answer = f.dir / "out.ini";
    ClickArea(*f.window, Page::Main, 15);
    ASSERT_FALSE(f.window->doneNote().isEmpty());
    f.chooser.answer = f.dir / "no-such-folder" / "out.ini";
    ClickArea(*f.window, Page::Main, 15);
    EXPECT_EQ(f.messages.messages(), std::vector<std::string>{"Error!"});
    EXPECT_TRUE(f.window->doneNote().isEmpty());
}

// The dialogs open where the last file was found, also after a restart, and
// in the home folder once that folder is gone; a cancelled dialog changes
// nothing.
TEST(SettingsActions, FileDialogsRememberTheLastFolder) {
    Started f;
    ClickArea(*f.window, Page::Main, 15);  // cancelled: nothing to remember
    EXPECT_EQ(f.chooser.lastStart, f.session.folders.userFolder);
    const fs::path away = f.dir / "away";
    fs::create_directories(away);
    f.chooser.answer = away / "out.ini";
    ClickArea(*f.window, Page::Main, 15);
    ASSERT_TRUE(fs::exists(away / "out.ini"));
    f.chooser.answer.reset();
    ClickArea(*f.window, Page::Main, 14);
    EXPECT_EQ(f.chooser.lastStart, away);
    EXPECT_EQ(profile::ReadString(f.dir / "skins" / "config" / "window.ini", "Init", "FILE_FOLDER", "", 4096),
              away.string());

    // A later run starts there too.
    Session again;
    again.folders = f.session.folders;
    RecordingMessageSink messages;
    again.messages = &messages;
    testing::AnswerChooser chooser;
    {
        ui::CORV_ZOvizaDlg window(again, f.backend, messages, {});
        window.setFileChooser(&chooser);
        ASSERT_TRUE(window.OnInitDialog());
        window.show();
        ClickArea(window, Page::Main, 14);
        EXPECT_EQ(chooser.lastStart, away);
        fs::remove_all(away);
        ClickArea(window, Page::Main, 15);
        EXPECT_EQ(chooser.lastStart, fs::path(QDir::homePath().toStdString()));
    }
}

TEST(SettingsActions, RememberedStartKeepsASuggestedFileName) {
    testing::TempDir dir;
    const fs::path home = dir / "home";
    const fs::path kept = dir / "kept";
    fs::create_directories(kept);
    fs::create_directories(home);
    struct Case {
        fs::path start, remembered, expected;
    };
    const Case cases[] = {
        {dir / "docs", {}, dir / "docs"},                                // nothing remembered yet
        {home, kept, kept},                                              // a folder start
        {dir / "docs" / "Group.dat", kept, kept / "Group.dat"},          // a suggested file keeps its name
        {dir / "docs" / "Group.dat", dir / "gone", home / "Group.dat"},  // the folder is gone
        {home, dir / "gone", home},
    };
    for (const Case& c : cases) EXPECT_EQ(ui::RememberedStart(c.start, c.remembered, home), c.expected) << c.start;
}

TEST(SettingsActions, ResetThenRestartShowsTheFactorySettingsAndKeepsNames) {
    MouseSettings factory;
    {
        Started f;
        ASSERT_TRUE(profile::WriteString(f.config(), "Init", "ConfigName1_EN", "Mine").ok());
        f.session.settings.buttonAssign[2][3] = 30;
        f.session.settings.pointerSpeed = 2;
        ASSERT_TRUE(SaveProfiles(f.session.settings, f.config(), std::array{0, 1, 2, 3}).ok());
        ClickArea(*f.window, Page::Main, 16);
        EXPECT_TRUE(f.messages.messages().empty());
        for (int slot = 0; slot < kProfileSlots; ++slot) {
            ASSERT_TRUE(LoadProfile(factory, f.dir / "skins" / "config", slot, true, f.messages));
        }
        EXPECT_EQ(f.session.settings, factory);
        EXPECT_EQ(profile::ReadString(f.config(), "Init", "ConfigName1_EN", "", 15), "Mine");
        EXPECT_EQ(Backups(f.config().parent_path()).size(), 1u);
        // Restart on the same folder.
        Session again;
        again.folders = f.session.folders;
        RecordingMessageSink messages;
        ui::CORV_ZOvizaDlg window(again, f.backend, messages, {});
        ASSERT_TRUE(window.OnInitDialog());
        EXPECT_EQ(again.settings, factory);
        EXPECT_EQ(again.profileNames[0], "Mine");
    }
}

// Started without a settings file the window shows the file messages and runs,
// but nothing it does programs a blank record or creates a file of zeros;
// a reset brings the factory settings in and makes Apply work.
TEST(SettingsActions, WithoutASettingsFileNothingIsAppliedUntilAReset) {
    WindowFixture f;
    fs::remove(f.config());
    ASSERT_TRUE(f.start());
    EXPECT_FALSE(f.session.settingsLoaded);
    f.messages.clear();
    const std::size_t reportsAtStart = f.mouse->log().size();  // the start-up's status read
    ClickArea(*f.window, Page::Main, 3);                       // Apply
    const auto shown = f.messages.messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].find("not programmed") != std::string::npos ||
                shown[0].find("未写入鼠标") != std::string::npos)
        << shown[0];
    EXPECT_EQ(f.mouse->log().size(), reportsAtStart) << "nothing was sent to the mouse";

    f.window->SwitchLanguage(!f.session.englishInterface);
    auto* box = f.window->findChild<QLineEdit*>(QStringLiteral("profileName1"));
    ASSERT_NE(box, nullptr);
    box->setText(QStringLiteral("Temp"));
    EXPECT_FALSE(fs::exists(f.config())) << "no settings file made of zeros";

    ClickArea(*f.window, Page::Main, 16);  // Reset
    EXPECT_TRUE(f.session.settingsLoaded) << ::testing::PrintToString(f.messages.messages());
    ASSERT_TRUE(fs::exists(f.config()));
    f.messages.clear();
    ClickArea(*f.window, Page::Main, 3);
    // The write runs on a worker; the window's loop runs until it has ended.
    for (int i = 0; i < 60000 && f.window->applying(); ++i) QTest::qWait(1);
    EXPECT_FALSE(f.window->applying());
    EXPECT_TRUE(f.messages.messages().empty()) << f.messages.messages().front();
    EXPECT_EQ(f.mouse->firmware().finishes, 1u);
    EXPECT_NE(f.mouse->memory()[0x08], 0) << "the left button is not blank";
}

TEST(SettingsActions, NameEditsAtZeroTenAndElevenCharacters) {
    Started f;
    QLineEdit* box = f.nameBox(0);
    ASSERT_NE(box, nullptr);
    struct Row {
        QString typed;
        std::string stored;
        bool refused;
    };
    for (const Row& r : {Row{QStringLiteral("ABCDEFGHIJ"), "ABCDEFGHIJ", false}, Row{QString(), "ABCDEFGHIJ", true},
                         Row{QStringLiteral("ABCDEFGHIJK"), "ABCDEFGHIJ", true},
                         Row{QString::fromUtf8("十个汉字十个汉字十个"), "十个汉字十个汉字十个", false}}) {
        f.messages.clear();
        box->selectAll();
        if (r.typed.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Backspace);
        } else {
            // One key event with the whole text, as an input method commits it.
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, r.typed, Qt::NoModifier);
        }
        EXPECT_EQ(f.messages.messages(),
                  r.refused ? std::vector<std::string>{"More than limit!"} : std::vector<std::string>{})
            << r.typed.toStdString();
        EXPECT_EQ(f.session.profileNames[0], r.stored);
        EXPECT_EQ(profile::ReadString(f.config(), "Init", "ConfigName1_EN", "", 15), r.stored);
        EXPECT_EQ(f.window->skin().functionNames[19], r.stored);
        EXPECT_EQ(box->text().toStdString(), r.stored);
    }
    EXPECT_EQ(profile::ReadString(f.config(), "Init", "ConfigName1", "", 15), "默认") << "the other language's name";
}

TEST(SettingsActions, LanguageRoundTripLeavesTheOtherLanguageAlone) {
    Started f;
    ASSERT_TRUE(f.session.englishInterface);
    const fs::path cnMacros = f.dir / "skins" / "INI_CN" / "macro";
    auto folderBytes = [](const fs::path& folder) {
        std::map<std::string, std::string> out;
        for (const auto& e : fs::directory_iterator(folder))
            out[e.path().filename().string()] = testing::ReadBytes(e.path());
        return out;
    };
    const auto cnBefore = folderBytes(cnMacros);
    const std::string firstEnGroup = f.session.macros.groups.groupNames[0];
    f.window->ChangePage(Page::Macro);

    ClickArea(*f.window, Page::Main, 4);  // Chinese
    EXPECT_FALSE(f.session.englishInterface);
    EXPECT_EQ(profile::ReadString(f.config(), "Init", "VER_SEL", "", 5), "0");
    EXPECT_EQ(f.session.profileNames[0], "默认");
    EXPECT_EQ(f.window->skin().functionNames[19], "默认");
    EXPECT_EQ(f.window->skin().mainLabels[6], "按键设置");
    EXPECT_EQ(f.session.macros.folders.macroFolder, cnMacros);
    EXPECT_NE(f.session.macros.groups.groupNames[0], firstEnGroup);
    ASSERT_NE(f.window->findChild<QLineEdit*>(QStringLiteral("groupName")), nullptr);
    EXPECT_EQ(f.window->findChild<QLineEdit*>(QStringLiteral("groupName"))->text().toStdString(),
              f.session.macros.groups.groupNames[0]);

    f.window->ChangePage(Page::Main);
    ASSERT_TRUE(f.session.profileNames[1] == "射击");
    ClickArea(*f.window, Page::Main, 5);  // English again
    EXPECT_TRUE(f.session.englishInterface);
    EXPECT_EQ(f.session.profileNames[1], "Shooter");
    EXPECT_EQ(f.nameBox(1)->text(), QStringLiteral("Shooter"));
    EXPECT_EQ(f.session.macros.groups.groupNames[0], firstEnGroup);
    EXPECT_EQ(folderBytes(cnMacros), cnBefore);
    EXPECT_EQ(profile::ReadString(f.config(), "Init", "ConfigName2", "", 15), "射击");
    ClickArea(*f.window, Page::Main, 5);  // the language in use: the same steps, the same result
    EXPECT_TRUE(f.session.englishInterface);
    EXPECT_EQ(f.session.profileNames[1], "Shooter");
    EXPECT_TRUE(f.messages.messages().empty());
}

}  // namespace
}  // namespace kx700
