#include "platform/text.h"

#include <gtest/gtest.h>

namespace kx700::text {
namespace {

TEST(Text, Utf16RoundTripKeepsUnpairedSurrogates) {
    const std::u16string samples[] = {u"",
                                      u"abc",
                                      u"默认射击",
                                      u"\U0001F600x",
                                      u"\xD800",
                                      u"a\xDC00"
                                      u"b",
                                      u"\xDBFF\xD800"};
    for (const auto& s : samples) EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(s)), s);
}

TEST(Text, InvalidUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xE9\x98"), u"\uFFFD\uFFFD");  // cut sequence
    EXPECT_EQ(Utf8ToUtf16("\xC0\x80"), u"\uFFFD\uFFFD");  // overlong
    EXPECT_EQ(Utf16Length("a\xFF"
                          "b"),
              3u);
}

TEST(Text, Utf16LengthAndTruncation) {
    EXPECT_EQ(Utf16Length("默认"), 2u);
    EXPECT_EQ(Utf16Length("\xF0\x9F\x98\x80"), 2u);
    EXPECT_EQ(TruncateUtf16("abcdef", 3), "abc");
    EXPECT_EQ(TruncateUtf16("默认射击", 3), "默认射");
    EXPECT_EQ(TruncateUtf16("a\xF0\x9F\x98\x80", 2), "a");
}

}  // namespace
}  // namespace kx700::text
