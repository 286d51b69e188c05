// The default skin as built: complete, consistent with its pictures, readable.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <deque>
#include <set>

#include "platform/profile.h"
#include "qt_env.h"
#include "skin/images.h"
#include "skin/layout.h"

namespace kx700 {
namespace {

namespace fs = std::filesystem;

const auto* const kQt = ::testing::AddGlobalTestEnvironment(new testing::QtGuiEnvironment);

fs::path Skins() {
    const char* stage = std::getenv("KX700_TEST_STAGE");
    return fs::path(stage ? stage : ".") / "skins";
}

struct Loaded {
    SkinTables tables;
    std::vector<std::string> messages;
};

Loaded Load(bool english) {
    RecordingMessageSink sink;
    SkinReadState state;
    Loaded l;
    LoadAllSkins(l.tables, SkinFilesFor(Skins(), english), sink, state);
    l.messages = sink.messages();
    EXPECT_FALSE(state.endProgram);
    return l;
}

// The areas each page acts on (press or release), header included.
const std::set<int> kActionMain = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  11, 12, 13,
                                   14, 15, 16, 19, 20, 21, 22, 23, 24, 25, 26, 29, 30};
std::set<int> Range(int a, int b) {
    std::set<int> s;
    for (int i = a; i <= b; ++i) s.insert(i);
    return s;
}

template <std::size_t N>
std::vector<std::pair<int, AreaRect>> Actionable(const std::array<AreaRect, N>& areas, const std::set<int>& numbers) {
    std::vector<std::pair<int, AreaRect>> out;
    for (int n : numbers) {
        if (static_cast<std::size_t>(n) < N && areas[static_cast<std::size_t>(n)].width > 0)
            out.emplace_back(n, areas[static_cast<std::size_t>(n)]);
    }
    return out;
}

bool Overlap(const AreaRect& a, const AreaRect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

AreaRect FromControl(const ControlRect& c) { return AreaRect{c.left, c.top, c.right - c.left, c.bottom - c.top}; }

void ExpectNoOverlap(const std::string& page, const std::vector<std::pair<int, AreaRect>>& areas) {
    for (std::size_t i = 0; i < areas.size(); ++i) {
        for (std::size_t j = i + 1; j < areas.size(); ++j) {
            EXPECT_FALSE(Overlap(areas[i].second, areas[j].second))
                << page << ": areas " << areas[i].first << " and " << areas[j].first << " overlap";
        }
    }
}

TEST(ShippedSkin, EveryEntryParsesWithSixCommas) {
    for (bool english : {true, false}) {
        const SkinFiles f = SkinFilesFor(Skins(), english);
        for (const fs::path& file : {f.main, f.colour, f.advanced, f.macro, f.warning}) {
            ASSERT_TRUE(fs::exists(file)) << file;
            for (const char* section : {"BUTTONPOS", "FUN_STRING", "EDIT", "MACRODISPLAY"}) {
                for (int k = 0; k < 160; ++k) {
                    const std::string v = profile::ReadString(file, section, std::to_string(k), "", 260);
                    if (v.empty()) continue;
                    EXPECT_EQ(std::count(v.begin(), v.end(), ','), 6) << file << " " << section << " " << k;
                }
            }
        }
        EXPECT_TRUE(Load(english).messages.empty());
    }
}

TEST(ShippedSkin, AreasLieInsideTheWindowAndActionsDoNotOverlap) {
    const Loaded l = Load(true);
    const SkinTables& t = l.tables;
    const QImage mask = LoadSkinImage(Skins(), "main_mask.jpg");
    ASSERT_FALSE(mask.isNull());
    const QRegion window = MaskToRegion(mask);
    auto inside = [&](const AreaRect& a) {
        return a.width == 0 || window.contains(QRect(a.x, a.y, a.width, a.height));
    };
    for (const auto& a : t.mainAreas) EXPECT_TRUE(inside(a)) << a.x << "," << a.y;
    for (const auto& a : t.advancedAreas) EXPECT_TRUE(inside(a)) << a.x << "," << a.y;
    for (const auto& a : t.macroAreas) EXPECT_TRUE(inside(a)) << a.x << "," << a.y;
    for (const auto& a : t.ledAreas) EXPECT_TRUE(inside(a)) << a.x << "," << a.y;

    auto header = Actionable(t.mainAreas, Range(0, 9));
    auto with = [&](std::vector<std::pair<int, AreaRect>> page) {
        page.insert(page.end(), header.begin(), header.end());
        return page;
    };
    auto main = Actionable(t.mainAreas, kActionMain);
    for (int i = 0; i < 3; ++i)
        main.emplace_back(100 + i, FromControl(t.profileNameEdits[static_cast<std::size_t>(i)]));
    ExpectNoOverlap("main", main);

    std::set<int> advanced = {1, 18, 31};
    for (int n : Range(34, 41)) advanced.insert(n);
    for (int n : Range(47, 50)) advanced.insert(n);
    for (int n : Range(60, 63)) advanced.insert(n);
    for (int n : Range(66, 117)) advanced.insert(n);
    for (int n : Range(138, 140)) advanced.insert(n);
    ExpectNoOverlap("advanced", with(Actionable(t.advancedAreas, advanced)));

    auto macro = with(Actionable(t.macroAreas, {1, 2, 3, 4, 5, 6, 7, 10, 11, 12}));
    int id = 100;
    for (const ControlRect& c :
         {t.groupNameEdit, t.macroNameEdit, t.repeatCountEdit, t.macroList, t.eventList, t.ledStepList}) {
        EXPECT_GT(c.right, c.left);
        macro.emplace_back(id++, FromControl(c));
    }
    ExpectNoOverlap("macro", macro);

    std::set<int> led = {14, 35, 40, 41, 45};
    for (int n : Range(7, 10)) led.insert(n);
    for (int n : Range(47, 58)) led.insert(n);
    for (int n : Range(78, 80)) led.insert(n);
    ExpectNoOverlap("led", with(Actionable(t.ledAreas, led)));

    // The panels that lighting modes empty hold what they hide.
    for (int panel : {71, 72, 73, 74, 75}) EXPECT_GT(t.ledAreas[static_cast<std::size_t>(panel)].width, 0) << panel;
}

TEST(ShippedSkin, EveryPictureExistsWithItsMasksSize) {
    const struct {
        const char* mask;
        std::vector<const char*> faces;
    } families[] = {
        {"main_mask.jpg",
         {"main_normal.jpg", "main_over.jpg", "main_down.jpg", "advanced_normal.jpg", "advanced_over.jpg",
          "advanced_down.jpg", "mac_normal.jpg", "mac_over.jpg", "mac_down.jpg", "led_normal.jpg", "led_over.jpg",
          "led_down.jpg", "led_null.jpg"}},
        {"menu_mask.jpg",
         {"menu_normal.jpg", "menu_over.jpg", "menu_down.jpg", "Macro_menu_normal.jpg", "Macro_menu_over.jpg",
          "Macro_menu_down.jpg"}},
        {"menu1_mask.jpg", {"menu1_normal.jpg", "menu1_over.jpg", "menu1_down.jpg"}},
        {"more_mask.jpg", {"more_normal.jpg", "more_over.jpg", "more_down.jpg"}},
        {"warning_mask.jpg", {"warning_normal.jpg", "warning_over.jpg"}},
    };
    for (const auto& f : families) {
        const QImage mask = LoadSkinImage(Skins(), f.mask);
        ASSERT_FALSE(mask.isNull()) << f.mask;
        for (const char* face : f.faces) EXPECT_EQ(LoadSkinImage(Skins(), face).size(), mask.size()) << face;
    }
    // The popups' rows fit their openers: 15 rows of the menu masks, 3 of the
    // Macro page menu, whose width is its button's; the button popup is one
    // pixel wider than the assignment fields.
    const SkinTables t = Load(true).tables;
    const QSize more = LoadSkinImage(Skins(), "more_mask.jpg").size();
    EXPECT_EQ(more.width(), t.macroAreas[4].width);
    EXPECT_EQ(more.height() / 3, LoadSkinImage(Skins(), "menu_mask.jpg").height() / 15);
    EXPECT_EQ(LoadSkinImage(Skins(), "menu1_mask.jpg").width(), t.mainAreas[20].width + 1);
    EXPECT_EQ(LoadSkinImage(Skins(), "menu_mask.jpg").width(), t.ledAreas[35].width);
}

// Walks from the border through hole pixels; a hole not reached is a stray
// pinhole inside the window, a window pixel not connected to the body a speck.
TEST(ShippedSkin, MaskEdgesAreClean) {
    for (const char* name : {"main_mask.jpg", "warning_mask.jpg"}) {
        const QImage mask = LoadSkinImage(Skins(), name);
        ASSERT_FALSE(mask.isNull());
        const int w = mask.width(), h = mask.height();
        for (bool holes : {true, false}) {
            std::vector<char> seen(static_cast<std::size_t>(w * h), 0);
            std::deque<QPoint> todo;
            auto want = [&](int x, int y) { return IsMaskHole(mask.pixel(x, y)) == holes; };
            auto push = [&](int x, int y) {
                if (x < 0 || y < 0 || x >= w || y >= h || seen[static_cast<std::size_t>(y * w + x)] || !want(x, y))
                    return;
                seen[static_cast<std::size_t>(y * w + x)] = 1;
                todo.emplace_back(x, y);
            };
            if (holes) {
                for (int x = 0; x < w; ++x) push(x, 0), push(x, h - 1);
                for (int y = 0; y < h; ++y) push(0, y), push(w - 1, y);
            } else {
                push(w / 2, h / 2);
            }
            while (!todo.empty()) {
                const QPoint p = todo.front();
                todo.pop_front();
                push(p.x() + 1, p.y()), push(p.x() - 1, p.y()), push(p.x(), p.y() + 1), push(p.x(), p.y() - 1);
            }
            int stray = 0;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) stray += want(x, y) && !seen[static_cast<std::size_t>(y * w + x)];
            }
            EXPECT_EQ(stray, 0) << name << (holes ? ": pinholes" : ": specks");
        }
    }
}

