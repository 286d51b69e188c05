#include "platform/autostart.h"

#include <gtest/gtest.h>

#include "../support/temp_dir.h"
#include "platform/atomic_file.h"

namespace kx700 {
namespace {

namespace fs = std::filesystem;

TEST(Autostart, TheEntryLivesInTheUsersAutostartFolder) {
    const std::string name = std::string(kApplicationId) + ".desktop";
    EXPECT_EQ(AutostartFile("/x", "/h"), fs::path("/x/autostart") / name);
    EXPECT_EQ(AutostartFile(nullptr, "/h"), fs::path("/h/.config/autostart") / name);
    EXPECT_EQ(AutostartFile("relative", "/h"), fs::path("/h/.config/autostart") / name);
    EXPECT_EQ(AutostartFile("", ""), fs::path());
}

TEST(Autostart, APathIsOneArgumentOfTheExecLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/kx700", R"("/usr/bin/kx700")"},
        {"/opt/my games/kx700", R"("/opt/my games/kx700")"},
        {R"(/opt/a"b`c$d\e/kx700)", R"("/opt/a\\"b\\`c\\$d\\\\e/kx700")"},
        {"/opt/100%/kx700", R"("/opt/100%%/kx700")"},
    };
    for (const auto& [path, argument] : cases) EXPECT_EQ(DesktopExecArgument(path), argument) << path;
}

TEST(Autostart, OnWritesTheEntryOffRemovesItAndStatusReadsIt) {
    testing::TempDir dir;
    const fs::path file = AutostartFile((dir / "config").c_str(), nullptr);
    EXPECT_FALSE(AutostartEnabled(file));
    ASSERT_TRUE(SetAutostart(file, true, "/usr/bin/kx700").ok());
    EXPECT_TRUE(AutostartEnabled(file));
    const std::string entry = *fileio::ReadWholeFile(file);
    EXPECT_NE(entry.find("\nExec=\"/usr/bin/kx700\" -HIDE\n"), std::string::npos) << entry;
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    ASSERT_TRUE(SetAutostart(file, false, "/usr/bin/kx700").ok());
    EXPECT_FALSE(fs::exists(file));
    ASSERT_TRUE(SetAutostart(file, false, "/usr/bin/kx700").ok()) << "off when already off";

    // An entry the user's desktop settings switched off does not start us.
    testing::WriteBytes(file, "[Desktop Entry]\nType=Application\nExec=kx700 -HIDE\nHidden=true\n");
    EXPECT_FALSE(AutostartEnabled(file));
}

TEST(Autostart, APathThatWouldBreakTheEntryIsRefused) {
    testing::TempDir dir;
    const fs::path file = dir / "autostart" / "k.desktop";
    EXPECT_FALSE(SetAutostart(file, true, "/opt/x\nExec=/bin/evil").ok());
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(SetAutostart(fs::path(), true, "/usr/bin/kx700").ok()) << "no home to put it in";
}

}  // namespace
}  // namespace kx700
