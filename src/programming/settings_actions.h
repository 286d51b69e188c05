#pragma once

// The settings-file actions of the header and the Main page: profile names,
// import, export and reset of config.ini. The caller supplies the chosen
// paths and shows the results; the three names end up in `profileNames`.

#include <filesystem>
#include <string>

#include "programming/session.h"

namespace kx700::programming {

// Reads the three names of the session's language into the session.
void ReloadProfileNames(Session& s);

// A user's edit of name i. Returns the text the edit box should show: the
// new name, or after "More than limit!" (empty, or over 10 characters) the
// stored name read back from the file.
std::string EditProfileName(Session& s, int i, const std::string& text, MessageSink& messages);

// Copies the chosen file over config.ini and reloads the four slots and the
// names. A missing or unreadable file is "Error!"; a file that is not profile
// text or lacks one of the three names of the interface language is "File
// version error!". Either way config.ini, its backups and the record stay as
// they were. True when the file was imported.
bool ImportSettings(Session& s, const std::filesystem::path& chosen, MessageSink& messages);

// Copies config.ini to the chosen file. "Error!" when no file is there after.
bool ExportSettings(const Session& s, const std::filesystem::path& chosen, MessageSink& messages);

// Slots 3, 2, 1, 0 from configReset.ini into the record and config.ini.
// True when all four were restored.
bool ResetSettings(Session& s, MessageSink& messages);

}  // namespace kx700::programming
