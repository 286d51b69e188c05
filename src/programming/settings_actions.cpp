#include "programming/settings_actions.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <optional>
#include <thread>

#include "platform/atomic_file.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "settings/backups.h"
#include "settings/settings_file.h"

namespace kx700::programming {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxNameLength = 10;

}  // namespace

void ReloadProfileNames(Session& s) { s.profileNames = ReadProfileNames(s.folders.settingsFile(), s.englishInterface); }

std::string EditProfileName(Session& s, int i, const std::string& text, MessageSink& messages) {
    std::string& stored = s.profileNames[static_cast<std::size_t>(i)];
    const std::size_t length = text::Utf16Length(text);
    std::string shown = text;
    if (length == 0 || length > kMaxNameLength) {
        messages.show("More than limit!");
        stored = ReadProfileNames(s.folders.settingsFile(), s.englishInterface)[static_cast<std::size_t>(i)];
        shown = stored;
    } else if (text != stored && !s.settingsLoaded) {
        // No settings file to keep it in: writing one would create a file
        // whose profiles are all zero. The name lives until the program ends.
        stored = text;
    } else if (text != stored) {
        const Status st =
            profile::WriteString(s.folders.settingsFile(), "Init", ProfileNameKey(i, s.englishInterface), text);
        if (st.ok()) {
            stored = text;
        } else {
            // Not on disk, so not the name: the box goes back to the stored one.
            messages.show(st.message());
            shown = stored;
        }
    }
    return shown;
}

bool ImportSettings(Session& s, const fs::path& chosen, MessageSink& messages) {
    const fs::path settingsFile = s.folders.settingsFile();
    std::error_code ec;
    if (!fs::is_regular_file(chosen, ec)) {
        messages.show("Error!");
        return false;
    }
    std::string error;
    const std::optional<std::string> bytes = fileio::ReadWholeFile(chosen, &error);
    if (!bytes) {
        messages.show("Error!");
        return false;
    }
    // The file is judged before it replaces anything: a file that is not a
    // settings file would otherwise leave every button blank. Its own names,
    // read from the bytes that would be copied, are the test.
    const std::optional<profile::Snapshot> file = profile::Snapshot::OfText(*bytes);
    const std::array<std::string, 3> imported =
        file ? ProfileNamesIn(*file, s.englishInterface) : std::array<std::string, 3>{};
    if (!file || !std::ranges::all_of(imported, [](const std::string& n) { return !n.empty(); })) {
        messages.show("File version error!");
        return false;
    }
    if (!fs::equivalent(chosen, settingsFile, ec)) {
        BackUpSettingsFile(settingsFile);
        if (const Status st = fileio::ReplaceFile(settingsFile, *bytes); !st.ok()) {
            messages.show("Error!");
            return false;
        }
    }
    s.profileNames = imported;
    s.settingsLoaded = LoadAllProfiles(s.settings, s.folders.settingsFolder(), messages);
    return true;
}

bool ExportSettings(const Session& s, const fs::path& chosen, MessageSink& messages) {
    std::error_code ec;
    if (fs::equivalent(chosen, s.folders.settingsFile(), ec)) return true;  // already there
    ec.clear();
    // A failed copy is an error even when an older file of that name is left.
    fs::copy_file(s.folders.settingsFile(), chosen, fs::copy_options::overwrite_existing, ec);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (ec || !fs::exists(chosen)) {
        messages.show("Error!");
        return false;
    }
    return true;
}

bool ResetSettings(Session& s, MessageSink& messages) {
    BackUpSettingsFile(s.folders.settingsFile());
    bool restored = true;
    for (int slot : {3, 2, 1, 0}) {
        // A slot the factory file could not give is not written back: that
        // would store unapplied edits as if they were the factory values.
        if (!LoadProfile(s.settings, s.folders.resetFolder(), slot, true, messages)) {
            restored = false;
            continue;
        }
        if (const Status st = SaveProfile(s.settings, s.folders.settingsFile(), slot); !st.ok()) {
            messages.show(st.message());
            restored = false;
        }
    }
    // The factory settings in config.ini make a record worth applying, even
    // when config.ini could not be read at start.
    if (restored) s.settingsLoaded = true;
    return restored;
}

}  // namespace kx700::programming
