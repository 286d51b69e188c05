// kx700ctl set against the window: every setting changed by name leaves
// config.ini byte for byte as the same change made with the window's own page
// actions and saved by its apply.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "../support/temp_dir.h"
#include "app/ctl_names.h"
#include "platform/profile.h"
#include "programming/apply.h"
#include "programming/functions.h"
#include "programming/settings_actions.h"
#include "settings/settings_file.h"
#include "ui/areas.h"
#include "ui/page_actions.h"
#include "ui_fixture.h"

namespace kx700 {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

// The window's side of one change: what its presses and choices do to the
// session it started with. `skin` holds the areas the presses land on.
using WindowChange = std::function<void(Session&, const SkinTables& skin, MessageSink&)>;

// A press of an area at the offset where its bar gives `step` of `steps`.
int PressPoint(const AreaRect& a, std::uint32_t step, std::uint32_t steps) {
    const auto w = static_cast<std::uint32_t>(a.width);
    const int offset = static_cast<int>((step * w + steps - 1) / steps);
    EXPECT_EQ(ui::BarStep(offset, a.width, steps), step) << "the bar cannot give that step";
    return a.x + offset;
}

void Advanced(Session& s, const SkinTables& t, int area, int px = -1) {
    const AreaRect& a = t.advancedAreas[static_cast<std::size_t>(area)];
    ASSERT_TRUE(ui::PressAdvancedArea(s.settings, area, a, px < 0 ? a.x : px)) << area;
}

void Led(Session& s, const SkinTables& t, int area, int px = -1) {
    const AreaRect& a = t.ledAreas[static_cast<std::size_t>(area)];
    ASSERT_TRUE(ui::PressLedArea(s.settings, s.currentProfile, area, a, px < 0 ? a.x : px)) << area;
}

// The button popup's choice of `value` for button b of profile slot `slot`,
// which is selected for it and then left again.
void Choose(Session& s, int slot, int b, std::int32_t value) {
    const int before = s.currentProfile;
    s.currentProfile = slot;
    s.settings.buttonAssign[static_cast<std::size_t>(s.currentProfile)][static_cast<std::size_t>(b)] = value;
    programming::KeepLeftButton(s.settings, s.currentProfile, b);
    s.currentProfile = before;
}

// The first line where two files differ, for a readable failure.
std::string FirstDifference(const std::string& a, const std::string& b) {
    std::size_t line = 1, start = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i] != b[i]) {
            const auto end = [&](const std::string& s) { return s.substr(start, s.find('\r', start) - start); };
            return "line " + std::to_string(line) + ": '" + end(a) + "' vs '" + end(b) + "'";
        }
        if (a[i] == '\n') {
            ++line;
            start = i + 1;
        }
    }
    return a.size() == b.size() ? "" : "sizes " + std::to_string(a.size()) + " vs " + std::to_string(b.size());
}

struct CtlSet : ::testing::Test {
    testing::TempDir dir;
    fs::path config() const { return dir / "skins" / "config" / "config.ini"; }
    std::string original;

    void SetUp() override {
        testing::CopyStage(dir.path());
        original = ReadBytes(config());
    }

    SkinTables Skin(bool english) {
        SkinTables t;
        SkinReadState state;
        RecordingMessageSink quiet;
        LoadAllSkins(t, SkinFilesFor(dir / "skins", english), quiet, state);
        EXPECT_FALSE(state.endProgram);
        return t;
    }

    // The window: its start-up on a simulated mouse, the change, its apply.
    std::string ThroughWindow(const WindowChange& change) {
        WriteBytes(config(), original);
        auto mouse = std::make_shared<device::SimulatedMouse>(device::SimulatedMouseState{});
        device::SimulatedBackend backend{mouse};
        Session s;
        s.folders = Folders::Portable(dir.path());
        RecordingMessageSink messages;
        s.messages = &messages;
        EXPECT_EQ(StartSession(s, backend).found.result, device::DiscoveryResult::Ready);
        change(s, Skin(s.englishInterface), messages);
        EXPECT_EQ(programming::ApplySettings(s).end, programming::ApplyEnd::Completed);
        return ReadBytes(config());
    }

