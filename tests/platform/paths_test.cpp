#include "platform/paths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "../support/temp_dir.h"

namespace kx700 {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(Paths, TheExecutablesFolderIsNeverTheWorkingDirectory) {
    testing::TempDir elsewhere;
    const fs::path old = fs::current_path();
    fs::current_path(elsewhere.path());
    const fs::path exe = FolderEnvironment::Current().executableFolder;
    fs::current_path(old);
    EXPECT_TRUE(fs::exists(exe / "platform_test")) << exe;
    EXPECT_EQ(exe, ExecutableFolder());
}

TEST(Paths, EveryFileHasItsRoot) {
    const Folders f{"/usr/share/kx700", "/home/u/.local/share/kx700"};
    EXPECT_FALSE(f.portable());
    EXPECT_EQ(f.skinsFolder(), fs::path("/usr/share/kx700/skins"));
    EXPECT_EQ(f.resetFile(), fs::path("/usr/share/kx700/skins/config/configReset.ini"));
    EXPECT_EQ(f.constantMacroFile(), fs::path("/usr/share/kx700/constMacro.dat"));
    EXPECT_EQ(f.macroResetFolder(true), fs::path("/usr/share/kx700/skins/INI_EN/macroReset"));
    EXPECT_EQ(f.settingsFile(), fs::path("/home/u/.local/share/kx700/skins/config/config.ini"));
    EXPECT_EQ(f.macroFolder(false), fs::path("/home/u/.local/share/kx700/skins/INI_CN/macro"));
    const Folders p = Folders::Portable("/opt/k");
    EXPECT_TRUE(p.portable());
    EXPECT_EQ(p.settingsFile(), fs::path("/opt/k/skins/config/config.ini"));
    EXPECT_EQ(p.resetFile(), fs::path("/opt/k/skins/config/configReset.ini"));
}

TEST(Paths, ResolutionOrder) {
    testing::TempDir dir;
    const fs::path build = dir / "build";  // holds its settings: a build tree or an unpacked archive
    testing::WriteBytes(build / "skins/config/config.ini", "[Init]\n");
    const fs::path bin = dir / "usr" / "bin";  // an installation
    fs::create_directories(bin);
    struct Case {
        const char* what;
        std::optional<fs::path> dataDir;
        FolderEnvironment env;
        Folders expected;
    };
    const fs::path share = dir / "usr" / "share" / "kx700";
    const Case cases[] = {
        {"--data-dir wins",
         fs::path("/opt/a b/数据"),
         {bin, "/srv/home", nullptr, nullptr},
         Folders::Portable("/opt/a b/数据")},
        {"then KX700_HOME", std::nullopt, {bin, "/srv/home", "/x", "/h"}, Folders::Portable("/srv/home")},
        {"a folder with its settings", std::nullopt, {build, "", "/x", "/h"}, Folders::Portable(build)},
        {"installed, XDG_DATA_HOME", std::nullopt, {bin, nullptr, "/x", "/h"}, {share, "/x/kx700"}},
        {"installed, HOME", std::nullopt, {bin, nullptr, nullptr, "/h"}, {share, "/h/.local/share/kx700"}},
        {"a relative XDG_DATA_HOME is ignored",
         std::nullopt,
         {bin, nullptr, "x", "/h"},
         {share, "/h/.local/share/kx700"}},
        {"no home at all", std::nullopt, {bin, nullptr, nullptr, nullptr}, {share, ""}},
    };
    for (const Case& c : cases) {
        const Folders f = ResolveFolders(c.dataDir, c.env);
        EXPECT_EQ(f.dataFolder, c.expected.dataFolder) << c.what;
        EXPECT_EQ(f.userFolder, c.expected.userFolder) << c.what;
    }
}

struct Installed {
    testing::TempDir dir;
    Folders folders{dir / "share", dir / "home" / "kx700"};
    Installed() {
        testing::WriteBytes(folders.dataFolder / "skins/config/config.ini", "shipped");
        testing::WriteBytes(folders.dataFolder / "skins/config/configReset.ini", "factory");
        for (bool english : {true, false}) {
            const fs::path lang = folders.dataFolder / "skins" / (english ? "INI_EN" : "INI_CN");
            testing::WriteBytes(lang / "macro/macroGrp.ini", english ? "en groups" : "cn groups");
            testing::WriteBytes(lang / "macro/Office.dat", "office");
            testing::WriteBytes(lang / "macroReset/macroGrp.ini", "reset");
        }
    }
};

TEST(Paths, TheFirstStartFillsTheUserFolderAndLaterStartsKeepItsFiles) {
    Installed i;
    const Folders& f = i.folders;
    ASSERT_TRUE(PrepareUserFolder(f).ok());
    EXPECT_EQ(Read(f.settingsFile()), "shipped");
    EXPECT_EQ(Read(f.macroFolder(true) / "macroGrp.ini"), "en groups");
    EXPECT_EQ(Read(f.macroFolder(false) / "Office.dat"), "office");
    // Factory files are read where they were shipped, never copied.
    EXPECT_FALSE(fs::exists(f.userFolder / "skins/config/configReset.ini"));
    EXPECT_FALSE(fs::exists(f.userFolder / "skins/INI_EN/macroReset"));
    EXPECT_FALSE(fs::exists(f.userFolder / ".first-start"));

    testing::WriteBytes(f.settingsFile(), "mine");
    fs::remove(f.macroFolder(false) / "Office.dat");  // a group the user deleted stays deleted
    ASSERT_TRUE(PrepareUserFolder(f).ok());
    EXPECT_EQ(Read(f.settingsFile()), "mine");
    EXPECT_FALSE(fs::exists(f.macroFolder(false) / "Office.dat"));
    EXPECT_EQ(Read(f.dataFolder / "skins/config/config.ini"), "shipped");
}

TEST(Paths, ADataFolderWithoutItsFilesLeavesTheFirstStartForLater) {
    Installed i;
    const fs::path shipped = i.dir / "shipped";
    fs::rename(i.folders.dataFolder, shipped);
    fs::create_directories(i.folders.dataFolder);
    ASSERT_TRUE(PrepareUserFolder(i.folders).ok());
    EXPECT_FALSE(fs::exists(i.folders.userFolder / "skins"));
    // The installation repaired, the next start fills the user folder.
    fs::remove_all(i.folders.dataFolder);
    fs::rename(shipped, i.folders.dataFolder);
    ASSERT_TRUE(PrepareUserFolder(i.folders).ok());
    EXPECT_EQ(Read(i.folders.settingsFile()), "shipped");
}

TEST(Paths, AUserFolderThatCannotBeMadeIsAClearError) {
    Installed i;
    testing::WriteBytes(i.dir / "file", "x");
    const Folders blocked{i.folders.dataFolder, i.dir / "file" / "kx700"};
    const Status st = PrepareUserFolder(blocked);
    ASSERT_FALSE(st.ok());
    EXPECT_NE(st.message().find((i.dir / "file" / "kx700").string()), std::string::npos) << st.message();
    EXPECT_FALSE(PrepareUserFolder(Folders{i.folders.dataFolder, ""}).ok());
    // A portable folder is the program's own business: nothing is made.
    EXPECT_TRUE(PrepareUserFolder(Folders::Portable(i.dir / "nowhere")).ok());
    EXPECT_FALSE(fs::exists(i.dir / "nowhere"));
}

}  // namespace
}  // namespace kx700
