#pragma once

// The header's and Main page's settings-file actions: profile names, import,
// export and reset of config.ini, and the dated backups kept before config.ini
// is replaced. No widgets here: the window supplies the chosen paths and shows
// the results.

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "programming/session.h"
#include "skin/layout.h"

class QWidget;

namespace kx700::ui {

using FunctionNames = std::array<std::string, kFunctionNameCount>;

// How the window asks the user for a settings file. Tests answer without a
// dialog; nullopt is a cancelled dialog.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual std::optional<std::filesystem::path> openSettingsFile(QWidget* parent, const std::filesystem::path& start) = 0;
    virtual std::optional<std::filesystem::path> saveSettingsFile(QWidget* parent, const std::filesystem::path& start) = 0;
    // Macro group files (*.dat): import and export.
    virtual std::optional<std::filesystem::path> openMacroFile(QWidget* parent, const std::filesystem::path& startFolder) = 0;
    virtual std::optional<std::filesystem::path> saveMacroFile(QWidget* parent, const std::filesystem::path& start) = 0;
};

// The ordinary file dialogs ("All Files(*.ini)", overwrite prompt on save).
class DialogFileChooser final : public FileChooser {
public:
    std::optional<std::filesystem::path> openSettingsFile(QWidget* parent, const std::filesystem::path& start) override;
    std::optional<std::filesystem::path> saveSettingsFile(QWidget* parent, const std::filesystem::path& start) override;
    std::optional<std::filesystem::path> openMacroFile(QWidget* parent, const std::filesystem::path& startFolder) override;
    std::optional<std::filesystem::path> saveMacroFile(QWidget* parent, const std::filesystem::path& start) override;
};

// Reads the three names of the session's language into the session and the
// profile-key function names (entries 19-21).
void ReloadProfileNames(Session& s, FunctionNames& names);

// A user's edit of name i. Returns the text the edit box should show: the
// new name, or after "More than limit!" (empty, or over 10 characters) the
// stored name read back from the file.
std::string EditProfileName(Session& s, int i, const std::string& text, FunctionNames& names, MessageSink& messages);

// Copies the chosen file over config.ini and reloads the four slots and the
// names. A missing or unreadable file is "Error!"; a file that is not profile
// text or lacks one of the three names of the interface language is "File
// version error!". Either way config.ini, its backups and the record stay as
// they were. True when the file was imported.
bool ImportSettings(Session& s, const std::filesystem::path& chosen, FunctionNames& names, MessageSink& messages);

// Copies config.ini to the chosen file. "Error!" when no file is there after.
bool ExportSettings(const Session& s, const std::filesystem::path& chosen, MessageSink& messages);

// Slots 3, 2, 1, 0 from configReset.ini into the record and config.ini.
void ResetSettings(Session& s, MessageSink& messages);

// Keeps a dated copy of config.ini beside it before it is replaced, and
// removes the oldest so that at most `keep` remain. Returns the copy's path
// (nullopt when there was no config.ini or the copy failed).
inline constexpr int kSettingsBackupsKept = 5;
std::optional<std::filesystem::path> BackUpSettingsFile(const std::filesystem::path& settingsFile,
                                                        int keep = kSettingsBackupsKept);

}  // namespace kx700::ui
