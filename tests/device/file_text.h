#pragma once

// File helpers for the device tests, on the program's own file layer: the
// stream-based helpers trip GCC 12's null-dereference warning under the
// sanitizer presets.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/atomic_file.h"

namespace kx700::device::testing {

inline std::string ReadText(const std::filesystem::path& file) {
    return fileio::ReadWholeFile(file).value_or(std::string());
}

inline void WriteText(const std::filesystem::path& file, std::string_view text) {
    const Status written = fileio::ReplaceFile(file, text);
    ASSERT_TRUE(written) << written.message();
}

}  // namespace kx700::device::testing
