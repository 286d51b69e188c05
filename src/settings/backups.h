#pragma once

// The dated copies of config.ini kept beside it before it is replaced by an
// import or a reset.

#include <filesystem>
#include <optional>

namespace kx700 {

// Keeps a dated copy of config.ini beside it before it is replaced, and
// removes the oldest so that at most `keep` remain. Returns the copy's path
// (nullopt when there was no config.ini or the copy failed).
inline constexpr int kSettingsBackupsKept = 5;
std::optional<std::filesystem::path> BackUpSettingsFile(const std::filesystem::path& settingsFile,
                                                        int keep = kSettingsBackupsKept);

}  // namespace kx700
