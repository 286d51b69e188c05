#include "settings/backups.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace kx700 {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kBackupPrefix = "config.ini.";
constexpr std::string_view kBackupSuffix = ".bak";

bool IsBackupName(const std::string& name) {
    return name.size() > kBackupPrefix.size() + kBackupSuffix.size() && name.starts_with(kBackupPrefix) &&
           name.ends_with(kBackupSuffix);
}

}  // namespace

std::optional<fs::path> BackUpSettingsFile(const fs::path& settingsFile, int keep) {
    std::error_code ec;
    if (!fs::is_regular_file(settingsFile, ec)) return std::nullopt;
    // Names sort by age: a local time stamp to the millisecond and a counter
    // for copies within the same millisecond.
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    std::array<char, 32> buffer{};
    std::string stamp(buffer.data(), std::strftime(buffer.data(), buffer.size(), "%Y%m%d-%H%M%S", &local));
    stamp += "-" + std::string(millis < 100 ? (millis < 10 ? "00" : "0") : "") + std::to_string(millis);
    const fs::path folder = settingsFile.parent_path();
    std::vector<fs::path> backups;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        if (e.is_regular_file(ec) && IsBackupName(e.path().filename().string())) backups.push_back(e.path());
    }
    int counter = 0;
    const std::string sameStamp = std::string(kBackupPrefix) + stamp + "-";
    for (const fs::path& b : backups) {
        const std::string name = b.filename().string();
        if (name.starts_with(sameStamp)) counter = std::max(counter, text::ParseDecimal(name.substr(sameStamp.size())));
    }
    const std::string number = std::to_string(counter + 1);
    const fs::path target = folder / (sameStamp + std::string(4 - std::min<std::size_t>(number.size(), 4), '0') +
                                      number + std::string(kBackupSuffix));
    if (!fs::copy_file(settingsFile, target, ec)) return std::nullopt;
    backups.push_back(target);
    std::ranges::sort(backups);
    while (static_cast<int>(backups.size()) > std::max(keep, 1)) {
        fs::remove(backups.front(), ec);
        backups.erase(backups.begin());
    }
    return target;
}

}  // namespace kx700