    // kx700ctl set, in order; the refusal of the first value refused.
    std::string ThroughSet(const std::vector<std::pair<std::string, std::string>>& values, std::string* refused) {
        WriteBytes(config(), original);
        Session s;
        s.folders = Folders::Portable(dir.path());
        RecordingMessageSink messages;
        ctl::NamedSettings n;
        EXPECT_TRUE(ctl::LoadNamedSettings(s, n, messages));
        for (const auto& [name, value] : values) {
            const ctl::SetOutcome r = ctl::SetSetting(s, n, name, value);
            if (!r.ok()) {
                *refused = r.unknownName ? "unknown" : r.problem;
                return ReadBytes(config());
            }
        }
        EXPECT_TRUE(ctl::SaveNamedSettings(s, n).ok());
        return ReadBytes(config());
    }

    // What `get` says after the file was saved.
    std::string Get(const std::string& name) {
        Session s;
        s.folders = Folders::Portable(dir.path());
        RecordingMessageSink messages;
        ctl::NamedSettings n;
        EXPECT_TRUE(ctl::LoadNamedSettings(s, n, messages));
        const auto v = ctl::GetSetting(s, n, name);
        return v ? v->text : "(unknown)";
    }
};

struct Case {
    std::vector<std::pair<std::string, std::string>> set;
    WindowChange window;
    std::string got = {};  // what `get` says of the last name, when not the value given
};

