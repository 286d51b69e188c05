// Macro files: the value format, loading and saving groups, the constant
// macros, the group-list lookups and the folder utilities.
#include "macro/files.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "../support/temp_dir.h"
#include "macro/folder_ops.h"
#include "macro/key_codes.h"
#include "macro/value_format.h"

namespace kx700::macro {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

std::size_t U(int i) { return static_cast<std::size_t>(i); }

MacroRecord KeyMacro(std::string_view name, int events) {
    MacroRecord r;
    SetMacroName(r, name);
    r.repeatCount = 1;
    r.eventCount = static_cast<std::uint16_t>(events);
    for (int i = 0; i < events; ++i) {
        r.eventType[U(i)] = i % 2 == 0 ? TY_DOWN : TY_UP;
        r.eventCode[U(i)] = static_cast<std::uint8_t>(0x04 + i % 26);
        r.eventDelay[U(i)] = static_cast<std::uint16_t>(10 + i);
    }
    return r;
}

std::string MacroFile(const std::vector<MacroRecord>& records, std::string_view count = "") {
    std::string text =
        "[Macros]\r\nmacroNum=" + (count.empty() ? std::to_string(records.size()) : std::string(count)) + "\r\n";
    for (std::size_t i = 0; i < records.size(); ++i)
        text += std::to_string(i) + "=" + FormatMacroValue(records[i]) + "\r\n";
    return text;
}

TEST(MacroValue, LayoutOfTheHeaderAndTheKeyCodes) {
    MacroRecord r;
    SetMacroName(r, "A");
    r.repeatCount = 0x0102;
    r.eventCount = 2;
    r.eventType = {TY_DOWN, TY_DOWN};
    r.eventCode[0] = 0x32;  // grave accent
    r.eventCode[1] = EV_MOUSE_RIGHT;
    r.ledTable[4].steps[15].interval = 9;
    const std::string v = FormatMacroValue(r);
    ASSERT_EQ(v.size(), 5445u);
    EXPECT_EQ(v.substr(0, 12), "065000000000");
    EXPECT_EQ(v.substr(3 * 21, 6), "002001");
    EXPECT_EQ(v.substr(3 * 36, 3), "192");
    EXPECT_EQ(v.substr(3 * 44, 3), "241");
    EXPECT_EQ(v.substr(v.size() - 3), "009");

    const MacroRecord back = ParseMacroValue(v);
    EXPECT_EQ(back.eventCode[0], 0x32);
    EXPECT_EQ(back.eventCode[1], EV_MOUSE_RIGHT);
    EXPECT_EQ(back, r);
}

TEST(MacroValue, RandomRecordsRoundTrip) {
    std::mt19937 rng(4711);
    auto byte = [&] { return static_cast<std::uint8_t>(rng() & 0xFF); };
    auto word = [&] { return static_cast<std::uint16_t>(rng() & 0xFFFF); };
    for (int n = 0; n < 50; ++n) {
        MacroRecord r;
        for (auto& b : r.name) b = byte();
        r.runMode = byte();
        r.repeatCount = word();
        r.eventCount = word();
        r.moveCount = word();
        r.countF7 = word();
        r.cpiCount = word();
        r.countFA = word();
        r.ledCount = byte();
        r.countFB = byte();
        for (int i = 0; i < kMaxEvents; ++i) {
            r.eventType[U(i)] = byte();
            r.eventCode[U(i)] = VkToUsage(byte());  // codes as recording and the editor make them
            r.eventParam[U(i)] = {word(), word()};
            r.eventDelay[U(i)] = word();
        }
        for (auto& s : r.ledTable)
            for (int b = 0; b < kLedSequenceBytes; ++b) s.setByteAt(b, byte());
        const std::string v = FormatMacroValue(r);
        ASSERT_EQ(ParseMacroValue(v), r) << n;
        ASSERT_EQ(FormatMacroValue(ParseMacroValue(v)), v) << n;
    }
}

// The writer leaves every event and light sequence a macro does not use at
// zero. However a reading treats those runs, it must read what the general
// reading (the one damaged values take) reads.
TEST(MacroValue, SparseValuesReadAsTheGeneralReadingDoes) {
    std::mt19937 rng(815);
    auto byte = [&] { return static_cast<std::uint8_t>(rng() & 0xFF); };
    auto word = [&] { return static_cast<std::uint16_t>(rng() & 0xFFFF); };
    struct Row {
        std::vector<int> events, ledSlots;
        bool delayOnly = false;  // an event whose first fields are all zero
    };
    const std::vector<Row> rows = {{{}, {}},
                                   {{0}, {}},
                                   {{kMaxEvents - 1}, {}},
                                   {{3, 90, 91}, {0}},
                                   {{}, {kLedSlots - 1}},
                                   {{0, 57, kMaxEvents - 1}, {1, 3}, true}};
    for (std::size_t n = 0; n < rows.size(); ++n) {
        MacroRecord r;
        for (auto& b : r.name) b = byte();
        r.runMode = static_cast<std::uint8_t>(byte() % 100);  // its field starts with a zero digit
        r.eventCount = static_cast<std::uint16_t>(rows[n].events.size());
        for (int i : rows[n].events) {
            r.eventDelay[U(i)] = static_cast<std::uint16_t>(word() | 1);
            if (rows[n].delayOnly) continue;
            r.eventType[U(i)] = byte();
            r.eventCode[U(i)] = VkToUsage(byte());
            r.eventParam[U(i)] = {word(), word()};
        }
        for (int slot : rows[n].ledSlots)
            for (int b = 0; b < kLedSequenceBytes; ++b) r.ledTable[U(slot)].setByteAt(b, byte());
        const std::string v = FormatMacroValue(r);
        EXPECT_EQ(ParseMacroValue(v), r) << n;
        std::string general = v;
        general[3 * 20] = ' ';  // " 0x" reads as "00x", but a blank is not a digit
        EXPECT_EQ(ParseMacroValue(general), r) << n;
    }
}

// A value that stops early reads as if the missing fields were there and
// blank, wherever it stops (the reader only looks at the fields it has).
TEST(MacroValue, AShortValueReadsAsItsMissingFieldsBlank) {
    std::mt19937 rng(99);
    MacroRecord r;
    for (auto& b : r.name) b = static_cast<std::uint8_t>(rng());
    r.eventCount = 180;
    for (int i = 0; i < kMaxEvents; ++i) {
        r.eventType[U(i)] = static_cast<std::uint8_t>(rng());
        r.eventCode[U(i)] = VkToUsage(static_cast<std::uint8_t>(rng()));
        r.eventParam[U(i)] = {static_cast<std::uint16_t>(rng()), static_cast<std::uint16_t>(rng())};
        r.eventDelay[U(i)] = static_cast<std::uint16_t>(rng());
    }
    for (auto& seq : r.ledTable)
        for (int b = 0; b < kLedSequenceBytes; ++b) seq.setByteAt(b, static_cast<std::uint8_t>(rng()));
    const std::string full = FormatMacroValue(r);
    const std::size_t events = 3 * kEventFieldsStart, leds = 3 * kLedFieldsStart;
    for (std::size_t cut :
         {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{59}, events - 1, events, events + 1,
          events + 3 * 8 - 1, events + 3 * 8 + 4, leds - 1, leds, leds + 2, leds + 3 * 68 + 1, full.size() - 1}) {
        SCOPED_TRACE(cut);
        const std::string shortValue = full.substr(0, cut);
        const std::string blanks = shortValue + std::string(full.size() - cut, ' ');
        EXPECT_EQ(ParseMacroValue(shortValue), ParseMacroValue(blanks));
        // The same through the UTF-16 reading that non-ASCII text takes.
        EXPECT_EQ(ParseMacroValue(shortValue + "\xC3\xA9"), ParseMacroValue(blanks + "\xC3\xA9"));
    }
    EXPECT_EQ(ParseMacroValue(full), r);
}

TEST(MacroValue, DamagedValuesReadWithoutLeavingTheRecord) {
    const std::string good = FormatMacroValue(KeyMacro("Copy", 3));
    struct Row {
        const char* what;
        std::string value;
        std::function<void(const MacroRecord&)> check;
    };
    const std::vector<Row> rows = {
        {"short value reads zeros", good.substr(0, 3 * 23 + 2),
         [](const MacroRecord& r) {
             EXPECT_EQ(MacroName(r), "Copy");
             EXPECT_EQ(r.repeatCount, 1);
             EXPECT_EQ(r.eventCount, 0);
         }},
        {"partial field reads its digits", good.substr(0, 3 * 21 + 2) /* "00" of 001 */,
         [](const MacroRecord& r) { EXPECT_EQ(r.repeatCount, 0); }},
        {"fields past 1814 ignored", good + "255255255" + std::string(20000, '9'),
         [&](const MacroRecord& r) { EXPECT_EQ(r, ParseMacroValue(good)); }},
        {"non-digits read zero", "abc-12 7 99x",
         [](const MacroRecord& r) {
             EXPECT_EQ(r.name[0], 0);
             EXPECT_EQ(r.name[1], 0);
             EXPECT_EQ(r.name[2], 7);
             EXPECT_EQ(r.name[3], 99);
         }},
        {"byte fields keep the low 8 bits", "999" + std::string(3 * 20, '0') + "999999",
         [](const MacroRecord& r) {
             EXPECT_EQ(r.name[0], 999 & 0xFF);
             EXPECT_EQ(r.repeatCount, (999 + 256 * 999) & 0xFFFF);
         }},
        {"non-ASCII counts UTF-16 units", "ä01002003",
         [](const MacroRecord& r) {
             EXPECT_EQ(r.name[0], 0);
             EXPECT_EQ(r.name[1], 2);
             EXPECT_EQ(r.name[2], 3);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.check(ParseMacroValue(row.value));
    }
}

class MacroFiles : public ::testing::Test {
protected:
    TempDir dir;
    RecordingMessageSink sink;
    fs::path macroFolder() const { return dir / "macro"; }
    void WriteGroups(std::vector<std::string> names, std::string count = "") {
        std::string text = "[MACRO_GROUP_NUM]\r\nmacGrpNum=" + (count.empty() ? std::to_string(names.size()) : count) +
                           "\r\n[MACRO_GROUP_NAME]\r\n";
        for (std::size_t k = 0; k < names.size(); ++k) text += std::to_string(k) + "=" + names[k] + "\r\n";
        WriteBytes(macroFolder() / "macroGrp.ini", text);
    }
};

TEST_F(MacroFiles, LoadGroupFileCounts) {
    struct Row {
        const char* what;
        std::string content;
        int count;
        bool missingMessage;
    };
    const std::vector<MacroRecord> two = {KeyMacro("One", 2), KeyMacro("Two", 4)};
    std::vector<MacroRecord> many;
    for (int i = 0; i < 22; ++i) many.push_back(KeyMacro("M" + std::to_string(i), 1));
    const std::vector<Row> rows = {
        {"two macros", MacroFile(two), 2, false},
        {"count 0", MacroFile({}, "0"), 0, false},
        {"empty file", "", 0, false},
        {"missing file", "<missing>", 0, true},
        {"count 99 is held to the table", MacroFile(many, "99"), 20, false},
        {"negative count", MacroFile(two, "-1"), 0, false},
        {"junk count", MacroFile(two, "x2"), 0, false},
        {"count read with room for two digits", MacroFile(two, "2000"), 20, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const fs::path file = dir / "g.dat";
        fs::remove(file);
        if (row.content != "<missing>") WriteBytes(file, row.content);
        MacroTable table;
        table.slots[20] = KeyMacro("keep", 1);
        sink.clear();
        LoadGroupFile(file, table, sink);
        EXPECT_EQ(table.macroCount, row.count);
        EXPECT_EQ(sink.messages().size(), row.missingMessage ? 1u : 0u);
        if (row.missingMessage) {
            EXPECT_EQ(sink.messages()[0], "找不到配置文件");
        }
        EXPECT_EQ(MacroName(table.slots[20]), "keep");
    }
}

TEST_F(MacroFiles, ConstantMacrosKeepOnlyTheirFirst56EventsWhole) {
    MacroRecord r = KeyMacro("Long", 60);
    r.ledCount = 1;
    r.ledTable[0].stepCount = 2;
    WriteBytes(dir / "constMacro.dat", MacroFile({r, KeyMacro("Short", 2)}));
    ConstantMacroTable table;
    LoadConstantMacros(dir / "constMacro.dat", table, sink);
    ASSERT_EQ(table.count, 2);
    const MacroRecord& got = table.records[0];
    EXPECT_EQ(got.eventCount, 60);
    for (int i = 0; i < 56; ++i) {
        EXPECT_EQ(got.eventCode[U(i)], r.eventCode[U(i)]) << i;
        EXPECT_EQ(got.eventDelay[U(i)], r.eventDelay[U(i)]) << i;
    }
    for (int i = 57; i < 60; ++i) EXPECT_EQ(got.eventCode[U(i)], 0) << i;
    EXPECT_EQ(got.ledTable[0], LedSequence{});
    EXPECT_EQ(table.records[1], KeyMacro("Short", 2));

    LoadConstantMacros(dir / "absent.dat", table, sink);
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"找不到配置文件"});
}

TEST_F(MacroFiles, ReadMacroFindsOnlyWhatExists) {
    const std::string longName = "Nineteen_characters";  // 19
    WriteGroups({"Fire", longName, "../outside"});
    WriteBytes(macroFolder() / "Fire.dat", MacroFile({KeyMacro("F0", 2), KeyMacro("F1", 3)}));
    WriteBytes(macroFolder() / (longName + ".dat"), MacroFile({KeyMacro("L0", 1)}));
    WriteBytes(dir / "outside.dat", MacroFile({KeyMacro("Escaped", 1)}));

    EXPECT_EQ(ReadMacro(macroFolder(), 0, 1), KeyMacro("F1", 3));
    EXPECT_EQ(ReadMacro(macroFolder(), 1, 0), KeyMacro("L0", 1));
    EXPECT_EQ(ReadMacro(macroFolder(), 0, 2), MacroRecord{});  // index equal to the count
    EXPECT_EQ(ReadMacro(macroFolder(), 2, 0), MacroRecord{});  // name leaving the folder
    EXPECT_EQ(ReadMacro(macroFolder(), 3, 0), MacroRecord{});
    EXPECT_EQ(ReadMacro(macroFolder(), -1, 0), MacroRecord{});
    WriteGroups({"Fire"}, "99");
    EXPECT_EQ(ReadMacro(macroFolder(), 11, 0), MacroRecord{});
}

TEST_F(MacroFiles, ReadAllMacroNamesFillsTheDirectory) {
    std::vector<MacroRecord> many;
    for (int i = 0; i < 25; ++i) many.push_back(KeyMacro("N" + std::to_string(i), 1));
    WriteBytes(macroFolder() / "A.dat", MacroFile({KeyMacro("Copy", 1), KeyMacro("复制", 1)}));
    WriteBytes(macroFolder() / "Big.dat", MacroFile(many, "99"));
    WriteBytes(macroFolder() / "Empty.dat", "");

    GroupDirectory groups;
    groups.groupCount = 4;
    groups.groupNames = {"A", "Big", "Empty", "../A"};
    groups.macroNames[2][0] = "stale";
    ReadAllMacroNames(macroFolder(), groups);
    EXPECT_EQ(groups.groupMacroCount[0], 2);
    EXPECT_EQ(groups.macroNames[0][0], "Copy");
    EXPECT_EQ(groups.macroNames[0][1], "复制");
    EXPECT_EQ(groups.groupMacroCount[1], 20);
    EXPECT_EQ(groups.macroNames[1][19], "N19");
    EXPECT_EQ(groups.groupMacroCount[2], 0);
    EXPECT_EQ(groups.macroNames[2][0], "stale");
    EXPECT_EQ(groups.groupMacroCount[3], 0);
}

TEST_F(MacroFiles, SaveMacroWritesTheCountAndOneKeyOnly) {
    const fs::path file = dir / "g.dat";
    const std::string before =
        "; factory\r\n[Macros]\r\nmacroNum=5\r\n0=a\r\n1=b\r\n2=c\r\n3=d\r\n4=e\r\n[MacrosSet]\r\n0=1\r\n";
    WriteBytes(file, before);
    MacroTable table;
    table.macroCount = 5;
    table.slots[3] = KeyMacro("Three", 2);
    ASSERT_TRUE(SaveMacro(file, table, 3).ok());
    std::string expected = before;
    expected.replace(expected.find("3=d"), 3, "3=" + FormatMacroValue(table.slots[3]));
    EXPECT_EQ(ReadBytes(file), expected);
    EXPECT_FALSE(SaveMacro(file, table, 21).ok());

    table.macroCount = 6;
    ASSERT_TRUE(WriteMacroValue(file, 0, KeyMacro("Zero", 1)).ok());
    EXPECT_EQ(ReadMacroCount(file), 5);  // the correction leaves the count alone
}

TEST_F(MacroFiles, SaveAllMacrosThenLoadGivesTheSameTable) {
    MacroTable table;
    table.macroCount = 3;
    for (int i = 0; i < 3; ++i) table.slots[U(i)] = KeyMacro("M" + std::to_string(i), 2 + i);
    table.slots[3] = KeyMacro("not saved", 1);
    const fs::path file = dir / "all.dat";
    ASSERT_TRUE(SaveAllMacros(file, table).ok());
    MacroTable back;
    LoadGroupFile(file, back, sink);
    EXPECT_EQ(back.macroCount, 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(back.slots[U(i)], table.slots[U(i)]);
    EXPECT_EQ(back.slots[3], MacroRecord{});
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(MacroFiles, EmptyGroupFileAndExport) {
    fs::create_directories(macroFolder());
    WriteBytes(macroFolder() / "New.dat", "[Macros]\r\nmacroNum=1\r\n");
    EXPECT_TRUE(CreateEmptyGroupFile(macroFolder(), sink));
    EXPECT_EQ(ReadBytes(macroFolder() / "New.dat"), "");
    EXPECT_EQ(ReadMacroCount(macroFolder() / "New.dat"), 0);
    EXPECT_FALSE(CreateEmptyGroupFile(dir / "no" / "folder", sink));
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"Create new mac_file Fail!"});

    sink.clear();
    MacroState none;
    none.folders.macroFolder = macroFolder();
    none.table.macroCount = 1;
    none.table.slots[0] = KeyMacro("Out", 1);
    EXPECT_FALSE(ExportGroup(none, dir / "export.dat", sink).ok());
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"Error!"});
    EXPECT_FALSE(fs::exists(dir / "export.dat"));
    MacroState one = none;
    one.groups.groupCount = 1;
    ASSERT_TRUE(ExportGroup(one, dir / "export.dat", sink).ok());
    EXPECT_EQ(ReadBytes(dir / "export.dat"), MacroFile({KeyMacro("Out", 1)}));
}

