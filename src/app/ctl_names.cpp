#include "app/ctl_names.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>

#include "macro/groups.h"
#include "macro/record.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "programming/apply.h"
#include "programming/functions.h"
#include "settings/setting_edits.h"
#include "settings/settings_file.h"

namespace kx700::ctl {
namespace {

using Kind = NamedValue::Kind;

enum class Setting {
    Profile,
    Language,
    ProfileName,
    Button,
    Reaction,
    Scroll,
    Cpi,
    CpiEnabled,
    CpiLevel,
    CpiColour,
    ReportRate,
    PointerSpeed,
    ScrollSpeed,
    RapidFire,
    LightingMode,
    Brightness,
    Speed,
    Direction,
    Symmetry,
    CycleColours,
    Custom,
    CustomColour,
};

struct Name {
    Setting setting;
    int profile = 0;  // 1-3 as the window shows them
    int index = 0;    // button 1-7, CPI level or colour 1-4
};

constexpr std::size_t kMaxProfileName = 10;  // UTF-16 code units, as the name boxes allow
constexpr std::array<int, 4> kReportRates = {125, 250, 500, 1000};
constexpr std::array<std::uint8_t, 5> kOfferedModes = {kLedDpiBreath, kLedCycleBreath, kLedConstant, kLedButtonResponse,
                                                       kLedMute};
constexpr std::array<const char*, 4> kDirections = {"right", "left", "outward", "rotate"};

std::size_t U(int i) { return static_cast<std::size_t>(i); }

int SlotOf(int profile) { return kUserProfileSlots[U(profile - 1)]; }

// A whole decimal number and nothing else.
std::optional<int> Number(std::string_view text) {
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return v;
}

// One digit within [1, max] as a name part.
int Digit(std::string_view part, int max) {
    if (part.size() != 1 || part[0] < '1' || part[0] > '0' + max) return 0;
    return part[0] - '0';
}

std::optional<Name> ParseName(std::string_view name) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t dot = name.find('.', start);
        parts.push_back(name.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start));
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    const auto is = [&](std::initializer_list<std::string_view> words) {
        if (words.size() != parts.size()) return false;
        std::size_t i = 0;
        for (std::string_view w : words) {
            if (!w.empty() && w != parts[i]) return false;
            ++i;
        }
        return true;
    };
    static const std::map<std::string_view, Setting, std::less<>> single = {
        {"profile", Setting::Profile},          {"language", Setting::Language},
        {"report-rate", Setting::ReportRate},   {"pointer-speed", Setting::PointerSpeed},
        {"scroll-speed", Setting::ScrollSpeed}, {"rapid-fire", Setting::RapidFire},
    };
    if (parts.size() == 1) {
        const auto it = single.find(name);
        if (it == single.end()) return std::nullopt;
        return Name{it->second};
    }
    if (parts[0] == "profile") {
        const int p = Digit(parts[1], 3);
        if (p == 0) return std::nullopt;
        if (is({"", "", "name"})) return Name{Setting::ProfileName, p};
        if (is({"", "", "scroll"})) return Name{Setting::Scroll, p};
        if (parts.size() == 4) {
            const int b = Digit(parts[3], kButtons);
            if (b == 0) return std::nullopt;
            if (parts[2] == "button") return Name{Setting::Button, p, b};
            if (parts[2] == "reaction") return Name{Setting::Reaction, p, b};
        }
        return std::nullopt;
    }
    if (parts[0] == "cpi") {
        if (is({"", "level"})) return Name{Setting::CpiLevel};
        const int k = Digit(parts[1], kCpiLevels);
        if (k == 0) return std::nullopt;
        if (parts.size() == 2) return Name{Setting::Cpi, 0, k};
        if (is({"", "", "enabled"})) return Name{Setting::CpiEnabled, 0, k};
        if (is({"", "", "colour"})) return Name{Setting::CpiColour, 0, k};
        return std::nullopt;
    }
    if (parts[0] == "lighting") {
        static const std::map<std::string_view, Setting, std::less<>> lighting = {
            {"mode", Setting::LightingMode},   {"brightness", Setting::Brightness}, {"speed", Setting::Speed},
            {"direction", Setting::Direction}, {"symmetry", Setting::Symmetry},     {"colours", Setting::CycleColours},
            {"custom", Setting::Custom},
        };
        if (parts.size() == 2) {
            const auto it = lighting.find(parts[1]);
            if (it == lighting.end()) return std::nullopt;
            return Name{it->second};
        }
        if (is({"", "custom", ""})) {
            const int k = Digit(parts[2], 4);
            if (k != 0) return Name{Setting::CustomColour, 0, k};
        }
    }
    return std::nullopt;
}

