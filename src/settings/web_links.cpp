#include "settings/web_links.h"

#include "platform/profile.h"

namespace kx700 {

namespace {

constexpr std::string_view kKeys[kWebLinkCount] = {"Site", "Social1", "Social2"};
constexpr std::size_t kAddressBuffer = 1024;

}  // namespace

bool IsWebAddress(std::string_view address) {
    std::string_view rest;
    if (address.starts_with("https://")) {
        rest = address.substr(8);
    } else if (address.starts_with("http://")) {
        rest = address.substr(7);
    } else {
        return false;
    }
    if (rest.empty() || rest.front() == '/') return false;  // no host
    for (const char c : address) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F) return false;
    }
    return true;
}

WebLinks ReadWebLinks(const std::filesystem::path& file) {
    WebLinks links;
    const profile::Snapshot f(file);
    if (!f.exists()) return links;
    for (std::size_t i = 0; i < links.size(); ++i) {
        std::string address = f.readString("Links", kKeys[i], "", kAddressBuffer);
        if (IsWebAddress(address)) links[i] = std::move(address);
    }
    return links;
}

}  // namespace kx700
