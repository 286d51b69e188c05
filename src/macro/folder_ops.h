#pragma once

#include <filesystem>

namespace kx700::macro {

// Deletes everything inside folder (files, and sub-folders after emptying
// them); the folder itself stays. Symbolic links are removed, never followed.
// Errors are ignored: the macro reset goes on with whatever is left.
void DeleteFolderContents(const std::filesystem::path& folder);

// Creates destination (an existing one is fine) and copies every file of
// source into it, replacing files of the same name, recursing into folders.
// Errors are ignored.
void CopyFolder(const std::filesystem::path& source, const std::filesystem::path& destination);

}  // namespace kx700::macro