TEST_F(CtlSet, EveryNameGivesTheWindowsBytesAndReadsBack) {
    using namespace ui::area;
    const auto mark = [](int level, int step) {
        return advanced::kStepMarkFirst + level * advanced::kStepMarksPerLevel + step;
    };
    const SkinTables en = Skin(true);
    const AreaRect& fireBar = en.advancedAreas[advanced::kFireBar];
    const int fire = static_cast<int>(ui::BarStep(fireBar.width * 2 / 5, fireBar.width, 300));
    const std::vector<Case> cases = {
        {{{"profile", "2"}}, [](Session& s, auto&, auto&) { s.currentProfile = 2; }},
        {{{"profile", "3"}}, [](Session& s, auto&, auto&) { s.currentProfile = 3; }},
        {{{"language", "cn"}},
         [this](Session& s, auto&, auto&) {
             s.englishInterface = false;
             ASSERT_TRUE(profile::WriteString(config(), "Init", "VER_SEL", "0").ok());
         }},
        {{{"profile.2.name", "Sniper"}},
         [](Session& s, auto&, MessageSink& m) {
             EXPECT_EQ(programming::EditProfileName(s, 1, "Sniper", m), "Sniper");
         }},
        {{{"language", "cn"}, {"profile.3.name", "影音二"}},
         [this](Session& s, auto&, MessageSink& m) {
             s.englishInterface = false;
             ASSERT_TRUE(profile::WriteString(config(), "Init", "VER_SEL", "0").ok());
             programming::ReloadProfileNames(s);
             programming::EditProfileName(s, 2, "影音二", m);
         }},
        // By name in either language, and by number; the left-button rule of profile 1.
        {{{"profile.2.button.4", "Volume up"}},
         [](Session& s, auto&, auto&) { Choose(s, 2, 3, programming::MenuChoiceValue(8, 4)); }},
        {{{"profile.3.button.7", "计算器"}}, [](Session& s, auto&, auto&) { Choose(s, 3, 6, 31); }, "Calculator"},
        {{{"profile.1.button.1", "2"}},
         [](Session& s, auto&, auto&) {
             Choose(s, 0, 0, 2);  // button 2 gets the left click
         },
         "Right click"},
        {{{"profile.1.button.3", "Double click"}},
         [](Session& s, auto&, auto&) { Choose(s, 0, 2, programming::MenuChoiceValue(7, 1)); }},
        {{{"profile.2.button.5", "Shooter"}},
         [](Session& s, auto&, auto&) {
             Choose(s, 2, 4, programming::MenuChoiceValue(11, 2));  // the profile key called by the name
         }},
        {{{"profile.3.button.2", "Copy"}},
         [](Session& s, auto&, auto&) { Choose(s, 3, 1, programming::MenuChoiceValue(10, 1)); }},
        {{{"profile.1.button.6", "macro:Office/Copy"}},
         [](Session& s, auto&, auto&) { Choose(s, 0, 5, programming::MacroChoiceValue(0, 0)); }},
        {{{"profile.3.reaction.7", "on"}},
         [](Session& s, const SkinTables& t, auto&) {
             s.currentProfile = 3;
             Led(s, t, led::kReactionSwitchLast);
             s.currentProfile = 0;
         }},
        {{{"profile.1.reaction.2", "on"}},
         [](Session& s, const SkinTables& t, auto&) { Led(s, t, led::kReactionSwitchFirst + 1); }},
        {{{"profile.2.scroll", "1"}},
         [](Session&, auto&, auto&) {}},  // no element changes it: below, the file's own section
        {{{"cpi.2", "1600"}}, [&](Session& s, const SkinTables& t, auto&) { Advanced(s, t, mark(1, 6)); }},
        {{{"cpi.4", "4800"}}, [&](Session& s, const SkinTables& t, auto&) { Advanced(s, t, mark(3, 11)); }},
        {{{"cpi.3.enabled", "off"}},
         [](Session& s, const SkinTables& t, auto&) { Advanced(s, t, advanced::kLevelSwitchFirst + 2); }},
        // Switching off the current level moves it on, as the window's switch does.
        {{{"cpi.2.enabled", "off"}},
         [](Session& s, const SkinTables& t, auto&) { Advanced(s, t, advanced::kLevelSwitchFirst + 1); }},
        {{{"cpi.level", "4"}},
         [](Session& s, const SkinTables& t, auto&) { Advanced(s, t, advanced::kLevelSelectFirst + 3); }},
        {{{"cpi.1.colour", "#00ff00"}},
         [](Session& s, auto&, auto&) {
             s.settings.dpiColour[0] = {0, 15, 0};
         }},
        {{{"report-rate", "500"}},
         [](Session& s, const SkinTables& t, auto&) { Advanced(s, t, advanced::kReportRateChoiceFirst + 2); }},
        {{{"report-rate", "125"}},
         [](Session& s, const SkinTables& t, auto&) { Advanced(s, t, advanced::kReportRateMarkFirst); }},
        {{{"pointer-speed", "7"}},
         [](Session& s, const SkinTables& t, auto&) {
             Advanced(s, t, advanced::kPointerBar, PressPoint(t.advancedAreas[advanced::kPointerBar], 6, 10));
         }},
        {{{"scroll-speed", "1"}}, [](Session& s, const SkinTables& t, auto&) { Advanced(s, t, advanced::kWheelBar); }},
        {{{"rapid-fire", std::to_string(fire)}},
         [](Session& s, const SkinTables& t, auto&) {
             const AreaRect& a = t.advancedAreas[advanced::kFireBar];
             Advanced(s, t, advanced::kFireBar, a.x + a.width * 2 / 5);
         }},
        {{{"lighting.mode", "Constantly"}}, [](Session& s, auto&, auto&) { s.settings.ledMode = kLedConstant; }},
        {{{"lighting.mode", "按键响应"}},
         [](Session& s, auto&, auto&) { s.settings.ledMode = kLedButtonResponse; },
         "Button response"},
        {{{"lighting.mode", "Button response"}, {"lighting.brightness", "5"}},
         [](Session& s, const SkinTables& t, auto&) {
             s.settings.ledMode = kLedButtonResponse;
             Led(s, t, led::kBrightnessBar, PressPoint(t.ledAreas[led::kBrightnessBar], 4, 7));  // 6 - 4 = 7 - 5
         }},
        {{{"lighting.speed", "6"}},
         [](Session& s, const SkinTables& t, auto&) {
             Led(s, t, led::kSpeedBar, PressPoint(t.ledAreas[led::kSpeedBar], 5, 6));
         }},
        {{{"lighting.direction", "outward"}},
         [](Session& s, const SkinTables& t, auto&) { Led(s, t, led::kDirectionFirst + 2); }},
        {{{"lighting.symmetry", "on"}}, [](Session& s, const SkinTables& t, auto&) { Led(s, t, led::kSymmetry); }},
        {{{"lighting.colours", "1,3"}},
         [](Session& s, const SkinTables& t, auto&) {
             Led(s, t, led::kColourSwitchFirst + 1);
             Led(s, t, led::kColourSwitchFirst + 3);
         }},
        {{{"lighting.custom", "on"}}, [](Session& s, const SkinTables& t, auto&) { Led(s, t, led::kCustomColours); }},
        {{{"lighting.custom.2", "#ff8800"}},
         [](Session& s, auto&, auto&) {
             s.settings.userColour[1] = {15, 8, 0};
             s.settings.userColourRef[1] = UserColourRef({15, 8, 0});
         }},
    };
    std::set<std::string> covered;
    for (const Case& c : cases) {
        std::string label;
        for (const auto& [name, value] : c.set) {
            label += name + "=" + value + " ";
            covered.insert(name);
        }
        std::string window = ThroughWindow(c.window);
        if (c.set.front().first == "profile.2.scroll") {
            ASSERT_TRUE(profile::WriteString(config(), "Config2", "WHEEL_STATUS", "1").ok());
            window = ReadBytes(config());
        }
        std::string refused;
        const std::string set = ThroughSet(c.set, &refused);
        EXPECT_EQ(refused, "") << label;
        EXPECT_NE(set, original) << label << "changed nothing";
        EXPECT_EQ(FirstDifference(set, window), "") << label;
        EXPECT_EQ(Get(c.set.back().first), c.got.empty() ? c.set.back().second : c.got) << label;
    }
    // Every kind of name is in the table (the numbered ones at least once).
    for (const std::string& name : ctl::SettingNames()) {
        std::string kind = name;
        for (char& ch : kind) {
            if (ch >= '1' && ch <= '9') ch = 'N';
        }
        bool found = false;
        for (const std::string& c : covered) {
            std::string k = c;
            for (char& ch : k) {
                if (ch >= '1' && ch <= '9') ch = 'N';
            }
            found = found || k == kind;
        }
        EXPECT_TRUE(found) << name << " has no case";
    }
}

