// kx700ctl as a script uses it: get and set by name, profile and macro
// commands against the window's own functions, and the --json documents read
// back by a JSON parser.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>

#include "../support/temp_dir.h"
#include "macro/event_text.h"
#include "macro/files.h"
#include "macro/groups.h"
#include "platform/profile.h"
#include "programming/session.h"
#include "programming/settings_actions.h"

namespace kx700 {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;

struct CtlRun {
    int code = -1;
    std::string out, err;
};

QJsonDocument Json(const std::string& text) {
    QJsonParseError error;
    QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << text;
    return doc;
}

class CtlScript : public ::testing::Test {
protected:
    testing::TempDir dir;
    fs::path stage = std::getenv("KX700_TEST_STAGE") ? fs::path(std::getenv("KX700_TEST_STAGE")) : fs::path(".");

    void SetUp() override {
        for (const char* data : {"data", "twin"}) {
            fs::create_directories(dir / data);
            fs::copy(stage / "skins", dir / data / "skins", fs::copy_options::recursive);
            fs::copy_file(stage / "constMacro.dat", dir / data / "constMacro.dat");
        }
    }
    // Arguments are passed to the shell as they stand: quote what has blanks.
    CtlRun ctl(const std::string& args) {
        const std::string command = (stage / "kx700ctl").string() + " --data-dir " + (dir / "data").string() + " " +
                                    args + " >" + (dir / "out").string() + " 2>" + (dir / "err").string();
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(dir / "out"), ReadBytes(dir / "err")};
    }
    fs::path config(const char* data = "data") { return dir / data / "skins" / "config" / "config.ini"; }
    fs::path macros() { return Folders::Portable(dir / "data").macroFolder(true); }
    // The window's session over the twin folder, started as the window starts.
    void Window(Session& s, MessageSink& messages) {
        s.folders = Folders::Portable(dir / "twin");
        s.messages = &messages;
        LoadSessionData(s);
    }
    int Backups(const char* data) {
        int n = 0;
        for (const auto& e : fs::directory_iterator(config(data).parent_path())) n += e.path().extension() == ".bak";
        return n;
    }
};

TEST_F(CtlScript, SetChangesByNameAndRefusalsChangeNothing) {
    CtlRun r = ctl("set cpi.2=1600 'profile.1.button.4=Volume up' lighting.mode=Constantly lighting.brightness=7");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "");
    r = ctl("get cpi.2 profile.1.button.4 lighting.mode lighting.brightness");
    EXPECT_EQ(r.out, "cpi.2=1600\nprofile.1.button.4=Volume up\nlighting.mode=Constantly\nlighting.brightness=7\n");
    EXPECT_EQ(profile::ReadString(config(), "Config0", "K3", "", 10), "25");
    EXPECT_EQ(profile::ReadString(config(), "ShareData", "LED_BRIGHT", "", 10), "0");

    const std::string before = ReadBytes(config());
    struct Refused {
        const char* args;
        const char* says;
    };
    for (const Refused& c : {
             Refused{"set pointer-speed=3 cpi.1=1500",
                     "cpi.1=1500: not a CPI value of the mouse; nothing was changed\n"
                     "  cpi.1 takes: 200, 400, 600, 800"},
             Refused{"set 'profile.1.name=Much too long'", "More than limit!"},
             Refused{"set report-rate=300", "report-rate takes: 125, 250, 500, 1000"},
             Refused{"set dpi=800", "unknown setting 'dpi'; the settings are\nprofile (1-3)"},
             Refused{"get cpi.1 dpi", "unknown setting 'dpi'"},
             Refused{"set cpi.1", "'cpi.1' is not NAME=VALUE"},
             Refused{"set", "set needs NAME=VALUE"},
         }) {
        r = ctl(c.args);
        EXPECT_EQ(r.code, 2) << c.args;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_EQ(ReadBytes(config()), before) << c.args;
    }

    // The window's rule, said on stderr: profile 1 keeps a left click.
    r = ctl("set 'profile.1.button.1=Right click'");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "kx700ctl: profile 1 keeps a left button: profile.1.button.2 is now Left click\n");
    EXPECT_EQ(ctl("get profile.1.button.2").out, "profile.1.button.2=Left click\n");

    // Each profile's section keeps its own wheel status, but the mouse has one.
    r = ctl("set profile.1.scroll=1");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err,
              "kx700ctl: the mouse keeps one wheel status: an apply sends profile 3's (0) and saves it into every "
              "profile\n");
    EXPECT_EQ(ctl("get profile.1.scroll profile.3.scroll").out, "profile.1.scroll=1\nprofile.3.scroll=0\n");
    EXPECT_EQ(ctl("set profile.3.scroll=1").err, "");
}

