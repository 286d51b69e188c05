// Macro groups: the group list file, dropping groups whose file is gone, and
// the new, delete, rename, switch, import and reset operations, checked on the
// files they leave in a temporary macro folder.
#include "macro/groups.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "../support/temp_dir.h"
#include "macro/files.h"
#include "macro/value_format.h"
#include "platform/profile.h"

namespace kx700::macro {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;
using Names = std::vector<std::string>;

std::size_t U(int i) { return static_cast<std::size_t>(i); }

MacroRecord Named(std::string_view name, int events = 2) {
    MacroRecord r;
    SetMacroName(r, name);
    r.repeatCount = 1;
    r.eventCount = static_cast<std::uint16_t>(events);
    for (int i = 0; i < events; ++i) {
        r.eventType[U(i)] = i % 2 == 0 ? TY_DOWN : TY_UP;
        r.eventCode[U(i)] = 0x04;
        r.eventDelay[U(i)] = 20;
    }
    return r;
}

// A group file in the real format, holding macros of these names.
void WriteGroupFile(const fs::path& file, const Names& macros) {
    MacroTable t;
    t.macroCount = static_cast<std::uint16_t>(macros.size());
    for (std::size_t i = 0; i < macros.size(); ++i) t.slots[i] = Named(macros[i]);
    fs::create_directories(file.parent_path());
    ASSERT_TRUE(SaveAllMacros(file, t).ok());
}

// A list file as a person or the factory writes it: only the keys in use.
void WriteList(const fs::path& folder, const Names& names, const std::string& count = "") {
    std::string text = "[MACRO_GROUP_NUM]\r\nmacGrpNum=" + (count.empty() ? std::to_string(names.size()) : count) +
                       "\r\n[MACRO_GROUP_NAME]\r\n";
    for (std::size_t k = 0; k < names.size(); ++k) text += std::to_string(k) + "=" + names[k] + "\r\n";
    WriteBytes(folder / "macroGrp.ini", text);
}

Names TableNames(const MacroTable& t) {
    Names out;
    for (int i = 0; i < t.macroCount; ++i) out.push_back(MacroName(t.slots[U(i)]));
    return out;
}

// Every entry under a folder with its bytes, to see that nothing moved.
std::map<std::string, std::string> FolderContent(const fs::path& folder) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        out[fs::relative(e.path(), folder).string()] = e.is_directory() ? "<folder>" : ReadBytes(e.path());
    return out;
}

class MacroGroups : public ::testing::Test {
protected:
    TempDir dir;
    RecordingMessageSink sink;
    MacroState m;

    void SetUp() override {
        m.folders.macroFolder = dir / "macro";
        m.folders.macroResetFolder = dir / "macroReset";
        fs::create_directories(folder());
    }
    const fs::path& folder() const { return m.folders.macroFolder; }
    fs::path list() const { return m.folders.groupListFile(); }

    // Groups with their files (each holding macros "<group>0".."<group>n-1"),
    // loaded the way start-up loads them.
    void Start(const std::vector<std::pair<std::string, int>>& groups) {
        Names names;
        for (const auto& [name, macros] : groups) {
            Names ms;
            for (int i = 0; i < macros; ++i) ms.push_back(name + std::to_string(i));
            WriteGroupFile(folder() / (name + ".dat"), ms);
            names.push_back(name);
        }
        WriteList(folder(), names);
        LoadGroupList(m, sink);
        LoadCurrentGroup(m, sink);
        ASSERT_TRUE(sink.messages().empty());
    }
    Names GroupNames() const {
        return Names(m.groups.groupNames.begin(), m.groups.groupNames.begin() + m.groups.groupCount);
    }
    // The list as the next start reads it.
    Names ListOnDisk() const {
        const int n = profile::ReadInt(list(), "MACRO_GROUP_NUM", "macGrpNum", kCountReadSize);
        Names out;
        for (int k = 0; k < n; ++k)
            out.push_back(profile::ReadString(list(), "MACRO_GROUP_NAME", std::to_string(k), "", kGroupNameReadSize));
        return out;
    }
};