TEST(ShippedSkin, NamesArePresentAndLabelsFitInBothLanguages) {
    for (bool english : {true, false}) {
        const SkinTables t = Load(english).tables;
        for (int i = 1; i <= 39; ++i) EXPECT_FALSE(t.functionNames[static_cast<std::size_t>(i)].empty()) << i;
        QFont label(english ? "Arial" : "微软雅黑");
        label.setPointSizeF(8.5);
        QFont large = label;
        large.setPointSizeF(9.5);
        const QFontMetrics small(label), big(large);
        auto fits = [&](const std::string& text, const AreaRect& a, const QFontMetrics& fm, const char* where, int n) {
            if (text.empty() || a.width == 0) return;
            EXPECT_LE(fm.horizontalAdvance(QString::fromStdString(text)), a.width + 2)
                << where << " " << n << " '" << text << "' " << (english ? "en" : "cn");
        };
        auto all = [&](const auto& labels, const auto& areas, const char* where, auto fontOf) {
            for (std::size_t n = 0; n < labels.size(); ++n)
                fits(labels[n], areas[n], fontOf(n), where, static_cast<int>(n));
        };
        all(t.mainLabels, t.mainAreas, "main",
            [&](std::size_t n) -> const QFontMetrics& { return n >= 6 && n <= 9 ? big : small; });
        all(t.advancedLabels, t.advancedAreas, "advanced", [&](std::size_t) -> const QFontMetrics& { return small; });
        all(t.macroLabels, t.macroAreas, "macro",
            [&](std::size_t n) -> const QFontMetrics& { return n >= 14 && n <= 16 ? small : big; });
        all(t.ledLabels, t.ledAreas, "led", [&](std::size_t) -> const QFontMetrics& { return small; });
        all(t.warningLabels, t.warningAreas, "warning", [&](std::size_t) -> const QFontMetrics& { return small; });
        // Function names are shown in the assignment fields and the popups.
        for (int i = 1; i <= 39; ++i)
            fits(t.functionNames[static_cast<std::size_t>(i)], t.mainAreas[20], small, "function", i);
    }
}

}  // namespace
}  // namespace kx700