TEST_F(CtlScript, WithoutASettingsFileNothingIsWritten) {
    fs::remove(config());
    const CtlRun r = ctl("set pointer-speed=3");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Error：Config.ini文件不存在!"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(config()));
    EXPECT_EQ(ctl("get").code, 1);
}

TEST_F(CtlScript, SetApplyProgramsTheSimulatedMouse) {
    const std::string state = (dir / "mouse.state").string();
    CtlRun r = ctl("--sim-state " + state +
                   " set --apply cpi.1=1600 'profile.1.button.4=Volume up' lighting.mode=Constantly rapid-fire=120");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("applied: ", 0), 0u) << r.out;
    r = ctl("--sim-state " + state + " describe --json");
    ASSERT_EQ(r.code, 0) << r.err;
    const QJsonObject d = Json(r.out).object();
    EXPECT_FALSE(d["blank"].toBool());
    EXPECT_EQ(d["cpiLevels"].toArray()[0].toObject()["cpi"].toInt(), 1600);
    const QJsonObject forward = d["profileSlots"].toArray()[0].toArray()[3].toObject();
    EXPECT_EQ(forward["function"].toString(), "multimedia key");
    EXPECT_EQ(forward["consumerUsage"].toInt(), 0xE9);
    EXPECT_EQ(d["lighting"].toObject()["mode"].toInt(), 2);
    EXPECT_EQ(d["rapidFireMs"].toInt(), 120);
    EXPECT_EQ(d["finishes"].toInt(), 1);
    EXPECT_EQ(d["protocolFaults"].toObject()["total"].toInt(), 0);

    // A refused value programs nothing.
    r = ctl("--sim-state " + state + " set --apply cpi.1=1601");
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(Json(ctl("--sim-state " + state + " describe --json").out).object()["finishes"].toInt(), 1);
}

