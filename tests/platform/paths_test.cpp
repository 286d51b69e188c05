#include <gtest/gtest.h>

#include "../support/temp_dir.h"
#include "platform/paths.h"

namespace kx700 {
namespace {

namespace fs = std::filesystem;

TEST(Paths, ProgramFolderIsTheExecutablesFolderNotTheWorkingDirectory) {
    testing::TempDir elsewhere;
    const fs::path old = fs::current_path();
    fs::current_path(elsewhere.path());
    const Folders f = ResolveFolders(std::nullopt, nullptr);
    fs::current_path(old);
    EXPECT_TRUE(fs::exists(f.programFolder / "platform_test")) << f.programFolder;
    EXPECT_EQ(f.skinsFolder(), f.programFolder / "skins");
    EXPECT_EQ(f.settingsFile(), f.programFolder / "skins" / "config" / "config.ini");
    EXPECT_EQ(f.resetFile(), f.programFolder / "skins" / "config" / "configReset.ini");
}

TEST(Paths, DataDirOptionWinsOverEnvironment) {
    EXPECT_EQ(ResolveFolders(fs::path("/opt/a b/数据"), "/srv/home").programFolder, fs::path("/opt/a b/数据"));
    EXPECT_EQ(ResolveFolders(std::nullopt, "/srv/home").programFolder, fs::path("/srv/home"));
    EXPECT_EQ(ResolveFolders(std::nullopt, "").programFolder, ExecutableFolder());
}

}  // namespace
}  // namespace kx700
