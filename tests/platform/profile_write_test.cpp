// Writing INI files: in-place edits that keep every other byte, atomic
// replacement, and refusal of anything that would inject lines.
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "../support/temp_dir.h"
#include "platform/profile.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace kx700 {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

struct Write {
    const char* section;
    const char* key;
    const char* value;
};

struct WriteCase {
    const char* what;
    std::string before;  // "<none>" for a missing file
    std::vector<Write> writes;
    std::string after;
};
void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.what; }

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, EditsOnlyWhatItMust) {
    const WriteCase& c = GetParam();
    TempDir dir;
    const auto f = dir / "f.ini";
    if (c.before != "<none>") WriteBytes(f, c.before);
    for (const Write& w : c.writes) ASSERT_TRUE(profile::WriteString(f, w.section, w.key, w.value).ok()) << c.what;
    EXPECT_EQ(ReadBytes(f), c.after) << c.what;

    // The same writes as one batch give the same file.
    if (c.before != "<none>")
        WriteBytes(f, c.before);
    else
        fs::remove(f);
    profile::Batch batch(f);
    for (const Write& w : c.writes) batch.set(w.section, w.key, w.value);
    ASSERT_TRUE(batch.commit().ok());
    EXPECT_EQ(ReadBytes(f), c.after) << c.what << " (batch)";
}

INSTANTIATE_TEST_SUITE_P(
    Semantics, ProfileWrite,
    ::testing::Values(WriteCase{"replace in place, keep spelling and other bytes",
                                "; top\r\n[s]\r\n  Key = old  \r\nother=1\n",
                                {{"S", "key", "new"}},
                                "; top\r\n[s]\r\nKey=new\r\nother=1\n"},
                      WriteCase{"new key goes after the last key line of its section",
                                "[A]\r\na=1\r\n\r\n; note\r\n[B]\r\nb=1\r\n",
                                {{"a", "c", "2"}},
                                "[A]\r\na=1\r\nc=2\r\n\r\n; note\r\n[B]\r\nb=1\r\n"},
                      WriteCase{"new key in a section without keys",
                                "[A]\r\n[B]\r\nb=1\r\n",
                                {{"A", "x", "1"}},
                                "[A]\r\nx=1\r\n[B]\r\nb=1\r\n"},
                      WriteCase{"new section at the end of a file without final line end",
                                "[A]\r\na=1",
                                {{"B", "b", "2"}},
                                "[A]\r\na=1\r\n[B]\r\nb=2\r\n"},
                      WriteCase{"missing file is created",
                                "<none>",
                                {{"S", "k", "v"}, {"S", "k2", "v2"}, {"T", "k", "w"}},
                                "[S]\r\nk=v\r\nk2=v2\r\n[T]\r\nk=w\r\n"},
                      WriteCase{"CR-only file keeps its line ends, new lines get CRLF",
                                "[S]\ra=1\rb=2\r",
                                {{"S", "a", "9"}, {"S", "c", "3"}},
                                "[S]\ra=9\rb=2\rc=3\r\n"},
                      WriteCase{"the first of duplicate sections is written",
                                "[S]\na=1\n[S]\na=2\n",
                                {{"s", "a", "x"}, {"S", "b", "y"}},
                                "[S]\na=x\nb=y\r\n[S]\na=2\n"},
                      WriteCase{"keys before the first section are not touched",
                                "a=1\r\n[S]\r\n",
                                {{"S", "a", "2"}},
                                "a=1\r\n[S]\r\na=2\r\n"},
                      WriteCase{"a comment that looks like the key stays",
                                "[S]\r\n;a=1\r\n",
                                {{"S", "a", "2"}},
                                "[S]\r\na=2\r\n;a=1\r\n"},
                      WriteCase{"UTF-8 byte-order mark kept",
                                "\xEF\xBB\xBF[S]\r\na=1\r\n",
                                {{"S", "a", "默认"}},
                                "\xEF\xBB\xBF[S]\r\na=默认\r\n"},
                      WriteCase{"empty value written as such", "[S]\r\na=1\r\n", {{"S", "a", ""}}, "[S]\r\na=\r\n"}),
    [](const ::testing::TestParamInfo<WriteCase>& p) { return "case" + std::to_string(p.index); });

std::string Utf16(std::u16string_view text) {
    std::string out = "\xFF\xFE";
    for (char16_t u : text) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
    return out;
}

