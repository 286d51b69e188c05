// Presses on the Advanced and Led pages change the record as the areas say.
#include "ui/page_actions.h"

#include <gtest/gtest.h>

#include "platform/profile.h"
#include "settings/setting_edits.h"
#include "ui_clicks.h"
#include "ui_fixture.h"

namespace kx700 {
namespace {

using testing::ClickArea;
using testing::ClickAt;
using testing::WindowFixture;
using ui::Page;

// A press `offset` pixels from the left edge of a bar, mid-height.
void PressBar(ui::CORV_ZOvizaDlg& w, Page table, int area, int offset) {
    const QRect r = w.areaRect(table, area);
    ClickAt(&w, QPoint(r.x() + offset, r.y() + r.height() / 2));
}

TEST(PageActions, BarsFollowThePressAndTheirEndOfBarRules) {
    struct Row {
        Page page;
        int area;
        int offset;
        std::uint8_t ledMode;
        std::function<std::int64_t(const MouseSettings&)> field;
        std::int64_t expected;
    };
    const auto pointer = [](const MouseSettings& s) { return s.pointerSpeed; };
    const auto wheel = [](const MouseSettings& s) { return s.wheelSpeed; };
    const auto fire = [](const MouseSettings& s) { return s.fireInterval; };
    const auto dpi2 = [](const MouseSettings& s) { return s.dpiStep[2]; };
    const auto bright = [](const MouseSettings& s) { return s.ledBrightness; };
    const auto cycle = [](const MouseSettings& s) { return s.ledCycleTime; };
    // The pointer and wheel bars are 180 wide, fire 180, CPI 288, Led bars 210.
    const std::vector<Row> rows = {
        {Page::Advanced, 1, 0, 0, pointer, 1},    {Page::Advanced, 1, 19, 0, pointer, 2},
        {Page::Advanced, 1, 159, 0, pointer, 9},  {Page::Advanced, 1, 160, 0, pointer, 10},
        {Page::Advanced, 1, 179, 0, pointer, 10}, {Page::Advanced, 18, 100, 0, wheel, 6},
        {Page::Advanced, 18, 162, 0, wheel, 10},  {Page::Advanced, 31, 0, 0, fire, 0},
        {Page::Advanced, 31, 172, 0, fire, 286},  {Page::Advanced, 31, 179, 0, fire, 300},
        {Page::Advanced, 68, 0, 0, dpi2, 0},      {Page::Advanced, 68, 264, 0, dpi2, 11},
        {Page::Advanced, 68, 250, 0, dpi2, 10},   {Page::Advanced, 68, 287, 0, dpi2, 11},
        {Page::Led, 40, 0, 2, bright, 6},         {Page::Led, 40, 209, 2, bright, 0},
        {Page::Led, 40, 100, 8, bright, 3},       {Page::Led, 40, 209, 0, bright, -1},
        {Page::Led, 40, 209, 9, bright, -1},      {Page::Led, 41, 0, 0, cycle, 0},
        {Page::Led, 41, 209, 1, cycle, 5},        {Page::Led, 41, 209, 2, cycle, -1},
        {Page::Led, 41, 209, 9, cycle, -1},
    };
    WindowFixture f;
    ASSERT_TRUE(f.start());
    for (const Row& r : rows) {
        f.window->ChangePage(r.page);
        f.session.settings.ledMode = r.ledMode;
        f.session.settings.ledBrightness = -1;  // -1: the bar did nothing
        f.session.settings.ledCycleTime = 255;
        const MouseSettings before = f.session.settings;
        PressBar(*f.window, r.page, r.area, r.offset);
        const std::int64_t expected = r.expected == -1 ? r.field(before) : r.expected;
        EXPECT_EQ(r.field(f.session.settings), expected)
            << "area " << r.area << " offset " << r.offset << " mode " << int{r.ledMode};
    }
}

TEST(PageActions, EndOfBarOffsetsAreAbsolutePixels) {
    struct Row {
        int area, width, offset, expected;
    };
    // On a 200-pixel speed bar 160-179 compute 9 and store 10 (on a 400-pixel
    // one already 330 does); on a 300-pixel CPI bar 265-274 compute 10 and
    // store 11; a fire value of 298 or more becomes 300 only from offset 173.
    for (const Row& r : {Row{1, 200, 0, 1}, Row{1, 200, 19, 1}, Row{1, 200, 140, 8}, Row{1, 200, 159, 8},
                         Row{1, 200, 160, 10}, Row{1, 200, 179, 10}, Row{1, 200, 199, 10}, Row{18, 400, 330, 10},
                         Row{66, 300, 264, 10}, Row{66, 300, 265, 11}, Row{66, 300, 299, 11}, Row{31, 400, 397, 297},
                         Row{31, 400, 399, 300}, Row{31, 170, 169, 298}}) {
        MouseSettings s;
        ASSERT_TRUE(ui::PressAdvancedArea(s, r.area, AreaRect{10, 0, r.width, 16}, 10 + r.offset));
        const int got = r.area == 1    ? s.pointerSpeed
                        : r.area == 18 ? s.wheelSpeed
                        : r.area == 31 ? s.fireInterval
                                       : s.dpiStep[0];
        EXPECT_EQ(got, r.expected) << "area " << r.area << " width " << r.width << " offset " << r.offset;
    }
}

TEST(PageActions, AdvancedChoicesSelectorsAndMarks) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    f.window->ChangePage(Page::Advanced);
    MouseSettings& s = f.session.settings;
    struct Rate {
        int area;
        int rate, interval, code;
    };
    for (const Rate r : {Rate{34, 0, 8, 7}, Rate{39, 1, 4, 3}, Rate{36, 2, 2, 1}, Rate{41, 3, 1, 0}}) {
        ClickArea(*f.window, Page::Advanced, r.area);
        EXPECT_EQ(s.reportRate, r.rate) << r.area;
        EXPECT_EQ(s.pollIntervalMs, r.interval) << r.area;
        EXPECT_EQ(s.reportIntervalCode, r.code) << r.area;
    }
    s.dpiLevelEnabled = {1, 1, 0, 1};
    s.dpiLevel = 0;
    ClickArea(*f.window, Page::Advanced, 62);  // level 2 is off: nothing
    EXPECT_EQ(s.dpiLevel, 0);
    ClickArea(*f.window, Page::Advanced, 63);
    EXPECT_EQ(s.dpiLevel, 3);
    ClickArea(*f.window, Page::Advanced, 70 + 5);
    ClickArea(*f.window, Page::Advanced, 106 + 11);
    EXPECT_EQ(s.dpiStep[0], 5);
    EXPECT_EQ(s.dpiStep[3], 11);
}

TEST(PageActions, CpiSwitchesKeepOneLevelOnAndMoveTheCurrentOne) {
    struct Row {
        std::array<std::uint8_t, 4> on;
        int current, pressed;
        std::array<std::uint8_t, 4> onAfter;
        int currentAfter;
    };
    for (const Row& r : {
             Row{{1, 1, 1, 1}, 1, 1, {1, 0, 1, 1}, 2},  // current moves to the next
             Row{{1, 1, 0, 0}, 1, 1, {1, 0, 0, 0}, 0},  // 3 is followed by 0
             Row{{0, 0, 0, 1}, 3, 3, {0, 0, 0, 1}, 3},  // the only level stays on
             Row{{1, 1, 0, 0}, 0, 1, {1, 0, 0, 0}, 0},  // not current: always off
             Row{{1, 0, 0, 0}, 0, 2, {1, 0, 1, 0}, 0},  // off goes on
         }) {
        MouseSettings s;
        s.dpiLevelEnabled = r.on;
        s.dpiLevel = r.current;
        SwitchCpiLevel(s, r.pressed);
        EXPECT_EQ(s.dpiLevelEnabled, r.onAfter) << r.pressed;
        EXPECT_EQ(s.dpiLevel, r.currentAfter) << r.pressed;
    }
}

TEST(PageActions, LedSwitchesDirectionsAndReactions) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    f.window->ChangePage(Page::Led);
    MouseSettings& s = f.session.settings;
    s.cycleColourEnable = {0, 0, 1, 0};
    ClickArea(*f.window, Page::Led, 9);  // the only colour on stays on
    EXPECT_EQ(s.cycleColourEnable, (std::array<std::int32_t, 4>{0, 0, 1, 0}));
    ClickArea(*f.window, Page::Led, 7);
    ClickArea(*f.window, Page::Led, 9);
    EXPECT_EQ(s.cycleColourEnable, (std::array<std::int32_t, 4>{1, 0, 0, 0}));

