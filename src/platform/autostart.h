#pragma once

// Starting with the desktop: an entry in the user's XDG autostart folder that
// starts the window minimised (kx700 -HIDE) at every login.

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace kx700 {

// The id the program's desktop entry, icon and metainfo share (set by the
// build, which installs them under it).
inline constexpr std::string_view kApplicationId = KX700_APP_ID;

// ${XDG_CONFIG_HOME:-$HOME/.config}/autostart/<id>.desktop; empty when
// neither variable names a folder (a relative XDG_CONFIG_HOME is ignored).
std::filesystem::path AutostartFile(const char* xdgConfigHome, const char* home);
std::filesystem::path AutostartFile();

// A path as one argument of a desktop entry's Exec line.
std::string DesktopExecArgument(const std::string& path);

// Whether the entry is there and starts a program: an entry the desktop was
// told to skip (Hidden=true) does not count.
bool AutostartEnabled(const std::filesystem::path& file);

// Writes the entry (replacing it atomically) to start `program` with -HIDE,
// or removes it. Both are errors only when the file could not be changed.
Status SetAutostart(const std::filesystem::path& file, bool on, const std::filesystem::path& program);

}  // namespace kx700
