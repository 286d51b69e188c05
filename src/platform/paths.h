#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kx700 {

// The folder of the running executable. Never the working directory.
std::filesystem::path ExecutableFolder();

// Where the program's data lives. programFolder is the executable's folder
// unless `--data-dir DIR` or the environment variable KX700_HOME names another
// (the option wins over the variable); every other folder derives from it.
struct Folders {
    std::filesystem::path programFolder;

    std::filesystem::path skinsFolder() const { return programFolder / "skins"; }
    std::filesystem::path settingsFolder() const { return skinsFolder() / "config"; }
    std::filesystem::path settingsFile() const { return settingsFolder() / "config.ini"; }
    std::filesystem::path resetFile() const { return settingsFolder() / "configReset.ini"; }
    std::filesystem::path constantMacroFile() const { return programFolder / "constMacro.dat"; }
};

// dataDir: the value of --data-dir, if given; envHome: KX700_HOME, if set.
Folders ResolveFolders(const std::optional<std::filesystem::path>& dataDir, const char* envHome);

// Reads KX700_HOME from the environment.
Folders ResolveFolders(const std::optional<std::filesystem::path>& dataDir);

}  // namespace kx700
