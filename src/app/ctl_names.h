#pragma once

// Every setting of the window by name, for kx700ctl get and set. Values are
// read and written in the words of the window's English texts (function names,
// lighting modes, "on"/"off"); `set` also takes the Chinese texts and numbers.
// Changes go through the same edits as the window's pages, with the same
// invariants (one CPI level and one cycle colour always on, profile 1 keeps a
// left button), and all of them reach config.ini in one file replacement.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "programming/session.h"
#include "skin/layout.h"

namespace kx700::ctl {

// What the names are read from and written to besides the session's record.
struct NamedSettings {
    // The function names of the window's menus in each language, the profile
    // keys (19-21) called by that language's profile names.
    std::array<std::string, kFunctionNameCount> functionNamesEn{}, functionNamesCn{};
    std::array<std::string, 3> profileNamesEn{}, profileNamesCn{};
    // Each profile slot's wheel status as its own section holds it: the record
    // keeps one value for all four.
    std::array<std::int32_t, kProfileSlots> wheelStatus{};
    bool languageChanged = false;
    std::array<bool, 3> nameChangedEn{}, nameChangedCn{};
};

// Loads what the window loads at start for these names: config.ini with the
// language and the profile names, the language's macro groups and their macro
// names, and the function names of both languages' layouts. False when
// config.ini could not be read (its message was shown): nothing may be saved.
bool LoadNamedSettings(Session& s, NamedSettings& n, MessageSink& messages);

// Every name, in the order `get` lists them.
std::vector<std::string> SettingNames();

// The name patterns with their ranges, for usage and error messages.
extern const char* const kSettingPatterns;

struct NamedValue {
    enum class Kind { Text, Number, Switch, List };
    Kind kind = Kind::Text;
    std::string text;  // as `get` prints it; Switch is "on"/"off", List "1,2,3"
};

// The value of one name; nullopt for a name that is not a setting.
std::optional<NamedValue> GetSetting(const Session& s, const NamedSettings& n, std::string_view name);

struct SetOutcome {
    bool unknownName = false;
    std::string problem;             // empty when the value was taken
    std::string allowed;             // what the name takes, when the value was refused
    std::vector<std::string> notes;  // what the window's rules changed besides
    bool ok() const { return !unknownName && problem.empty(); }
};

// Takes one value into the session (in memory), as the window's element for it
// would. Refused values change nothing.
SetOutcome SetSetting(Session& s, NamedSettings& n, std::string_view name, std::string_view value);

// config.ini as the window's apply saves it (CurConfig and all four slots),
// with each slot's wheel status, the language and the profile names that were
// set, in one file replacement.
Status SaveNamedSettings(const Session& s, const NamedSettings& n);

}  // namespace kx700::ctl