    s.userColourEnable = 0;
    s.ledSymmetry = 1;
    ClickArea(*f.window, Page::Led, 14);
    ClickArea(*f.window, Page::Led, 45);
    EXPECT_EQ(s.userColourEnable, 1);
    EXPECT_EQ(s.ledSymmetry, 0);

    s.ledMode = 1;
    ClickArea(*f.window, Page::Led, 49);
    EXPECT_EQ(s.ledDirection, 2);
    ClickArea(*f.window, Page::Led, 50);  // direction 3 belongs to mode 3
    EXPECT_EQ(s.ledDirection, 2);
    s.ledMode = 3;
    ClickArea(*f.window, Page::Led, 50);
    EXPECT_EQ(s.ledDirection, 3);
    ClickArea(*f.window, Page::Led, 47);
    EXPECT_EQ(s.ledDirection, 0);

    f.session.currentProfile = 2;
    s.reactEnable = {};
    for (int area = 51; area <= 56; ++area) ClickArea(*f.window, Page::Led, area);
    ClickArea(*f.window, Page::Led, 57);
    EXPECT_EQ(s.reactEnable[2], (std::array<std::int32_t, kMemorySlots>{1, 1, 1, 1, 1, 1, 0, 1, 0}));
    ClickArea(*f.window, Page::Led, 58);  // the top button's second area: the same flag
    EXPECT_EQ(s.reactEnable[2][7], 0);
    EXPECT_EQ(s.reactEnable[0], (std::array<std::int32_t, kMemorySlots>{}));
}