// ------------------------------------------------------------ button functions

// The functions the button popup and its lists offer: rows 1-6 and the
// sub-menus' values (more keys, profile keys, multimedia, built-in macros).
bool OfferedFunction(std::int32_t v) { return (v >= 1 && v <= 6) || (v >= 12 && v <= 39); }

bool ExistingMacro(const Session& s, std::int32_t v) {
    if (!macro::MacroRef::IsUser(v)) return false;
    const macro::MacroRef ref = macro::MacroRef::FromAssignment(v);
    const macro::GroupDirectory& g = s.macros.groups;
    return ref.group >= 0 && ref.group < g.groupCount && ref.index >= 0 && ref.index < g.groupMacroCount[U(ref.group)];
}

std::string MacroText(const Session& s, std::int32_t v) {
    const macro::MacroRef ref = macro::MacroRef::FromAssignment(v);
    const macro::GroupDirectory& g = s.macros.groups;
    return "macro:" + g.groupNames[U(ref.group)] + "/" + g.macroNames[U(ref.group)][U(ref.index)];
}

// Every text that names a value a button can be given, in both languages.
std::vector<std::pair<std::string, std::int32_t>> FunctionTexts(const Session& s, const NamedSettings& n) {
    std::vector<std::pair<std::string, std::int32_t>> texts;
    for (std::int32_t v = 1; v < kFunctionNameCount; ++v) {
        if (!OfferedFunction(v)) continue;
        for (const auto* names : {&n.functionNamesEn, &n.functionNamesCn}) {
            if (!(*names)[U(v)].empty()) texts.emplace_back((*names)[U(v)], v);
        }
    }
    const macro::GroupDirectory& g = s.macros.groups;
    for (int group = 0; group < g.groupCount; ++group) {
        for (int m = 0; m < g.groupMacroCount[U(group)] && m < macro::kMaxMacrosPerGroup; ++m) {
            const std::int32_t v = macro::MacroRef::UserValue(group, m);
            texts.emplace_back(MacroText(s, v), v);
        }
    }
    return texts;
}

// The values a text names (ASCII case ignored), without repeats.
std::vector<std::int32_t> ValuesNamed(const Session& s, const NamedSettings& n, std::string_view text) {
    std::vector<std::int32_t> values;
    for (const auto& [t, v] : FunctionTexts(s, n)) {
        if (text::EqualsIgnoreCase(t, text) && std::find(values.begin(), values.end(), v) == values.end())
            values.push_back(v);
    }
    return values;
}

// The English name of a value, or its number when that name is not the value's
// alone (a profile called like a function) or there is none.
std::string FunctionText(const Session& s, const NamedSettings& n, std::int32_t v) {
    std::string text;
    if (OfferedFunction(v)) {
        text = n.functionNamesEn[U(v)];
    } else if (ExistingMacro(s, v)) {
        text = MacroText(s, v);
    }
    if (text.empty() || ValuesNamed(s, n, text) != std::vector<std::int32_t>{v}) return std::to_string(v);
    return text;
}

std::string FunctionsAllowed(const Session& s, const NamedSettings& n) {
    std::string out;
    for (std::int32_t v = 1; v < kFunctionNameCount; ++v) {
        if (!OfferedFunction(v)) continue;
        out += (out.empty() ? "" : ", ") + FunctionText(s, n, v);
        if (!n.functionNamesEn[U(v)].empty()) out += " (" + std::to_string(v) + ")";
    }
    const macro::GroupDirectory& g = s.macros.groups;
    for (int group = 0; group < g.groupCount; ++group) {
        for (int m = 0; m < g.groupMacroCount[U(group)] && m < macro::kMaxMacrosPerGroup; ++m)
            out += ", " + MacroText(s, macro::MacroRef::UserValue(group, m));
    }
    return out + "; or the Chinese name";
}

