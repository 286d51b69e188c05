#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/status.h"

namespace kx700 {

// The folder of the running executable. Never the working directory.
std::filesystem::path ExecutableFolder();

// Where the program's files live: two roots with the same layout (skins/…,
// constMacro.dat). The data folder holds what is shipped and is never
// written; the user folder holds what the program writes. A portable folder
// (a build tree, an unpacked archive, --data-dir) is both.
struct Folders {
    std::filesystem::path dataFolder;
    std::filesystem::path userFolder;

    static Folders Portable(const std::filesystem::path& folder) { return {folder, folder}; }
    bool portable() const { return dataFolder == userFolder; }

    // Pictures and layout files.
    std::filesystem::path skinsFolder() const { return dataFolder / "skins"; }
    // Where config.ini and its backups live.
    std::filesystem::path settingsFolder() const { return userFolder / "skins" / "config"; }
    std::filesystem::path settingsFile() const { return settingsFolder() / "config.ini"; }
    // The factory settings: configReset.ini lies here.
    std::filesystem::path resetFolder() const { return dataFolder / "skins" / "config"; }
    std::filesystem::path resetFile() const { return resetFolder() / "configReset.ini"; }
    std::filesystem::path constantMacroFile() const { return dataFolder / "constMacro.dat"; }
    // The web pages a distributor gives the link areas.
    std::filesystem::path webLinksFile() const { return dataFolder / "links.ini"; }
    // The macro groups of a language (user) and their factory copies (data).
    std::filesystem::path macroFolder(bool english) const { return LanguageFolder(userFolder, english) / "macro"; }
    std::filesystem::path macroResetFolder(bool english) const {
        return LanguageFolder(dataFolder, english) / "macroReset";
    }

private:
    static std::filesystem::path LanguageFolder(const std::filesystem::path& root, bool english) {
        return root / "skins" / (english ? "INI_EN" : "INI_CN");
    }
};

// What the resolution reads from the process: the executable's folder and
// the environment (null: not set).
struct FolderEnvironment {
    std::filesystem::path executableFolder;
    const char* kx700Home = nullptr;    // KX700_HOME
    const char* xdgDataHome = nullptr;  // XDG_DATA_HOME
    const char* home = nullptr;         // HOME
    static FolderEnvironment Current();
};

// dataDir: the value of --data-dir, if given. In order: --data-dir, then
// KX700_HOME, names one portable folder; else the executable's folder when it
// holds skins/config/config.ini and may be written; else an installation: the
// data folder <exe>/../share/kx700 and the user folder
// ${XDG_DATA_HOME:-$HOME/.local/share}/kx700 (empty when neither is set).
Folders ResolveFolders(const std::optional<std::filesystem::path>& dataDir, const FolderEnvironment& env);
Folders ResolveFolders(const std::optional<std::filesystem::path>& dataDir);

// Makes the user folder of an installation ready: created when missing, and
// on the first start filled with the data folder's first-start files (the
// settings file and both languages' macro folders). What a user folder holds
// is never overwritten. A portable folder is left alone.
Status PrepareUserFolder(const Folders& folders);

// Both at start-up: the folders of this process, ready to use.
Status FindFolders(const std::optional<std::filesystem::path>& dataDir, Folders& out);

}  // namespace kx700
