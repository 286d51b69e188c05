#pragma once

// The web pages the window's link areas open: the site and two social pages.
// A distributor fills them in links.ini of the data folder; nothing ships an
// address of its own. A link that is not set opens nothing.

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace kx700 {

inline constexpr int kWebLinkCount = 3;                   // site, first and second social page
using WebLinks = std::array<std::string, kWebLinkCount>;  // empty: not set

// Whether `address` may be handed to the desktop's browser: http or https,
// a host, and no blank or control character. Anything else (file:, a
// program's scheme, a half-typed line) is not a link.
bool IsWebAddress(std::string_view address);

// [Links] Site, Social1 and Social2 of `file`. A missing file, key or an
// address that is not a web address leaves that link unset.
WebLinks ReadWebLinks(const std::filesystem::path& file);

}  // namespace kx700
