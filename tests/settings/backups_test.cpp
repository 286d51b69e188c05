// The dated copies of config.ini kept before it is replaced.
#include "settings/backups.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../support/temp_dir.h"

namespace kx700 {
namespace {

namespace fs = std::filesystem;

TEST(SettingsBackups, BackupsArePrunedToTheNewest) {
    testing::TempDir dir;
    const fs::path config = dir / "config.ini";
    for (int i = 0; i < 8; ++i) {
        testing::WriteBytes(config, "v" + std::to_string(i));
        ASSERT_TRUE(BackUpSettingsFile(config, 3));
    }
    std::vector<fs::path> kept;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        if (e.path().extension() == ".bak") kept.push_back(e.path());
    }
    ASSERT_EQ(kept.size(), 3u);
    std::vector<std::string> contents;
    for (const auto& k : kept) contents.push_back(testing::ReadBytes(k));
    std::ranges::sort(contents);
    EXPECT_EQ(contents, (std::vector<std::string>{"v5", "v6", "v7"}));
    EXPECT_FALSE(BackUpSettingsFile(dir / "absent.ini"));
}

}  // namespace
}  // namespace kx700