TEST_F(CtlSet, RefusedValuesChangeNothingAndSayWhy) {
    struct Refusal {
        std::vector<std::pair<std::string, std::string>> set;
        std::string problem;
    };
    for (const Refusal& r : std::vector<Refusal>{
             {{{"profile", "4"}}, "no such profile"},
             {{{"profile", "1x"}}, "no such profile"},
             {{{"language", "de"}}, "no such language"},
             {{{"profile.1.name", ""}}, "More than limit!"},
             {{{"profile.1.name", "ElevenChars"}}, "More than limit!"},
             {{{"profile.1.name", "a\nb"}}, "a name holds no control characters"},
             {{{"profile.1.name", " pad"}}, "a name neither starts nor ends with a blank"},
             {{{"profile.1.name", "\"q\""}}, "a name is not wrapped in quotes"},
             {{{"profile.1.button.2", "More keys ▸"}}, "no such function"},
             {{{"profile.1.button.2", "7"}}, "no such function"},
             {{{"profile.1.button.2", "0"}}, "no such function"},
             {{{"profile.1.button.2", "macro:Office/Nope"}}, "no such function"},
             {{{"profile.1.button.2", "macro:Nope/Copy"}}, "no such function"},
             {{{"profile.1.reaction.1", "yes"}}, "not on or off"},
             {{{"profile.1.scroll", "2"}}, "not 0 or 1"},
             {{{"cpi.1", "1500"}}, "not a CPI value of the mouse"},
             {{{"cpi.1.enabled", "maybe"}}, "not on or off"},
             {{{"cpi.2.enabled", "off"}, {"cpi.3.enabled", "off"}, {"cpi.4.enabled", "off"}, {"cpi.1.enabled", "off"}},
              "one CPI level is always on: switch another level on first"},
             {{{"cpi.3.enabled", "off"}, {"cpi.level", "3"}}, "level 3 is off: set cpi.3.enabled=on first"},
             {{{"cpi.level", "5"}}, "no such level"},
             {{{"cpi.1.colour", "red"}}, "not a colour"},
             {{{"cpi.1.colour", "#12345g"}}, "not a colour"},
             {{{"report-rate", "300"}}, "not a report rate of the mouse"},
             {{{"pointer-speed", "0"}}, "out of range"},
             {{{"scroll-speed", "11"}}, "out of range"},
             {{{"rapid-fire", "301"}}, "out of range"},
             {{{"rapid-fire", "-1"}}, "out of range"},
             {{{"lighting.mode", "Disco"}}, "no such lighting mode"},
             {{{"lighting.mode", "3"}}, "no such lighting mode"},
             {{{"lighting.brightness", "5"}}, "lighting mode Cycle breath has no brightness"},
             {{{"lighting.mode", "Constantly"}, {"lighting.brightness", "8"}}, "out of range"},
             {{{"lighting.mode", "Mute"}, {"lighting.speed", "2"}}, "lighting mode Mute has no speed"},
             {{{"lighting.direction", "rotate"}}, "rotate is a direction of lighting mode 3 only"},
             {{{"lighting.direction", "up"}}, "no such direction"},
             {{{"lighting.symmetry", "2"}}, "not on or off"},
             {{{"lighting.colours", ""}}, "not a list of colours"},
             {{{"lighting.colours", "1,5"}}, "not a list of colours"},
             {{{"lighting.colours", "1,"}}, "not a list of colours"},
             {{{"lighting.custom.1", "#fff"}}, "not a colour"},
             {{{"cpi.5", "800"}}, "unknown"},
             {{{"profile.4.name", "x"}}, "unknown"},
             {{{"profile.1.button.8", "1"}}, "unknown"},
             {{{"lighting", "on"}}, "unknown"},
             {{{"dpi", "800"}}, "unknown"},
         }) {
        std::string refused;
        EXPECT_EQ(ThroughSet(r.set, &refused), original) << r.set.back().first;
        EXPECT_EQ(refused, r.problem) << r.set.back().first << "=" << r.set.back().second;
    }
}