TEST_F(CtlScript, EveryJsonDocumentParses) {
    CtlRun r = ctl("get --json");
    ASSERT_EQ(r.code, 0) << r.err;
    const QJsonObject all = Json(r.out).object();
    EXPECT_EQ(all["profile"].toInt(), 1);
    EXPECT_EQ(all["language"].toString(), "en");
    EXPECT_EQ(all["profile.2.name"].toString(), "Shooter");
    EXPECT_TRUE(all["cpi.1.enabled"].isBool());
    EXPECT_EQ(all["lighting.colours"].toArray().size(), 4);
    EXPECT_EQ(all["report-rate"].toInt(), 1000);
    const std::string lines = ctl("get").out;
    EXPECT_EQ(all.size(), static_cast<qsizetype>(std::count(lines.begin(), lines.end(), '\n')));

    ASSERT_EQ(ctl("set language=cn").code, 0);
    EXPECT_EQ(Json(ctl("get --json profile.1.name").out).object()["profile.1.name"].toString(),
              QString::fromUtf8("默认"));

    const QJsonObject settings = Json(ctl("settings --json").out).object();
    EXPECT_EQ(settings["profileSlots"].toArray().size(), 4);
    EXPECT_EQ(settings["profileSlots"].toArray()[3].toObject()["buttons"].toArray()[3].toObject()["value"].toInt(), 25);
    const QJsonObject memory = settings["macroMemory"].toObject();
    EXPECT_EQ(memory["capacityBytes"].toInt(), 1464) << "the lower limit before any status read";
    EXPECT_TRUE(memory["fits"].toBool());
    EXPECT_NE(ctl("settings").out.find("Macro memory: " + std::to_string(memory["usedBytes"].toInt()) + " / 1464"),
              std::string::npos)
        << "the same figure as the line";

    const QJsonArray list = Json(ctl("--simulate list --json").out).array();
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[2].toObject()["usagePage"].toInt(), 0xFF01);
    EXPECT_EQ(list[2].toObject()["open"].toString(), "yes");

    const QJsonObject status = Json(ctl("--simulate status --json").out).object();
    EXPECT_EQ(status["profile"].toInt(), 0);
    EXPECT_TRUE(status.contains("deviceNibble"));
    EXPECT_TRUE(Json(ctl("--simulate describe --json").out).object()["blank"].toBool());

    // The doctor's verdicts as data: the same checks, in the same order, as its lines.
    r = ctl("--simulate doctor --json");
    const QJsonObject doctor = Json(r.out).object();
    const QJsonArray checks = doctor["checks"].toArray();
    ASSERT_GE(checks.size(), 8) << r.out;
    EXPECT_EQ(checks[0].toObject()["name"].toString(), "mouse");
    EXPECT_EQ(checks[0].toObject()["verdict"].toString(), "ok");
    EXPECT_EQ(doctor["usable"].toBool(), r.code == 0);
    const std::string doctorLines = ctl("--simulate doctor").out;
    for (const auto& check : checks) {
        const QJsonObject c = check.toObject();
        EXPECT_NE(doctorLines.find(c["name"].toString().toStdString() + ": " + c["text"].toString().toStdString()),
                  std::string::npos)
            << doctorLines;
    }
}

TEST_F(CtlScript, ProfileCommandsDoWhatTheWindowDoes) {
    // Export: the very bytes of config.ini.
    ASSERT_EQ(ctl("set pointer-speed=9").code, 0);
    CtlRun r = ctl("profile export " + (dir / "saved.ini").string());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir / "saved.ini"), ReadBytes(config()));

    // Import, by kx700ctl and by the window over a twin folder: the same file
    // and one backup each.
    ASSERT_TRUE(profile::WriteString(dir / "saved.ini", "ShareData", "FIRE_TIME", "77").ok());
    r = ctl("profile import " + (dir / "saved.ini").string());
    ASSERT_EQ(r.code, 0) << r.err;
    {
        Session s;
        RecordingMessageSink messages;
        Window(s, messages);
        ASSERT_TRUE(programming::ImportSettings(s, dir / "saved.ini", messages));
    }
    EXPECT_EQ(ReadBytes(config()), ReadBytes(config("twin")));
    EXPECT_EQ(ReadBytes(config()), ReadBytes(dir / "saved.ini"));
    EXPECT_EQ(Backups("data"), 1);
    EXPECT_EQ(Backups("twin"), 1);
    EXPECT_EQ(ctl("get rapid-fire").out, "rapid-fire=77\n");

    // A file without the names of the interface language, or none at all:
    // the window's messages, and config.ini stays.
    const std::string before = ReadBytes(config());
    testing::WriteBytes(dir / "bad.ini", "[ShareData]\r\nFIRE_TIME=5\r\n");
    r = ctl("profile import " + (dir / "bad.ini").string());
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "kx700ctl: File version error!\n");
    r = ctl("profile import " + (dir / "missing.ini").string());
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "kx700ctl: Error!\n");
    EXPECT_EQ(ReadBytes(config()), before);

    // Reset: the factory settings, as the window's reset leaves them.
    r = ctl("profile reset");
    ASSERT_EQ(r.code, 0) << r.err;
    {
        Session s;
        RecordingMessageSink messages;
        Window(s, messages);
        programming::ResetSettings(s, messages);
        EXPECT_TRUE(messages.messages().empty());
    }
    EXPECT_EQ(ReadBytes(config()), ReadBytes(config("twin")));
    EXPECT_EQ(ctl("get rapid-fire pointer-speed").out, "rapid-fire=50\npointer-speed=5\n");
    EXPECT_EQ(ctl("profile").code, 2);
}

