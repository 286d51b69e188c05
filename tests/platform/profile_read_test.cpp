// Reading INI files the way the Windows private-profile functions do.
#include <gtest/gtest.h>

#include <string>

#include "../support/temp_dir.h"
#include "platform/profile.h"

namespace kx700 {
namespace {

using testing::TempDir;
using testing::WriteBytes;

std::string Utf16File(std::u16string_view text) {
    std::string out = "\xFF\xFE";
    for (char16_t u : text) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
    return out;
}

struct ReadCase {
    const char* what;
    std::string file;
    const char* section;
    const char* key;
    const char* defaultValue;
    std::size_t size;
    std::string expected;
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.what; }

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, GivesWhatWindowsGives) {
    const ReadCase& c = GetParam();
    TempDir dir;
    WriteBytes(dir / "f.ini", c.file);
    EXPECT_EQ(profile::ReadString(dir / "f.ini", c.section, c.key, c.defaultValue, c.size), c.expected) << c.what;
    // The same bytes parsed in memory read the same (the fuzzers go this way).
    EXPECT_EQ(profile::Snapshot::Parse(c.file).readString(c.section, c.key, c.defaultValue, c.size), c.expected)
        << c.what;
    // And past the cache, with a read of another file nested inside that must
    // not disturb the text the outer one still points into.
    WriteBytes(dir / "other.ini", "[S]\r\nk=other\r\n");
    profile::Snapshot::ReadOnce(dir / "f.ini", [&](const profile::Snapshot& f) {
        const std::string_view before = f.readView(c.section, c.key, c.defaultValue, c.size);
        profile::Snapshot::ReadOnce(
            dir / "other.ini", [&](const profile::Snapshot& o) { EXPECT_EQ(o.readString("S", "k", "", 64), "other"); });
        EXPECT_EQ(before, c.expected) << c.what;
        EXPECT_EQ(f.readString(c.section, c.key, c.defaultValue, c.size), c.expected) << c.what;
    });
}

INSTANTIATE_TEST_SUITE_P(
    Semantics, ProfileRead,
    ::testing::Values(
        ReadCase{"plain key", "[S]\r\nk=v\r\n", "S", "k", "d", 64, "v"},
        ReadCase{"names ignore case", "[SeCtIoN]\r\nKeY=v\r\n", "section", "KEY", "d", 64, "v"},
        ReadCase{"only the first section of a name is searched", "[S]\na=1\n[s]\na=2\nb=3\n", "S", "b", "d", 64, "d"},
        ReadCase{"first section value wins", "[S]\na=1\n[s]\na=2\n", "S", "a", "d", 64, "1"},
        ReadCase{"first key of a name wins", "[S]\na=1\nA=2\n", "S", "a", "d", 64, "1"},
        ReadCase{"keys before the first section are unreachable", "a=1\n[S]\nb=2\n", "S", "a", "d", 64, "d"},
        ReadCase{"CR-only line ends", "[S]\ra=1\rb=2\r", "S", "b", "d", 64, "2"},
        ReadCase{"mixed line ends", "[S]\r\na=1\rb=2\nc=3", "S", "c", "d", 64, "3"},
        ReadCase{"blanks and tabs trimmed", " \t[ S ] \n\t a \t=\t v v \t\n", "S", "a", "d", 64, "v v"},
        ReadCase{"double quotes removed", "[S]\na=\" x y \"\n", "S", "a", "d", 64, " x y "},
        ReadCase{"single quotes removed", "[S]\na='x'\n", "S", "a", "d", 64, "x"},
        ReadCase{"unmatched quotes kept", "[S]\na=\"x'\n", "S", "a", "d", 64, "\"x'"},
        ReadCase{"only one pair removed", "[S]\na=\"\"x\"\"\n", "S", "a", "d", 64, "\"x\""},
        ReadCase{"a lone quote is kept", "[S]\na=\"\n", "S", "a", "d", 64, "\""},
        ReadCase{"line without '=' is no key", "[S]\na\n", "S", "a", "d", 64, "d"},
        ReadCase{"';' key is a comment", "[S]\n;a=1\n", "S", ";a", "d", 64, "d"},
        ReadCase{"value keeps further '='", "[S]\na=b=c\n", "S", "a", "d", 64, "b=c"},
        ReadCase{"empty value is not the default", "[S]\na=\n", "S", "a", "d", 64, ""},
        ReadCase{"value cut to size - 1", "[S]\na=12345\n", "S", "a", "d", 5, "1234"},
        ReadCase{"size 1 gives empty text", "[S]\na=12345\n", "S", "a", "d", 1, ""},
        ReadCase{"size 0 gives empty text", "[S]\na=12345\n", "S", "a", "d", 0, ""},
        ReadCase{"default cut to size - 1", "[S]\n", "S", "a", "abcdef", 4, "abc"},
        ReadCase{"missing section gives default", "[T]\na=1\n", "S", "a", "d", 64, "d"},
        ReadCase{"cut counts UTF-16 units", "[S]\na=默认abc\n", "S", "a", "d", 3, "默认"},
        ReadCase{"a surrogate pair is never split", "[S]\na=\xF0\x9F\x98\x80x\n", "S", "a", "d", 2, ""},
        ReadCase{"a surrogate pair counts two", "[S]\na=\xF0\x9F\x98\x80x\n", "S", "a", "d", 3, "\xF0\x9F\x98\x80"},
        ReadCase{"UTF-8 byte-order mark accepted", "\xEF\xBB\xBF[S]\na=1\n", "S", "a", "d", 64, "1"},
        ReadCase{"UTF-16LE file", Utf16File(u"[S]\r\nname=默认\r\n"), "S", "name", "d", 64, "默认"},
        ReadCase{"empty file", "", "S", "a", "d", 64, "d"},
        ReadCase{"binary junk", std::string("\0\x01\xFF[S\0]\n=\n\xFE\xFF", 12), "S", "a", "d", 64, "d"},
        ReadCase{"section without closing bracket", "[S\na=1\n", "S", "a", "d", 64, "1"}),
    [](const ::testing::TestParamInfo<ReadCase>& p) { return "case" + std::to_string(p.index); });

TEST(ProfileText, BinaryAndMalformedBytesAreNotText) {
    struct Row {
        const char* what;
        std::string bytes;
        bool text;
    };
    for (const Row& r : {
             Row{"plain", "[S]\r\na=1\r\n", true},
             Row{"empty", "", true},
             Row{"Chinese and a pair", "[S]\na=默认\xF0\x9F\x98\x80\n", true},
             Row{"U+FFFD itself", "[S]\na=\xEF\xBF\xBD\n", true},
             Row{"UTF-8 byte-order mark", "\xEF\xBB\xBF[S]\na=1\n", true},
             Row{"UTF-16LE", Utf16File(u"[S]\r\na=默认\U0001F600\r\n"), true},
             Row{"a NUL byte", std::string("[S]\na=1\0\n", 9), false},
             Row{"a stray byte", "[S]\na=\xFF\n", false},
             Row{"a cut sequence", "[S]\na=\xE9\x98", false},
             Row{"an overlong form", "[S]\na=\xC0\x80\n", false},
             Row{"an encoded surrogate", "[S]\na=\xED\xA0\x80\n", false},
             Row{"UTF-16LE with a NUL unit", Utf16File(std::u16string(u"[S]\na=\0x", 8)), false},
             Row{"UTF-16LE with a lone low surrogate", Utf16File(u"a=\xDC00"), false},
             Row{"UTF-16LE ending in a high surrogate", Utf16File(u"a=\xD800"), false},
             Row{"UTF-16LE with half a unit", Utf16File(u"a=1") + "x", false},
         }) {
        EXPECT_EQ(profile::IsProfileText(r.bytes), r.text) << r.what;
        const auto snapshot = profile::Snapshot::OfText(r.bytes);
        EXPECT_EQ(snapshot.has_value(), r.text) << r.what;
        if (snapshot && r.bytes.find("a=") != std::string::npos) {
            EXPECT_NE(snapshot->readString("S", "a", "", 64), "") << r.what;
        }
    }
}

TEST(ProfileReadFile, ReadOnceOfAMissingFileOrAFolderReadsAsMissing) {
    TempDir dir;
    for (const auto& file : {dir / "absent.ini", dir.path()}) {
        bool called = false;
        profile::Snapshot::ReadOnce(file, [&](const profile::Snapshot& f) {
            called = true;
            EXPECT_FALSE(f.exists());
            EXPECT_EQ(f.readString("S", "k", "d", 64), "d");
        });
        EXPECT_TRUE(called);
    }
}

TEST(ProfileReadFile, MissingFileGivesDefault) {
    TempDir dir;
    EXPECT_EQ(profile::ReadString(dir / "none.ini", "S", "a", "dflt", 64), "dflt");
    EXPECT_EQ(profile::ReadInt(dir / "none.ini", "S", "a", 5), 0);
}

TEST(ProfileReadFile, ReadIntConvertsLikeTheCRuntime) {
    TempDir dir;
    WriteBytes(dir / "f.ini", "[S]\na=  -12x\nb=junk\nc=+7\nd=99999999999999\ne=-99999999999999\n");
    EXPECT_EQ(profile::ReadInt(dir / "f.ini", "S", "a", 64), -12);
    EXPECT_EQ(profile::ReadInt(dir / "f.ini", "S", "b", 64), 0);
    EXPECT_EQ(profile::ReadInt(dir / "f.ini", "S", "c", 64), 7);
    EXPECT_EQ(profile::ReadInt(dir / "f.ini", "S", "d", 64), 2147483647);
    EXPECT_EQ(profile::ReadInt(dir / "f.ini", "S", "e", 64), -2147483647 - 1);
    EXPECT_EQ(profile::ReadInt(dir / "f.ini", "S", "d", 5), 9999);
}

// The parse cache must never serve a stale file: a rewrite within the same
// clock tick, of the same size, or a replacement by another file is seen.
TEST(ProfileReadFile, CacheSeesEveryChange) {
    TempDir dir;
    const auto f = dir / "f.ini";
    WriteBytes(f, "[S]\na=1\n");
    EXPECT_EQ(profile::ReadString(f, "S", "a", "", 8), "1");
    WriteBytes(f, "[S]\na=2\n");  // same size, same tick
    EXPECT_EQ(profile::ReadString(f, "S", "a", "", 8), "2");
    WriteBytes(dir / "g.ini", "[S]\na=3\n");
    std::filesystem::rename(dir / "g.ini", f);
    EXPECT_EQ(profile::ReadString(f, "S", "a", "", 8), "3");
    std::filesystem::remove(f);
    EXPECT_EQ(profile::ReadString(f, "S", "a", "gone", 8), "gone");
}

TEST(ProfileReadFile, EnormousFileWithHugeValues) {
    TempDir dir;
    std::string big = "[S]\r\nlong=" + std::string(100000, '7') + "\r\n";
    big.reserve(24u << 20);
    while (big.size() < (24u << 20)) big += "[Filler]\r\nkey=value value value value value\r\n";
    big += "[Last]\r\nend=ok\r\n";
    WriteBytes(dir / "big.ini", big);
    EXPECT_EQ(profile::ReadString(dir / "big.ini", "S", "long", "", 10), "777777777");
    EXPECT_EQ(profile::ReadString(dir / "big.ini", "Last", "end", "", 10), "ok");
    EXPECT_EQ(profile::ReadString(dir / "big.ini", "Filler", "key", "", 6), "value");
}

TEST(ProfileReadFile, FolderInPlaceOfFileReadsAsMissing) {
    TempDir dir;
    std::filesystem::create_directories(dir / "f.ini");
    EXPECT_EQ(profile::ReadString(dir / "f.ini", "S", "a", "d", 8), "d");
}

}  // namespace
}  // namespace kx700
