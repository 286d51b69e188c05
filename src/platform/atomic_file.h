#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace kx700::fileio {

// Reads a whole file. nullopt when it does not exist; an error message in
// `error` (and nullopt) when it exists but cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::string* error = nullptr);

// Replaces the file's content in one step: the bytes go to a temporary file in
// the same folder, are flushed to disk, and the temporary file is renamed over
// the target. On any failure the previous file is left exactly as it was and
// the Status says why. A symbolic link is followed; the target keeps its
// permission bits. A file without any write permission bit is refused.
Status ReplaceFile(const std::filesystem::path& file, std::string_view bytes);

}  // namespace kx700::fileio