TEST_F(CtlScript, MacroCommandsDoWhatTheMacroPageDoes) {
    Session s;
    RecordingMessageSink messages;
    Window(s, messages);
    const macro::GroupDirectory& g = s.macros.groups;
    ASSERT_GT(g.groupCount, 0);

    std::string names;
    for (int i = 0; i < g.groupCount; ++i) names += g.groupNames[static_cast<std::size_t>(i)] + "\n";
    EXPECT_EQ(ctl("macro groups").out, names);
    std::string list;
    for (int i = 0; i < g.groupMacroCount[0]; ++i) list += g.macroNames[0][static_cast<std::size_t>(i)] + "\n";
    EXPECT_EQ(ctl("macro list " + g.groupNames[0]).out, list);

    // The event text of the Macro page's list, line for line.
    const macro::MacroRecord first = s.macros.table.slots[0];
    std::string lines;
    for (const std::string& line : macro::MacroLines(first).lines) lines += line + "\n";
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(ctl("macro show " + g.groupNames[0] + " " + macro::MacroName(first)).out, lines);
    EXPECT_EQ(ctl("macro show " + g.groupNames[0] + " Nope").code, 1);
    EXPECT_EQ(ctl("macro list ../INI_CN").code, 1) << "only names from the group list become paths";

    // Export writes what the window's export writes.
    ASSERT_EQ(ctl("macro export " + g.groupNames[0] + " " + (dir / "mine.dat").string()).code, 0);
    ASSERT_TRUE(macro::ExportGroup(s.macros, dir / "twin.dat", messages).ok());
    EXPECT_EQ(ReadBytes(dir / "mine.dat"), ReadBytes(dir / "twin.dat"));
    // Not onto a group's own file.
    CtlRun r = ctl("macro export " + g.groupNames[0] + " " + (macros() / (g.groupNames[1] + ".dat")).string());
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "kx700ctl: Error!\n");

    // Import adds the group once; the second time is the window's "Double name!".
    r = ctl("macro import " + (dir / "mine.dat").string());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadBytes(macros() / "mine.dat"), ReadBytes(dir / "mine.dat"));
    EXPECT_EQ(ctl("macro groups").out, names + "mine\n");
    r = ctl("macro import " + (dir / "mine.dat").string());
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "kx700ctl: Double name!\n");
    testing::WriteBytes(dir / "noise.dat", std::string("\0\1\2", 3));
    EXPECT_EQ(ctl("macro import " + (dir / "noise.dat").string()).err, "kx700ctl: Error!\n");

    // Up to twelve groups, then "More than limit!".
    for (int i = g.groupCount + 1; i < 12; ++i) {
        fs::copy_file(dir / "mine.dat", dir / ("g" + std::to_string(i) + ".dat"));
        ASSERT_EQ(ctl("macro import " + (dir / ("g" + std::to_string(i) + ".dat")).string()).code, 0) << i;
    }
    fs::copy_file(dir / "mine.dat", dir / "last.dat");
    r = ctl("macro import " + (dir / "last.dat").string());
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "kx700ctl: More than limit!\n");

    // Reset: the factory folder again.
    ASSERT_EQ(ctl("macro reset").code, 0);
    EXPECT_EQ(ctl("macro groups").out, names);
    EXPECT_FALSE(fs::exists(macros() / "mine.dat"));
    EXPECT_EQ(ctl("macro show").code, 2);
}

}  // namespace
}  // namespace kx700