// ------------------------------------------------------------ values

std::string OnOff(bool on) { return on ? "on" : "off"; }

std::optional<bool> ParseSwitch(std::string_view v) {
    if (v == "on" || v == "1") return true;
    if (v == "off" || v == "0") return false;
    return std::nullopt;
}

int Channel8(std::int32_t level) { return std::clamp(level, 0, 15) * 17; }

// Four bits a channel, as the mouse takes them, shown as the full colour they
// stand for: level 15 is ff, level 8 is 88.
std::string ColourText(const Rgb4& c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", Channel8(c.r), Channel8(c.g), Channel8(c.b));
    return buffer;
}

std::optional<Rgb4> ParseColour(std::string_view v) {
    if (v.size() != 7 || v[0] != '#') return std::nullopt;
    std::array<int, 3> channel{};
    for (std::size_t i = 0; i < 3; ++i) {
        int x = 0;
        const char* first = v.data() + 1 + 2 * i;
        const auto [end, ec] = std::from_chars(first, first + 2, x, 16);
        if (ec != std::errc() || end != first + 2) return std::nullopt;
        channel[i] = (x + 8) / 17;  // the nearest of the sixteen levels
    }
    return Rgb4{channel[0], channel[1], channel[2]};
}

std::string ModeText(std::uint8_t mode, bool english) {
    const auto& names = LightingModeNames(english);
    const auto it = std::find(kOfferedModes.begin(), kOfferedModes.end(), mode);
    if (it == kOfferedModes.end()) return std::to_string(mode);
    return std::string(names[U(static_cast<int>(it - kOfferedModes.begin()))]);
}

std::optional<std::uint8_t> ParseMode(std::string_view v) {
    for (std::uint8_t m : kOfferedModes) {
        if (text::EqualsIgnoreCase(v, ModeText(m, true)) || v == ModeText(m, false) || v == std::to_string(m)) return m;
    }
    return std::nullopt;
}

std::string ProfileText(int slot) {
    for (int p = 1; p <= 3; ++p) {
        if (SlotOf(p) == slot) return std::to_string(p);
    }
    return "none";  // slot 1: the mouse can report it, the user cannot pick it
}