TEST(ProfileWriteFile, Utf16FileStaysUtf16) {
    TempDir dir;
    const auto f = dir / "f.ini";
    WriteBytes(f, Utf16(u"[Init]\r\nConfigName1=默认\r\nX=\xD800lone\r\n"));
    ASSERT_TRUE(profile::WriteString(f, "Init", "ConfigName2", "射击").ok());
    EXPECT_EQ(ReadBytes(f), Utf16(u"[Init]\r\nConfigName1=默认\r\nX=\xD800lone\r\nConfigName2=射击\r\n"));
    EXPECT_EQ(profile::ReadString(f, "Init", "ConfigName2", "", 16), "射击");
}

TEST(ProfileWriteFile, LineBreaksAreRefusedAndNothingIsWritten) {
    TempDir dir;
    const auto f = dir / "f.ini";
    const std::string before = "[S]\r\na=1\r\n";
    for (const Write& w : std::vector<Write>{{"S", "a", "x\r\n[Evil]"}, {"S", "a\nb", "1"}, {"S\r", "a", "1"}}) {
        WriteBytes(f, before);
        const Status s = profile::WriteString(f, w.section, w.key, w.value);
        EXPECT_FALSE(s.ok());
        EXPECT_FALSE(s.message().empty());
        EXPECT_EQ(ReadBytes(f), before);
    }
    profile::Batch batch(f);
    batch.set("S", "b", "fine").set("S", "c", "bad\n");
    EXPECT_FALSE(batch.commit().ok());
    EXPECT_EQ(ReadBytes(f), before);
}

#ifndef _WIN32

size_t CountEntries(const fs::path& dir) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
    return n;
}

// A write that the disk cannot take (here: the process may not grow a file
// past 4 KiB, as on a full disk) fails, says so, and leaves the old file.
TEST(ProfileWriteFile, FailedWriteLeavesPreviousFileIntact) {
    TempDir dir;
    const auto f = dir / "config.ini";
    const std::string before = "[S]\r\na=1\r\n";
    WriteBytes(f, before);

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const Status s = profile::WriteString(f, "S", "a", std::string(64 * 1024, 'x'));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.message().find("config.ini"), std::string::npos) << s.message();
    EXPECT_EQ(ReadBytes(f), before);
    EXPECT_EQ(CountEntries(dir.path()), 1u) << "temporary file left behind";
    EXPECT_EQ(profile::ReadString(f, "S", "a", "", 8), "1");
}

TEST(ProfileWriteFile, ReadOnlyFileAndMissingFolderAreErrors) {
    TempDir dir;
    const auto f = dir / "ro.ini";
    WriteBytes(f, "[S]\r\na=1\r\n");
    fs::permissions(f, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_FALSE(profile::WriteString(f, "S", "a", "2").ok());
    EXPECT_EQ(ReadBytes(f), "[S]\r\na=1\r\n");
    EXPECT_FALSE(profile::WriteString(dir / "no" / "such" / "f.ini", "S", "a", "2").ok());
}

TEST(ProfileWriteFile, KeepsPermissionsAndFollowsLinks) {
    TempDir dir;
    const auto target = dir / "real.ini";
    WriteBytes(target, "[S]\r\na=1\r\n");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(target, dir / "link.ini");
    ASSERT_TRUE(profile::WriteString(dir / "link.ini", "S", "a", "2").ok());
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_EQ(ReadBytes(target), "[S]\r\na=2\r\n");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(ProfileWriteFile, UnchangedValuesDoNotRewriteTheFile) {
    TempDir dir;
    const auto f = dir / "f.ini";
    WriteBytes(f, "[S]\r\na=1\r\n");
    struct stat before {};
    ASSERT_EQ(::stat(f.c_str(), &before), 0);
    ASSERT_TRUE(profile::WriteString(f, "S", "a", "1").ok());
    struct stat after {};
    ASSERT_EQ(::stat(f.c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
}

#endif

}  // namespace
}  // namespace kx700

namespace kx700 {
namespace {

// A reader on another thread (the device thread re-reading a profile) never
// sees a half-written file while the window's thread keeps saving.
TEST(ProfileConcurrency, ReadersSeeWholeVersionsOnly) {
    testing::TempDir dir;
    const auto f = dir / "config.ini";
    ASSERT_TRUE(profile::Batch(f).set("S", "a", "0").set("S", "b", "0").commit().ok());
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!done.load()) {
            const profile::Snapshot snap(f);
            if (snap.readString("S", "a", "x", 16) != snap.readString("S", "b", "y", 16)) torn.fetch_add(1);
        }
    });
    for (int i = 1; i <= 60; ++i) {
        const std::string v = std::to_string(i);
        ASSERT_TRUE(profile::Batch(f).set("S", "a", v).set("S", "b", v).commit().ok());
    }
    done = true;
    reader.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_EQ(profile::ReadString(f, "S", "a", "", 16), "60");
}

}  // namespace
}  // namespace kx700
