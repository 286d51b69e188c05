// Skin layout entries and the tables the layout files fill.
#include "skin/layout.h"

#include <gtest/gtest.h>

#include "../support/temp_dir.h"

namespace kx700 {
namespace {

using testing::TempDir;
using testing::WriteBytes;

struct SplitCase {
    const char* value;
    AreaRect area;
    const char* name;
    const char* label;
    bool tooMany;
};

TEST(SkinEntry, SplitsLikeTheLayoutFilesSpellIt) {
    const SplitCase cases[] = {
        {"A,1,2,3,4,Label,", {1, 2, 3, 4}, "A", "Label", false},
        {"A,1,2,3,4,Label", {1, 2, 3, 4}, "A", "", false},
        {"A,1,2,3,4", {1, 2, 3, 0}, "A", "", false},
        {"Left button", {0, 0, 0, 0}, "Left button", "", false},
        {"Left button,x", {0, 0, 0, 0}, "Left button", "", false},
        {"A, 12px,px,3,4,L,", {12, 0, 3, 4}, "A", "L", false},
        {"A,1,2,3,4,L,M,N,", {1, 2, 3, 4}, "A", "L", true},
        {"", {0, 0, 0, 0}, "", "", false},
        {",,,,,,", {0, 0, 0, 0}, "", "", false},
        {"B,-5,+7,99999999999,x9,中文,", {-5, 7, 2147483647, 0}, "B", "中文", false},
    };
    for (const SplitCase& c : cases) {
        bool tooMany = false;
        const SkinEntry e = SplitSkinEntry(c.value, &tooMany);
        EXPECT_EQ(e.area(), c.area) << c.value;
        EXPECT_EQ(e.name(), c.name) << c.value;
        EXPECT_EQ(e.label(), c.label) << c.value;
        EXPECT_EQ(tooMany, c.tooMany) << c.value;
    }
    EXPECT_EQ(SplitSkinEntry("A,1,2,3,4,L,M,N,").fields[6], "M,N,");
}

TEST(SkinFiles, TablesControlsAndMessages) {
    TempDir dir;
    const SkinFiles files = SkinFilesFor(dir.path(), true);
    EXPECT_EQ(files.main, dir / "INI_EN" / "skin_main_en.ini");
    EXPECT_EQ(SkinFilesFor(dir.path(), false).warning, dir / "INI_CN" / "LBWarning.ini");
    WriteBytes(files.main,
               "[BUTTONPOS]\r\n3=apply,800,552,136,36,Apply,\r\n30=link,1,2,3,4,Videos,extra,more,\r\n"
               "[FUN_STRING]\r\n1=Left click,,,,,,\r\n47=Last\r\n"
               "[EDIT]\r\n0=E,100,50,80,20,,\r\n");
    WriteBytes(files.macro, "[MACRODISPLAY]\r\n2=L,10,20,30,40,,\r\n[EDIT]\r\n2=E,1,1,5,5,,\r\n");
    RecordingMessageSink messages;
    SkinReadState state;
    SkinTables t;
    LoadMainSkin(t, files, messages, state);
    EXPECT_EQ(t.mainAreas[3], (AreaRect{800, 552, 136, 36}));
    EXPECT_EQ(t.mainLabels[3], "Apply");
    EXPECT_EQ(t.mainLabels[30], "Videos");
    EXPECT_EQ(t.mainAreas[4], AreaRect{});
    EXPECT_EQ(t.functionNames[0], "");
    EXPECT_EQ(t.functionNames[1], "Left click");
    EXPECT_EQ(t.functionNames[47], "Last");
    EXPECT_EQ(t.profileNameEdits[0], (ControlRect{100, 50, 180, 70}));
    EXPECT_EQ(messages.messages(), std::vector<std::string>{"加载ini错误！"});
    EXPECT_FALSE(state.endProgram);

    messages.clear();
    LoadMacroSkin(t, files, messages, state);
    EXPECT_EQ(t.eventList, (ControlRect{10, 20, 40, 60}));
    EXPECT_EQ(t.repeatCountEdit, (ControlRect{1, 1, 6, 6}));

    // Missing files: said once each, and the program is asked to end.
    LoadColourSkin(t, files, messages, state);
    LoadAdvancedSkin(t, files, messages, state);
    LoadColourSkin(t, files, messages, state);
    EXPECT_TRUE(state.endProgram);
    EXPECT_EQ(messages.messages(), (std::vector<std::string>{"找不到配置文件", "找不到配置文件"}));
    EXPECT_EQ(t.ledAreas[0], AreaRect{});
}

TEST(AreaRect, RightAndBottomEdgesAreOutside) {
    const AreaRect a{10, 20, 5, 4};
    EXPECT_TRUE(a.contains(10, 20));
    EXPECT_TRUE(a.contains(14, 23));
    EXPECT_FALSE(a.contains(15, 20));
    EXPECT_FALSE(a.contains(10, 24));
    EXPECT_FALSE(AreaRect{}.contains(0, 0));
    EXPECT_FALSE((AreaRect{2147483640, 0, 100, 10}.contains(-2147483647, 5)));
}

}  // namespace
}  // namespace kx700