// A name the settings file gives back as it is, within the name boxes' limit.
std::string ProfileNameProblem(std::string_view v) {
    const std::size_t length = text::Utf16Length(v);
    if (length == 0 || length > kMaxProfileName) return "More than limit!";
    if (!text::IsWellFormedUtf8(v)) return "not UTF-8 text";
    if (std::any_of(v.begin(), v.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        return "a name holds no control characters";
    if (v.front() == ' ' || v.back() == ' ' || v.front() == '\t' || v.back() == '\t')
        return "a name neither starts nor ends with a blank";
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return "a name is not wrapped in quotes";
    return {};
}

std::array<std::string, 3>& NamesOf(NamedSettings& n, bool english) {
    return english ? n.profileNamesEn : n.profileNamesCn;
}

std::string Allowed(const Session& s, const NamedSettings& n, const Name& name) {
    switch (name.setting) {
        case Setting::Profile: return "1, 2, 3";
        case Setting::Language: return "en, cn";
        case Setting::ProfileName: return "1 to 10 characters";
        case Setting::Button: return FunctionsAllowed(s, n);
        case Setting::Reaction:
        case Setting::CpiEnabled:
        case Setting::Symmetry:
        case Setting::Custom: return "on, off";
        case Setting::Scroll: return "0, 1";
        case Setting::Cpi: {
            std::string out;
            for (int cpi : kCpiOfStep) out += (out.empty() ? "" : ", ") + std::to_string(cpi);
            return out;
        }
        case Setting::CpiLevel: return "1 to 4, a level that is on";
        case Setting::CpiColour:
        case Setting::CustomColour: return "#rrggbb (the mouse keeps four bits a channel: #f08000 is kept as #ee8800)";
        case Setting::ReportRate: return "125, 250, 500, 1000";
        case Setting::PointerSpeed:
        case Setting::ScrollSpeed: return "1 to 10";
        case Setting::RapidFire: return "0 to 300 (ms)";
        case Setting::LightingMode: {
            std::string out;
            for (std::uint8_t m : kOfferedModes)
                out += (out.empty() ? "" : ", ") + ModeText(m, true) + " (" + std::to_string(m) + ")";
            return out + "; or the Chinese name";
        }
        case Setting::Brightness: return "1 to 7, in the modes Constantly, Button response and 3-5";
        case Setting::Speed: return "1 to 6, in every mode but Constantly and Mute";
        case Setting::Direction: return "right, left, outward (0-2); rotate (3) in lighting mode 3 only";
        case Setting::CycleColours: return "a list of 1 to 4, at least one, e.g. 1,3";
    }
    return {};
}

}  // namespace

const char* const kSettingPatterns =
    "profile (1-3), language (en/cn), profile.N.name, profile.N.button.B, profile.N.reaction.B,\n"
    "profile.N.scroll, cpi.K, cpi.K.enabled, cpi.level, cpi.K.colour, report-rate, pointer-speed,\n"
    "scroll-speed, rapid-fire, lighting.mode, lighting.brightness, lighting.speed, lighting.direction,\n"
    "lighting.symmetry, lighting.colours, lighting.custom, lighting.custom.K\n"
    "(N = profile 1-3, B = button 1-7: 1 left, 2 right, 3 middle, ...; K = 1-4)";

bool LoadNamedSettings(Session& s, NamedSettings& n, MessageSink& messages) {
    LoadSettingsData(s, messages);
    if (!s.settingsLoaded) return false;
    const std::filesystem::path file = s.folders.settingsFile();
    n.profileNamesEn = ReadProfileNames(file, true);
    n.profileNamesCn = ReadProfileNames(file, false);
    const profile::Snapshot f(file);
    for (int slot = 0; slot < kProfileSlots; ++slot)
        n.wheelStatus[U(slot)] = f.readInt("Config" + std::to_string(slot), "WHEEL_STATUS", 10);
    s.macros.folders = macro::MacroFolders::For(s.folders, s.englishInterface);
    // Macro names are looked up, never changed, here.
    LoadGroupDirectory(s.macros, messages, macro::ListRepair::Leave);
    // A layout that is missing leaves its names empty: functions are then
    // known by their numbers alone. The window would not start at all.
    RecordingMessageSink quiet;
    for (const bool english : {true, false}) {
        SkinTables t;
        SkinReadState state;
        LoadMainSkin(t, SkinFilesFor(s.folders.skinsFolder(), english), quiet, state);
        SetProfileKeyNames(t, english ? n.profileNamesEn : n.profileNamesCn);
        (english ? n.functionNamesEn : n.functionNamesCn) = t.functionNames;
    }
    return true;
}

std::vector<std::string> SettingNames() {
    std::vector<std::string> names = {"profile", "language"};
    for (int p = 1; p <= 3; ++p) {
        const std::string prefix = "profile." + std::to_string(p) + ".";
        names.push_back(prefix + "name");
        for (int b = 1; b <= kButtons; ++b) names.push_back(prefix + "button." + std::to_string(b));
        for (int b = 1; b <= kButtons; ++b) names.push_back(prefix + "reaction." + std::to_string(b));
        names.push_back(prefix + "scroll");
    }
    for (int k = 1; k <= kCpiLevels; ++k) {
        names.push_back("cpi." + std::to_string(k));
        names.push_back("cpi." + std::to_string(k) + ".enabled");
        names.push_back("cpi." + std::to_string(k) + ".colour");
    }
    names.insert(names.end(), {"cpi.level", "report-rate", "pointer-speed", "scroll-speed", "rapid-fire",
                               "lighting.mode", "lighting.brightness", "lighting.speed", "lighting.direction",
                               "lighting.symmetry", "lighting.colours", "lighting.custom"});
    for (int k = 1; k <= 4; ++k) names.push_back("lighting.custom." + std::to_string(k));
    return names;
}

std::optional<NamedValue> GetSetting(const Session& s, const NamedSettings& n, std::string_view text) {
    const std::optional<Name> name = ParseName(text);
    if (!name) return std::nullopt;
    const MouseSettings& m = s.settings;
    const auto number = [](auto v) { return NamedValue{Kind::Number, std::to_string(v)}; };
    const auto onOff = [](bool on) { return NamedValue{Kind::Switch, OnOff(on)}; };
    const auto words = [](std::string t) { return NamedValue{Kind::Text, std::move(t)}; };
    const std::size_t k = U(name->index - 1);
    const std::size_t slot = name->profile > 0 ? U(SlotOf(name->profile)) : 0;
    switch (name->setting) {
        case Setting::Profile: {
            const std::string p = ProfileText(s.currentProfile);
            return p == "none" ? words(p) : NamedValue{Kind::Number, p};
        }
        case Setting::Language: return words(s.englishInterface ? "en" : "cn");
        case Setting::ProfileName: return words(s.profileNames[U(name->profile - 1)]);
        case Setting::Button: {
            const std::string t = FunctionText(s, n, m.buttonAssign[slot][k]);
            return Number(t) ? number(m.buttonAssign[slot][k]) : words(t);
        }
        case Setting::Reaction: return onOff(m.reactEnable[slot][U(MemorySlotOfButton(name->index - 1))] != 0);
        case Setting::Scroll: return number(n.wheelStatus[slot]);
        case Setting::Cpi: return number(CpiOfStep(m.dpiStep[k]));
        case Setting::CpiEnabled: return onOff(m.dpiLevelEnabled[k] != 0);
        case Setting::CpiLevel: return number(m.dpiLevel + 1);
        case Setting::CpiColour: return words(ColourText(m.dpiColour[k]));
        case Setting::ReportRate: return number(1000 / (m.pollIntervalMs > 0 ? m.pollIntervalMs : 8));
        case Setting::PointerSpeed: return number(int{m.pointerSpeed});
        case Setting::ScrollSpeed: return number(int{m.wheelSpeed});
        case Setting::RapidFire: return number(m.fireInterval);
        case Setting::LightingMode: {
            const std::string t = ModeText(m.ledMode, true);
            return Number(t) ? number(int{m.ledMode}) : words(t);
        }
        // The window's bars: brightness fills (7 - value) sevenths, speed (value + 1) sixths.
        case Setting::Brightness: return number(7 - m.ledBrightness);
        case Setting::Speed: return number(m.ledCycleTime + 1);
        case Setting::Direction:
            return m.ledDirection >= 0 && m.ledDirection <= 3 ? words(kDirections[U(m.ledDirection)])
                                                              : number(m.ledDirection);
        case Setting::Symmetry: return onOff(m.ledSymmetry != 0);
        case Setting::CycleColours: {
            std::string list;
            for (int c = 0; c < 4; ++c) {
                if (m.cycleColourEnable[U(c)] != 0) list += (list.empty() ? "" : ",") + std::to_string(c + 1);
            }
            return NamedValue{Kind::List, list};
        }
        case Setting::Custom: return onOff(m.userColourEnable != 0);
        case Setting::CustomColour: return words(ColourText(m.userColour[k]));
    }
    return std::nullopt;
}

SetOutcome SetSetting(Session& s, NamedSettings& n, std::string_view text, std::string_view v) {
    SetOutcome out;
    const std::optional<Name> name = ParseName(text);
    if (!name) {
        out.unknownName = true;
        return out;
    }
    MouseSettings& m = s.settings;
    const std::size_t k = U(name->index - 1);
    const int slot = name->profile > 0 ? SlotOf(name->profile) : 0;
    const auto refuse = [&](std::string problem) {
        out.problem = std::move(problem);
        out.allowed = Allowed(s, n, *name);
        return out;
    };
    const auto inRange = [&](int lo, int hi) -> std::optional<int> {
        const std::optional<int> x = Number(v);
        if (!x || *x < lo || *x > hi) return std::nullopt;
        return x;
    };
    const std::optional<bool> on = ParseSwitch(v);
    switch (name->setting) {
        case Setting::Profile: {
            const auto p = inRange(1, 3);
            if (!p) return refuse("no such profile");
            s.currentProfile = SlotOf(*p);
            break;
        }
        case Setting::Language: {
            if (v != "en" && v != "cn") return refuse("no such language");
            s.englishInterface = v == "en";
            s.profileNames = NamesOf(n, s.englishInterface);
            n.languageChanged = true;
            break;
        }
        case Setting::ProfileName: {
            if (const std::string problem = ProfileNameProblem(v); !problem.empty()) return refuse(problem);
            const std::size_t i = U(name->profile - 1);
            s.profileNames[i] = std::string(v);
            NamesOf(n, s.englishInterface)[i] = std::string(v);
            (s.englishInterface ? n.nameChangedEn : n.nameChangedCn)[i] = true;
            // The profile keys are called by the names (function names 19-21).
            (s.englishInterface ? n.functionNamesEn : n.functionNamesCn)[i + 19] = std::string(v);
            break;
        }
        case Setting::Button: {
            std::int32_t value = 0;
            if (const std::optional<int> x = Number(v)) {
                if (!OfferedFunction(*x) && !ExistingMacro(s, *x)) return refuse("no such function");
                value = *x;
            } else {
                const std::vector<std::int32_t> values = ValuesNamed(s, n, v);
                if (values.empty()) return refuse("no such function");
                if (values.size() > 1) {
                    std::string numbers;
                    for (std::int32_t each : values) numbers += (numbers.empty() ? "" : " or ") + std::to_string(each);
                    return refuse("the name is ambiguous: give its number (" + numbers + ")");
                }
                value = values.front();
            }
            const int b = name->index - 1;
            m.buttonAssign[U(slot)][U(b)] = value;
            const int given = programming::KeepLeftButton(m, slot, b);
            if (given >= 0) {
                out.notes.push_back("profile 1 keeps a left button: profile.1.button." + std::to_string(given + 1) +
                                    " is now " + FunctionText(s, n, 1));
            }
            break;
        }
        case Setting::Reaction: {
            if (!on) return refuse("not on or off");
            const int code = kHardwareButtonCode[U(name->index - 1)];
            if ((m.reactEnable[U(slot)][U(code - 1)] != 0) != *on) SwitchReaction(m, slot, code);
            break;
        }
        case Setting::Scroll: {
            const auto x = inRange(0, 1);
            if (!x) return refuse("not 0 or 1");
            n.wheelStatus[U(slot)] = *x;
            // The record, and so every apply, holds one wheel status: the last
            // profile's, as the start-up reads the profiles in order.
            if (n.wheelStatus[U(slot)] != n.wheelStatus[U(kProfileSlots - 1)]) {
                out.notes.push_back("the mouse keeps one wheel status: an apply sends profile 3's (" +
                                    std::to_string(n.wheelStatus[U(kProfileSlots - 1)]) +
                                    ") and saves it into every profile");
            }
            break;
        }
        case Setting::Cpi: {
            const std::optional<int> x = Number(v);
            const auto it = x ? std::find(kCpiOfStep.begin(), kCpiOfStep.end(), *x) : kCpiOfStep.end();
            if (it == kCpiOfStep.end()) return refuse("not a CPI value of the mouse");
            m.dpiStep[k] = static_cast<std::uint8_t>(it - kCpiOfStep.begin());
            break;
        }
        case Setting::CpiEnabled: {
            if (!on) return refuse("not on or off");
            const MouseSettings before = m;
            if ((m.dpiLevelEnabled[k] != 0) != *on) SwitchCpiLevel(m, name->index - 1);
            if ((m.dpiLevelEnabled[k] != 0) != *on) {
                m = before;
                return refuse("one CPI level is always on: switch another level on first");
            }
            break;
        }
        case Setting::CpiLevel: {
            const auto x = inRange(1, kCpiLevels);
            if (!x) return refuse("no such level");
            if (!SelectCpiLevel(m, *x - 1))
                return refuse("level " + std::to_string(*x) + " is off: set cpi." + std::to_string(*x) +
                              ".enabled=on first");
            break;
        }
        case Setting::CpiColour:
        case Setting::CustomColour: {
            const std::optional<Rgb4> c = ParseColour(v);
            if (!c) return refuse("not a colour");
            if (name->setting == Setting::CpiColour) {
                m.dpiColour[k] = *c;
            } else {
                m.userColour[k] = *c;
                m.userColourRef[k] = UserColourRef(*c);
            }
            break;
        }
        case Setting::ReportRate: {
            const std::optional<int> x = Number(v);
            const auto it = x ? std::find(kReportRates.begin(), kReportRates.end(), *x) : kReportRates.end();
            if (it == kReportRates.end()) return refuse("not a report rate of the mouse");
            SetReportRate(m, static_cast<std::uint8_t>(it - kReportRates.begin()));
            break;
        }
        case Setting::PointerSpeed:
        case Setting::ScrollSpeed: {
            const auto x = inRange(1, 10);
            if (!x) return refuse("out of range");
            (name->setting == Setting::PointerSpeed ? m.pointerSpeed : m.wheelSpeed) = static_cast<std::uint8_t>(*x);
            break;
        }
        case Setting::RapidFire: {
            const auto x = inRange(0, 300);
            if (!x) return refuse("out of range");
            m.fireInterval = *x;
            break;
        }
        case Setting::LightingMode: {
            const std::optional<std::uint8_t> mode = ParseMode(v);
            if (!mode) return refuse("no such lighting mode");
            m.ledMode = *mode;
            break;
        }
        case Setting::Brightness: {
            const auto x = inRange(1, 7);
            if (!x) return refuse("out of range");
            if (m.ledBrightness != 7 - *x && !LedModeUsesBrightness(m.ledMode))
                return refuse("lighting mode " + ModeText(m.ledMode, true) + " has no brightness");
            m.ledBrightness = 7 - *x;
            break;
        }
        case Setting::Speed: {
            const auto x = inRange(1, 6);
            if (!x) return refuse("out of range");
            if (m.ledCycleTime != *x - 1 && !LedModeUsesSpeed(m.ledMode))
                return refuse("lighting mode " + ModeText(m.ledMode, true) + " has no speed");
            m.ledCycleTime = static_cast<std::uint8_t>(*x - 1);
            break;
        }
        case Setting::Direction: {
            std::optional<int> d = Number(v);
            for (int i = 0; i < 4; ++i) {
                if (v == kDirections[U(i)]) d = i;
            }
            if (!d || *d < 0 || *d > 3) return refuse("no such direction");
            if (m.ledDirection != *d && !SetLedDirection(m, *d))
                return refuse("rotate is a direction of lighting mode 3 only");
            break;
        }
        case Setting::Symmetry:
        case Setting::Custom: {
            if (!on) return refuse("not on or off");
            (name->setting == Setting::Symmetry ? m.ledSymmetry : m.userColourEnable) = *on ? 1 : 0;
            break;
        }
        case Setting::CycleColours: {
            std::array<bool, 4> wanted{};
            std::size_t start = 0;
            while (start <= v.size()) {
                const std::size_t comma = std::min(v.find(',', start), v.size());
                const int c = Digit(v.substr(start, comma - start), 4);
                if (c == 0) return refuse("not a list of colours");
                wanted[U(c - 1)] = true;
                start = comma + 1;
            }
            // On first, then off: the switches never leave all four off.
            for (int c = 0; c < 4; ++c) {
                if (wanted[U(c)] && m.cycleColourEnable[U(c)] == 0) SwitchCycleColour(m, c);
            }
            for (int c = 0; c < 4; ++c) {
                if (!wanted[U(c)] && m.cycleColourEnable[U(c)] != 0) SwitchCycleColour(m, c);
            }
            break;
        }
    }
    return out;
}

Status SaveNamedSettings(const Session& s, const NamedSettings& n) {
    // What the window's apply saves: its changes of the record come first.
    MouseSettings saved = s.settings;
    const programming::RecordChanges changes = programming::RecordChangesOf(saved, s.macros.groups);
    saved.buttonAssign = changes.buttonAssign;
    saved.cycleColourMask = changes.cycleColourMask;
    profile::Batch batch(s.folders.settingsFile());
    WriteAllProfiles(batch, saved, s.currentProfile);
    for (int slot = 0; slot < kProfileSlots; ++slot)
        batch.set("Config" + std::to_string(slot), "WHEEL_STATUS", n.wheelStatus[U(slot)]);
    if (n.languageChanged) batch.set("Init", "VER_SEL", s.englishInterface ? "1" : "0");
    for (int i = 0; i < 3; ++i) {
        if (n.nameChangedEn[U(i)]) batch.set("Init", ProfileNameKey(i, true), n.profileNamesEn[U(i)]);
        if (n.nameChangedCn[U(i)]) batch.set("Init", ProfileNameKey(i, false), n.profileNamesCn[U(i)]);
    }
    return batch.commit();
}

}  // namespace kx700::ctl