TEST_F(MacroGroups, LoadDropsGroupsWhoseFileIsGoneAndRewritesTheList) {
    for (const char* g : {"A", "D", "F"})
        WriteGroupFile(folder() / (std::string(g) + ".dat"), {std::string(g) + "0", std::string(g) + "1"});
    WriteGroupFile(dir / "x.dat", {"outside"});
    // B and C are neighbours, E is alone, "../x" names a file outside the folder.
    WriteList(folder(), {"A", "B", "C", "D", "../x", "E", "F"});
    m.groups.currentGroup = 5;
    m.groups.macroNames[6][0] = "stale";

    LoadGroupList(m, sink);
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(GroupNames(), (Names{"A", "D", "F"}));
    EXPECT_EQ(m.groups.groupNames[3], "");
    EXPECT_EQ(m.groups.currentGroup, 0);
    EXPECT_EQ(ListOnDisk(), (Names{"A", "D", "F"}));
    EXPECT_EQ(profile::ReadString(list(), "MACRO_GROUP_NAME", "3", "<none>", 20), "");
    EXPECT_EQ(m.groups.groupMacroCount[1], 2);
    EXPECT_EQ(m.groups.macroNames[2][1], "F1");
    EXPECT_EQ(m.groups.macroNames[6][0], "");

    // Nothing dropped: the list is left byte for byte.
    WriteList(folder(), {"A", "D"});
    const std::string before = ReadBytes(list());
    LoadGroupList(m, sink);
    EXPECT_EQ(ReadBytes(list()), before);
}

TEST_F(MacroGroups, LoadLimitsCountAndNameLength) {
    LoadGroupList(m, sink);
    EXPECT_EQ(sink.messages(), Names{"Can't find the file."});
    EXPECT_EQ(m.groups.groupCount, 0);
    EXPECT_FALSE(fs::exists(list()));

    Names many;
    for (int k = 0; k < 14; ++k) {
        many.push_back("G" + std::to_string(k));
        WriteGroupFile(folder() / (many.back() + ".dat"), {});
    }
    WriteList(folder(), many, "99");  // read with room for two digits: 99, held to 12
    sink.clear();
    LoadGroupList(m, sink);
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(GroupNames(), Names(many.begin(), many.begin() + 12));

    // A 20-character name comes back with 19 and no longer finds its file.
    const std::string twenty = "Twenty_characters_xx";
    WriteGroupFile(folder() / (twenty + ".dat"), {});
    WriteList(folder(), {"G0", twenty});
    LoadGroupList(m, sink);
    EXPECT_EQ(GroupNames(), Names{"G0"});
}

TEST_F(MacroGroups, WriteListFillsTwentyKeysAndNamesComeBackAsTyped) {
    m.groups.groupCount = 3;
    m.groups.groupNames = {"A", "Fire ", "'q'", "stale"};
    ASSERT_TRUE(WriteGroupList(m).ok());
    EXPECT_EQ(profile::ReadString(list(), "MACRO_GROUP_NUM", "macGrpNum", "", 3), "3");
    for (int k = 3; k < 20; ++k)
        EXPECT_EQ(profile::ReadString(list(), "MACRO_GROUP_NAME", std::to_string(k), "<none>", 20), "") << k;
    EXPECT_EQ(profile::ReadString(list(), "MACRO_GROUP_NAME", "20", "<none>", 20), "<none>");
    EXPECT_EQ(ListOnDisk(), (Names{"A", "Fire ", "'q'"}));
    EXPECT_NE(ReadBytes(list()).find("\r\n0=A\r\n"), std::string::npos);  // plain names stay unquoted
}