TEST(PageActions, ReleasesOfTheHeaderAndLinks) {
    WindowFixture f;
    // The site and the first social page are set; the second is not a web
    // address, so it stays unset.
    testing::WriteBytes(
        f.dir / "links.ini",
        "[Links]\nSite=https://site.test/\nSocial1=http://social.test/a?b=c\nSocial2=file:///etc/passwd\n");
    ASSERT_TRUE(f.start());
    const std::vector<QString>& opened = f.openedAddresses;
    const std::string before = testing::ReadBytes(f.config());
    for (const auto& [area, profile] : std::vector<std::pair<int, int>>{{12, 2}, {13, 3}, {11, 0}}) {
        ClickArea(*f.window, Page::Main, area);
        EXPECT_EQ(f.session.currentProfile, profile);
    }
    EXPECT_EQ(testing::ReadBytes(f.config()), before) << "choosing a profile writes nothing";
    for (int area : {19, 29, 30}) ClickArea(*f.window, Page::Main, area);
    EXPECT_EQ(opened, (std::vector<QString>{"https://site.test/", "http://social.test/a?b=c"}));

    // Without links.ini nothing is set: every link is drawn unavailable
    // (greyed) and opens nothing.
    WindowFixture bare;
    ASSERT_TRUE(bare.start());
    const QImage some = f.window->renderFrame(), none = bare.window->renderFrame();
    const QPoint site = f.window->areaRect(Page::Main, 19).center(),
                 social2 = f.window->areaRect(Page::Main, 30).center();
    EXPECT_NE(none.pixel(site), some.pixel(site));
    EXPECT_EQ(none.pixel(social2), some.pixel(social2));
    for (int area : {19, 29, 30}) ClickArea(*bare.window, Page::Main, area);
    EXPECT_TRUE(bare.openedAddresses.empty());
}

TEST(PageActions, APressOnATabOnlySwitchesThePage) {
    // A skin whose pages have areas right under the tabs that open them: the
    // first CPI level's switch under the Performance tab, "New group" under
    // the Macros tab, the Led page's first web link under the Lighting tab.
    WindowFixture f;
    const std::filesystem::path en = f.dir / "skins" / "INI_EN";
    auto under = [&](const char* file, const char* area, const char* style, int tab) {
        const std::string rect = std::to_string(250 + 122 * (tab - 6)) + ",18,118,40";
        ASSERT_TRUE(profile::WriteString(en / file, "BUTTONPOS", area, std::string(style) + "," + rect + ",,").ok());
    };
    under("skin_advance_en.ini", "47", "toggle", 7);
    under("skin_mac_en.ini", "2", "button", 8);
    under("skin_color_en.ini", "78", "link", 9);
    ASSERT_TRUE(f.start());
    ASSERT_EQ(f.window->areaRect(Page::Advanced, 47), f.window->areaRect(Page::Main, 7));
    const MouseSettings settings = f.session.settings;
    const int groups = f.session.macros.groups.groupCount;

    for (int tab : {7, 8, 9, 6}) {
        SCOPED_TRACE(tab);
        ClickArea(*f.window, Page::Main, tab);
        EXPECT_EQ(f.window->currentPage(), static_cast<Page>(tab - 6));
        EXPECT_EQ(f.session.settings, settings) << "no CPI level switched";
        EXPECT_EQ(f.session.macros.groups.groupCount, groups) << "no group made";
        EXPECT_TRUE(f.openedAddresses.empty()) << "no web page opened";
    }
    EXPECT_TRUE(f.messages.messages().empty());
}

}  // namespace
}  // namespace kx700
