#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Text helpers shared by every file format of the program. Text is UTF-8 in
// memory; lengths that the user or a file format limits are counted in UTF-16
// code units, the way the original Windows program counted characters.
namespace kx700::text {

// UTF-16 to UTF-8. Unpaired surrogates are kept as three-byte sequences, so
// that converting back yields the very same code units (files round-trip).
std::string Utf16ToUtf8(std::u16string_view in);

// UTF-8 to UTF-16. Accepts the three-byte surrogate sequences written above;
// a byte that starts no valid sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view in);

// Whether every byte belongs to a well-formed UTF-8 sequence: no stray or
// missing continuation bytes, no overlong forms, no surrogate code points and
// nothing above U+10FFFF.
bool IsWellFormedUtf8(std::string_view in);

// Number of UTF-16 code units the UTF-8 text needs (an invalid byte counts one).
std::size_t Utf16Length(std::string_view utf8);

// The longest prefix of utf8 that needs at most maxUnits UTF-16 code units.
// A character that needs two units is never split.
std::string_view TruncateUtf16(std::string_view utf8, std::size_t maxUnits);

// Decimal conversion as the C runtime's wide "to integer" does it: leading
// white space, an optional sign, then digits up to the first other character.
// Empty or non-numeric text gives 0; a number beyond int32 is clamped.
std::int32_t ParseDecimal(std::string_view text);

// ASCII-only case folding; bytes >= 0x80 are left alone.
std::string AsciiLower(std::string_view in);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// True when the text holds a carriage return or a line feed.
bool HasLineBreak(std::string_view text);

}  // namespace kx700::text