TEST_F(MacroGroups, RenameFollowsEveryKeystroke) {
    Start({{"New", 2}});
    const std::string content = ReadBytes(folder() / "New.dat");
    std::string previous = "New";
    for (const std::string typed : {"F", "Fi", "Fir", "Fire", "Nineteen_characters", "连发"}) {
        SCOPED_TRACE(typed);
        EXPECT_EQ(RenameGroup(m, typed, sink), RenameResult::Renamed);
        EXPECT_EQ(GroupNames(), Names{typed});
        EXPECT_EQ(ListOnDisk(), Names{typed});
        EXPECT_EQ(ReadBytes(folder() / (typed + ".dat")), content);
        EXPECT_FALSE(fs::exists(folder() / (previous + ".dat")));
        EXPECT_EQ(m.groups.macroNames[0][1], "New1");
        previous = typed;
    }
    EXPECT_EQ(FolderContent(folder()).size(), 2u);  // the list and one group file, no leftovers
    EXPECT_EQ(RenameGroup(m, "连发", sink), RenameResult::Unchanged);
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(MacroGroups, RenameThatCannotHappenLeavesEverythingAsItWas) {
    Start({{"Fire", 2}, {"Ice", 1}});
    fs::create_directories(folder() / "Blocked.dat" / "inside");  // the copy cannot replace a folder
    WriteList(folder(), {"Fire", "Ice"});                         // hand-written: fewer keys than WriteGroupList writes
    const auto before = FolderContent(folder());
    struct Row {
        std::string text;
        RenameResult result;
        std::string message;
    };
    const std::string invalid = "Invalid: Delete Invalid character";
    const std::vector<Row> rows = {
        {"Ice", RenameResult::Duplicate, "'Ice' Double name!"},  // another group's name: refused, said so
        {"Fire", RenameResult::Unchanged, ""},                   // its own name: the box already shows it
        {"", RenameResult::RestoreBox, ""},
        {" ", RenameResult::RestoreBox, ""},
        {"Fi*", RenameResult::Invalid, invalid},
        {"a/b", RenameResult::Invalid, invalid},
        {"..", RenameResult::Invalid, invalid},
        {"x\r\n1=Evil", RenameResult::Invalid, invalid},
        {"Twenty_characters_xx", RenameResult::Invalid, invalid},
        {"连连连连连连连连连连连连连连连连连连连连", RenameResult::Invalid, invalid},  // 20 units, 60 bytes
        {"😀😀😀😀😀😀😀😀😀😀", RenameResult::Invalid, invalid},                                // 10 characters, 20 UTF-16 units
        {"Blocked", RenameResult::Invalid, invalid},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        sink.clear();
        EXPECT_EQ(RenameGroup(m, row.text, sink), row.result);
        EXPECT_EQ(sink.messages(), row.message.empty() ? Names{} : Names{row.message});
        EXPECT_EQ(GroupNames(), (Names{"Fire", "Ice"}));
        EXPECT_EQ(FolderContent(folder()), before);
    }
    EXPECT_EQ(TableNames(m.table), (Names{"Fire0", "Fire1"}));
}

TEST_F(MacroGroups, RenameWithTheFileGoneKeepsTheNewName) {
    Start({{"Fire", 1}});
    fs::remove(folder() / "Fire.dat");
    EXPECT_EQ(RenameGroup(m, "Flame", sink), RenameResult::FileMissing);
    EXPECT_EQ(sink.messages(), Names{"not find File!"});
    EXPECT_EQ(GroupNames(), Names{"Flame"});
    EXPECT_EQ(ListOnDisk(), Names{"Flame"});

    MacroState none;
    none.folders = m.folders;
    EXPECT_EQ(RenameGroup(none, "X", sink), RenameResult::NoGroup);
}

TEST_F(MacroGroups, NewGroupGuards) {
    struct Row {
        const char* what;
        int groups;
        bool hasNew;
        std::string message;
    };
    const std::vector<Row> rows = {
        {"twelve groups", 12, false, "More than limit!"},
        {"twelve groups, one New", 12, true, "More than limit!"},
        {"New exists", 3, true, "'New' Double name!"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir d;
        MacroState s;
        s.folders.macroFolder = d / "macro";
        Names names;
        for (int k = 0; k < row.groups; ++k) {
            names.push_back(row.hasNew && k == 1 ? "New" : "G" + std::to_string(k));
            WriteGroupFile(s.folders.macroFolder / (names.back() + ".dat"), {names.back() + "0"});
        }
        WriteList(s.folders.macroFolder, names);
        LoadGroupList(s, sink);
        LoadCurrentGroup(s, sink);
        s.table.currentMacro = 3;
        const auto before = FolderContent(s.folders.macroFolder);
        sink.clear();
        EXPECT_FALSE(NewGroup(s, sink));
        EXPECT_EQ(sink.messages(), Names{row.message});
        EXPECT_EQ(s.table.currentMacro, 0);
        EXPECT_EQ(s.groups.groupCount, row.groups);
        EXPECT_EQ(s.table.macroCount, 1);
        EXPECT_EQ(FolderContent(s.folders.macroFolder), before);
    }
}

TEST_F(MacroGroups, NewGroupIsAppendedWithAnEmptyFile) {
    Start({{"A", 2}});
    WriteBytes(folder() / "New.dat", "[Macros]\r\nmacroNum=1\r\n");  // an orphan file of that name
    ASSERT_TRUE(NewGroup(m, sink));
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(GroupNames(), (Names{"A", "New"}));
    EXPECT_EQ(m.groups.currentGroup, 1);
    EXPECT_EQ(ListOnDisk(), (Names{"A", "New"}));
    EXPECT_EQ(ReadBytes(folder() / "New.dat"), "");
    EXPECT_EQ(m.table.macroCount, 0);
    EXPECT_EQ(m.table.slots[0], MacroRecord{});
    EXPECT_EQ(m.table.slots[1], MacroRecord{});
    EXPECT_EQ(m.groups.groupMacroCount[1], 0);
}

TEST_F(MacroGroups, DeleteGroupDownToNone) {
    Start({{"A", 2}, {"B", 1}, {"C", 3}});
    m.groups.currentGroup = 1;
    ASSERT_TRUE(GroupFileExists(m, 1, true, sink));
    m.table.currentMacro = 0;

    ASSERT_TRUE(DeleteGroup(m, sink));
    EXPECT_EQ(GroupNames(), (Names{"A", "C"}));
    EXPECT_EQ(ListOnDisk(), (Names{"A", "C"}));
    EXPECT_FALSE(fs::exists(folder() / "B.dat"));
    EXPECT_EQ(m.groups.currentGroup, 0);
    EXPECT_EQ(TableNames(m.table), (Names{"A0", "A1"}));
    EXPECT_EQ(m.groups.macroNames[1][2], "C2");

    ASSERT_TRUE(DeleteGroup(m, sink));
    EXPECT_EQ(TableNames(m.table), (Names{"C0", "C1", "C2"}));
    ASSERT_TRUE(DeleteGroup(m, sink));
    EXPECT_EQ(m.groups.groupCount, 0);
    EXPECT_EQ(ListOnDisk(), Names{});
    EXPECT_EQ(m.table.macroCount, 0);
    EXPECT_EQ(m.table.slots[2], MacroRecord{});  // C2 does not linger
    EXPECT_EQ(m.groups.groupMacroCount[0], 0);
    m.table.currentMacro = 2;
    EXPECT_FALSE(DeleteGroup(m, sink));
    EXPECT_EQ(m.table.currentMacro, 0);
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(MacroGroups, DeleteThatTheFileSystemRefusesRemovesNothing) {
    Start({{"A", 1}, {"B", 1}});
    m.groups.currentGroup = 1;
    fs::remove(folder() / "B.dat");
    fs::create_directories(folder() / "B.dat" / "inside");  // cannot be removed as a file
    EXPECT_FALSE(DeleteGroup(m, sink));
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].rfind("Can't delete ", 0), 0u) << sink.messages()[0];
    EXPECT_EQ(GroupNames(), (Names{"A", "B"}));
    EXPECT_EQ(ListOnDisk(), (Names{"A", "B"}));
}

TEST_F(MacroGroups, SwitchSavesTheEditedMacroIntoThePreviousGroup) {
    Start({{"A", 3}, {"B", 1}});
    SetMacroName(m.table.slots[2], "Edited");
    m.groups.currentGroup = 1;
    m.table.currentMacro = 2;
    SwitchGroup(m, 0, 2, sink);
    EXPECT_EQ(MacroName(ReadMacro(folder(), 0, 2)), "Edited");
    EXPECT_EQ(m.groups.macroNames[0][2], "Edited");
    EXPECT_EQ(TableNames(m.table), Names{"B0"});
    EXPECT_EQ(m.table.slots[2], MacroRecord{});  // A's macros do not linger past B's count
    EXPECT_EQ(m.table.currentMacro, 0);

    // No slot (the list had no selection): the previous group's file stays.
    const std::string b = ReadBytes(folder() / "B.dat");
    SetMacroName(m.table.slots[0], "Unsaved");
    m.groups.currentGroup = 0;
    SwitchGroup(m, 1, -1, sink);
    EXPECT_EQ(ReadBytes(folder() / "B.dat"), b);
    EXPECT_EQ(TableNames(m.table), (Names{"A0", "A1", "Edited"}));
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(MacroGroups, SaveCurrentMacroWritesOnlyTheEditedSlotOfTheCurrentGroup) {
    Start({{"A", 3}, {"B", 2}});
    m.groups.currentGroup = 1;
    LoadCurrentGroup(m, sink);
    SetMacroName(m.table.slots[1], "Edited");
    m.table.currentMacro = 1;
    ASSERT_TRUE(SaveCurrentMacro(m).ok());
    EXPECT_EQ(MacroName(ReadMacro(folder(), 1, 1)), "Edited");
    EXPECT_EQ(MacroName(ReadMacro(folder(), 0, 1)), "A1");

    // Nothing to save: no macro selected, a slot past the count, no current group.
    const auto before = FolderContent(folder());
    SetMacroName(m.table.slots[0], "Unsaved");
    for (int slot : {-1, 2}) {
        m.table.currentMacro = slot;
        EXPECT_TRUE(SaveCurrentMacro(m).ok()) << slot;
    }
    m.table.currentMacro = 0;
    m.groups.currentGroup = 2;
    EXPECT_TRUE(SaveToCurrentGroup(m, 0).ok());
    EXPECT_EQ(FolderContent(folder()), before);
}

TEST_F(MacroGroups, ImportAppendsTheGroupAndMakesItCurrent) {
    Start({{"A", 1}});
    WriteGroupFile(dir / "downloads" / "Sniper.dat", {"Aim", "Burst"});
    ASSERT_TRUE(CanImportGroup(m, sink));
    ASSERT_TRUE(ImportGroup(m, dir / "downloads" / "Sniper.dat", sink));
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(GroupNames(), (Names{"A", "Sniper"}));
    EXPECT_EQ(ListOnDisk(), (Names{"A", "Sniper"}));
    EXPECT_EQ(m.groups.currentGroup, 1);
    EXPECT_EQ(TableNames(m.table), (Names{"Aim", "Burst"}));
    EXPECT_EQ(ReadBytes(folder() / "Sniper.dat"), ReadBytes(dir / "downloads" / "Sniper.dat"));
    EXPECT_EQ(m.groups.macroNames[1][1], "Burst");

    // Named up to the first ".dat": the copy must be the file the group names.
    WriteGroupFile(dir / "downloads" / "Rapid.dat.bak", {"Fast"});
    ASSERT_TRUE(ImportGroup(m, dir / "downloads" / "Rapid.dat.bak", sink));
    EXPECT_EQ(GroupNames(), (Names{"A", "Sniper", "Rapid"}));
    EXPECT_EQ(TableNames(m.table), Names{"Fast"});
    LoadGroupList(m, sink);
    EXPECT_EQ(GroupNames(), (Names{"A", "Sniper", "Rapid"}));
}

TEST_F(MacroGroups, ImportOfAFileAlreadyInTheMacroFolderKeepsIt) {
    Start({{"A", 1}});
    WriteGroupFile(folder() / "Spare.dat", {"S0", "S1", "S2"});
    const std::string content = ReadBytes(folder() / "Spare.dat");
    ASSERT_TRUE(ImportGroup(m, folder() / "Spare.dat", sink));
    EXPECT_EQ(ReadBytes(folder() / "Spare.dat"), content);
    EXPECT_EQ(TableNames(m.table), (Names{"S0", "S1", "S2"}));
    EXPECT_EQ(GroupNames(), (Names{"A", "Spare"}));
}

TEST_F(MacroGroups, ImportRefusalsChangeNothing) {
    Start({{"Sniper", 2}});
    struct Row {
        std::string file;
        std::string message;
    };
    const std::vector<Row> rows = {
        {"Sniper.dat", "Double name!"},         {"Sniper.txt", "Error!"}, {"Sniper.DAT", "Error!"}, {".dat", "Error!"},
        {"Twenty_characters_xx.dat", "Error!"}, {"a:b.dat", "Error!"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        WriteGroupFile(dir / "in" / row.file, {"Other"});
        const auto before = FolderContent(folder());
        sink.clear();
        EXPECT_FALSE(ImportGroup(m, dir / "in" / row.file, sink));
        EXPECT_EQ(sink.messages(), Names{row.message});
        EXPECT_EQ(GroupNames(), Names{"Sniper"});
        EXPECT_EQ(TableNames(m.table), (Names{"Sniper0", "Sniper1"}));
        EXPECT_EQ(FolderContent(folder()), before);
    }

    // A file that cannot be copied: a clear message, no group.
    sink.clear();
    EXPECT_FALSE(ImportGroup(m, dir / "in" / "Gone.dat", sink));
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].rfind("Can't copy ", 0), 0u) << sink.messages()[0];
    EXPECT_EQ(GroupNames(), Names{"Sniper"});
    EXPECT_FALSE(fs::exists(folder() / "Gone.dat"));
}

// A group file spelled out by hand: the count line as given, then the values.
std::string GroupText(const std::string& countLine, const std::vector<std::string>& values,
                      const std::string& extra = "") {
    std::string text = "[Macros]\r\n" + countLine;
    for (std::size_t i = 0; i < values.size(); ++i) text += std::to_string(i) + "=" + values[i] + "\r\n";
    return text + extra;
}

TEST_F(MacroGroups, ImportTakesOnlyMacroGroupFiles) {
    Start({{"Sniper", 2}});
    const std::string aim = FormatMacroValue(Named("Aim"));
    const std::string burst = FormatMacroValue(Named("Burst"));
    std::string aimNonDigit = aim, aimOver255 = aim;
    aimNonDigit[3 * 40 + 2] = 'x';
    aimOver255.replace(3 * 40, 3, "256");
    std::string utf16 = "\xFF\xFE";
    for (char c : GroupText("macroNum=1\r\n", {aim})) utf16 += std::string{c, '\0'};
    struct Row {
        const char* what;
        std::string bytes;
        Names loaded;  // empty with accepted false: refused
        bool accepted;
    };
    const std::vector<Row> rows = {
        {"junk text", "Not a macro file.\r\nmacroNum is mentioned, nothing more.\r\n", {}, false},
        {"binary",
         std::string("\x7F"
                     "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0[Macros]\nmacroNum=1\n",
                     36),
         {},
         false},
        {"a malformed byte", GroupText("macroNum=1\r\n", {aim}, "; \xC3\x28\r\n"), {}, false},
        {"no macroNum", GroupText("", {aim, burst}), {}, false},
        {"an empty macroNum", GroupText("macroNum=\r\n", {aim}), {}, false},
        {"macroNum 21", GroupText("macroNum=21\r\n", {aim}), {}, false},
        {"macroNum 100, which a two-character read takes for 10", GroupText("macroNum=100\r\n", {aim}), {}, false},
        {"macroNum 99999", GroupText("macroNum=99999\r\n", {aim}), {}, false},
        {"a negative macroNum", GroupText("macroNum=-1\r\n", {aim}), {}, false},
        {"macroNum in words", GroupText("macroNum=two\r\n", {aim, burst}), {}, false},
        {"a macro missing", GroupText("macroNum=2\r\n", {aim}), {}, false},
        {"a value one field short", GroupText("macroNum=1\r\n", {aim.substr(0, aim.size() - 3)}), {}, false},
        {"a value one field long", GroupText("macroNum=1\r\n", {aim + "000"}), {}, false},
        {"a field that is not digits", GroupText("macroNum=1\r\n", {aimNonDigit}), {}, false},
        {"a field above 255", GroupText("macroNum=1\r\n", {aimOver255}), {}, false},
        {"an empty group", GroupText("macroNum=0\r\n", {}), {}, true},
        {"two macros, a settings section and a spare key",
         GroupText("macroNum=2\r\n", {aim, burst, aim}, "[MacrosSet]\r\n0=1\r\n"),
         {"Aim", "Burst"},
         true},
        {"UTF-16LE", utf16, {"Aim"}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(IsMacroGroupFile(row.bytes), row.accepted);
        WriteBytes(dir / "in" / "Import.dat", row.bytes);
        const auto before = FolderContent(folder());
        sink.clear();
        EXPECT_EQ(ImportGroup(m, dir / "in" / "Import.dat", sink), row.accepted);
        if (row.accepted) {
            EXPECT_TRUE(sink.messages().empty());
            EXPECT_EQ(GroupNames(), (Names{"Sniper", "Import"}));
            EXPECT_EQ(TableNames(m.table), row.loaded);
            EXPECT_EQ(ReadBytes(folder() / "Import.dat"), row.bytes);
            // Back to the one group for the next row.
            ASSERT_TRUE(DeleteGroup(m, sink));
            ASSERT_EQ(GroupNames(), Names{"Sniper"});
        } else {
            EXPECT_EQ(sink.messages(), Names{"Error!"});
            EXPECT_EQ(GroupNames(), Names{"Sniper"});
            EXPECT_EQ(TableNames(m.table), (Names{"Sniper0", "Sniper1"}));
            EXPECT_EQ(FolderContent(folder()), before) << "nothing is copied into the macro folder";
        }
    }
}

TEST_F(MacroGroups, ImportBeyondTwelveGroups) {
    std::vector<std::pair<std::string, int>> twelve;
    for (int k = 0; k < 12; ++k) twelve.push_back({"G" + std::to_string(k), 0});
    Start(twelve);
    WriteGroupFile(dir / "Sniper.dat", {"Aim"});
    EXPECT_FALSE(CanImportGroup(m, sink));
    EXPECT_FALSE(ImportGroup(m, dir / "Sniper.dat", sink));
    EXPECT_EQ(sink.messages(), (Names{"More than limit!", "More than limit!"}));
    EXPECT_EQ(m.groups.groupCount, 12);
    EXPECT_FALSE(fs::exists(folder() / "Sniper.dat"));
}

TEST_F(MacroGroups, ResetReplacesEverythingWithTheFactoryFolder) {
    Start({{"Mine", 2}, {"Yours", 4}});
    WriteGroupFile(m.folders.macroResetFolder / "Fire.dat", {"Rapid", "Burst"});
    WriteGroupFile(m.folders.macroResetFolder / "Ice.dat", {"Slow"});
    WriteList(m.folders.macroResetFolder, {"Fire", "Ice"});
    m.groups.currentGroup = 1;
    m.table.currentMacro = 3;

    ResetMacros(m, sink);
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(FolderContent(folder()), FolderContent(m.folders.macroResetFolder));
    EXPECT_EQ(GroupNames(), (Names{"Fire", "Ice"}));
    EXPECT_EQ(m.groups.currentGroup, 0);
    EXPECT_EQ(m.table.currentMacro, 0);
    EXPECT_EQ(TableNames(m.table), (Names{"Rapid", "Burst"}));
    EXPECT_EQ(m.table.slots[3], MacroRecord{});
    EXPECT_EQ(m.groups.macroNames[1][0], "Slow");
}

TEST_F(MacroGroups, ResetFromAnEmptyFactoryFolderLeavesNoGroups) {
    Start({{"Mine", 2}});
    fs::create_directories(m.folders.macroResetFolder);
    ResetMacros(m, sink);
    EXPECT_EQ(sink.messages(), Names{"Can't find the file."});
    EXPECT_EQ(m.groups.groupCount, 0);
    EXPECT_EQ(m.table.macroCount, 0);
    EXPECT_EQ(m.table.slots[0], MacroRecord{});
    EXPECT_TRUE(fs::is_empty(folder()));
    EXPECT_EQ(m.groups.groupMacroCount[0], 0);
}

}  // namespace
}  // namespace kx700::macro