TEST_F(MacroFiles, SavingAMacroTheFileAlreadyHoldsWritesNothing) {
    // Spelled by hand: blanks in a field and a key code the table does not
    // know; both read back as the record that was loaded.
    std::string value = FormatMacroValue(KeyMacro("Hand", 2));
    value.replace(3 * (kEventFieldsStart + 1), 3, "007");
    value.replace(3 * 21, 3, "  1");
    const std::string text = "; by hand\r\n[Macros]\r\nmacroNum=1\r\n0=" + value + "\r\n";
    const fs::path file = dir / "Hand.dat";
    WriteBytes(file, text);
    MacroTable table;
    LoadGroupFile(file, table, sink);
    ASSERT_EQ(table.macroCount, 1);
    ASSERT_TRUE(SaveMacro(file, table, 0).ok());
    EXPECT_EQ(ReadBytes(file), text);

    table.macroCount = 2;  // a new macro: the count differs
    table.slots[1] = KeyMacro("New", 0);
    ASSERT_TRUE(SaveMacro(file, table, 0).ok());
    EXPECT_EQ(ReadMacroCount(file), 2);
    table.slots[0].repeatCount = 7;  // an edit
    ASSERT_TRUE(SaveMacro(file, table, 0).ok());
    MacroTable back;
    LoadGroupFile(file, back, sink);
    EXPECT_EQ(back.slots[0], table.slots[0]);
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(MacroFiles, ExportNeverWritesOntoAGroupsFile) {
    MacroState m;
    m.folders.macroFolder = macroFolder();
    m.groups.groupCount = 2;
    m.groups.groupNames[0] = "Office";
    m.groups.groupNames[1] = "Game";
    m.groups.currentGroup = 1;
    m.table.macroCount = 1;
    m.table.slots[0] = KeyMacro("Out", 1);
    WriteBytes(macroFolder() / "Office.dat", MacroFile({KeyMacro("Copy", 2)}));
    WriteBytes(macroFolder() / "Game.dat", MacroFile({KeyMacro("Jump", 1), KeyMacro("Duck", 1)}));
    fs::create_directories(dir / "elsewhere");
    fs::create_symlink(macroFolder() / "Game.dat", dir / "elsewhere" / "link.dat");
    const std::string office = ReadBytes(macroFolder() / "Office.dat"), game = ReadBytes(macroFolder() / "Game.dat");
    for (const fs::path& target : {macroFolder() / "Game.dat", macroFolder() / "." / "Game.dat",
                                   dir / "elsewhere" / "link.dat", macroFolder() / "Office.dat"}) {
        SCOPED_TRACE(target.string());
        sink.clear();
        EXPECT_FALSE(ExportGroup(m, target, sink).ok());
        EXPECT_EQ(sink.messages(), std::vector<std::string>{"Error!"});
        EXPECT_EQ(ReadBytes(macroFolder() / "Office.dat"), office);
        EXPECT_EQ(ReadBytes(macroFolder() / "Game.dat"), game);
    }
    sink.clear();
    ASSERT_TRUE(ExportGroup(m, macroFolder() / "Spare.dat", sink).ok()) << "a file of no group is fine";
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(ReadBytes(macroFolder() / "Spare.dat"), MacroFile({KeyMacro("Out", 1)}));
}

TEST(GroupNames, NamesThatCouldLeaveTheFolderAreRefused) {
    for (const char* good : {"New", "Fire", "连发", "a..b", "Nineteen_characters"})
        EXPECT_TRUE(IsSafeGroupName(good)) << good;
    for (const char* bad : {"", ".", "..", "../x", "a/b", "a\\b", "C:x", "a*", "a?", "a|b", "a\tb", "\"q\"", "<x>"})
        EXPECT_FALSE(IsSafeGroupName(bad)) << bad;
}

TEST(GroupNames, AGroupsFileIsItsNameInTheFolderOrNothing) {
    const fs::path folder = fs::path("macro");
    EXPECT_EQ(GroupFile(folder, "Fire"), folder / "Fire.dat");
    EXPECT_EQ(GroupFile(folder, "连发"), folder / fs::path(u8"连发.dat"));
    for (const char* bad : {"", "..", "../x", "a/b"}) EXPECT_TRUE(GroupFile(folder, bad).empty()) << bad;
}

TEST(FolderUtilities, DeleteContentsThenCopyTheFactoryFolder) {
    TempDir dir;
    const fs::path work = dir / "macro", factory = dir / "macroReset", keep = dir / "keep";
    WriteBytes(work / "Old.dat", "old");
    WriteBytes(work / "sub" / "deep" / "x.dat", "x");
    WriteBytes(keep / "precious.dat", "p");
    fs::create_directory_symlink(keep, work / "link");
    WriteBytes(factory / "macroGrp.ini", "grp");
    WriteBytes(factory / "Fire.dat", "fire");
    WriteBytes(factory / "nested" / "n.dat", "n");

    DeleteFolderContents(work);
    EXPECT_TRUE(fs::exists(work));
    EXPECT_TRUE(fs::is_empty(work));
    EXPECT_EQ(ReadBytes(keep / "precious.dat"), "p");  // a link is removed, not followed

    WriteBytes(work / "Fire.dat", "user's");
    CopyFolder(factory, work);
    EXPECT_EQ(ReadBytes(work / "Fire.dat"), "fire");
    EXPECT_EQ(ReadBytes(work / "macroGrp.ini"), "grp");
    EXPECT_EQ(ReadBytes(work / "nested" / "n.dat"), "n");
    CopyFolder(dir / "absent", dir / "made");
    EXPECT_TRUE(fs::is_directory(dir / "made"));
}

}  // namespace
}  // namespace kx700::macro