// A profile called like a function keeps both reachable: the name that means
// two things is refused, `get` shows the number, and the number is taken.
TEST_F(CtlSet, AProfileNamedLikeAFunctionIsAskedForByNumber) {
    std::string refused;
    ThroughSet({{"profile.2.name", "Mute"}, {"profile.1.button.4", "20"}}, &refused);
    ASSERT_EQ(refused, "");
    original = ReadBytes(config());
    EXPECT_EQ(Get("profile.1.button.4"), "20");
    ThroughSet({{"profile.1.button.5", "Mute"}}, &refused);
    EXPECT_EQ(refused, "the name is ambiguous: give its number (20 or 29)");
}

// What `get` prints, `set` takes back without a change: a script can save and
// restore every setting.
TEST_F(CtlSet, GetThenSetOfEverythingChangesNothing) {
    std::vector<std::pair<std::string, std::string>> all;
    for (const std::string& name : ctl::SettingNames()) all.emplace_back(name, Get(name));
    std::string refused;
    const std::string set = ThroughSet(all, &refused);
    EXPECT_EQ(refused, "");
    // The same as an apply of the record as it was (which clears profile slot 1).
    EXPECT_EQ(FirstDifference(set, ThroughWindow([](Session&, auto&, auto&) {})), "");
}

}  // namespace
}  // namespace kx700
