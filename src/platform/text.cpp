#include "platform/text.h"

#include <limits>

namespace kx700::text {
namespace {

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

struct Decoded {
    std::uint32_t codePoint;  // U+FFFD for an invalid byte
    std::size_t bytes;        // at least 1
};

// Decodes one UTF-8 sequence at in[pos]; surrogate code points are accepted
// (they come from Utf16ToUtf8 of unpaired surrogates).
Decoded DecodeAt(std::string_view in, std::size_t pos) {
    const auto b0 = static_cast<unsigned char>(in[pos]);
    if (b0 < 0x80) return {b0, 1};
    std::size_t len = 0;
    std::uint32_t cp = 0;
    std::uint32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1Fu, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0Fu, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07u, min = 0x10000;
    } else {
        return {0xFFFD, 1};
    }
    if (pos + len > in.size()) return {0xFFFD, 1};
    for (std::size_t i = 1; i < len; ++i) {
        const auto b = static_cast<unsigned char>(in[pos + i]);
        if ((b & 0xC0) != 0x80) return {0xFFFD, 1};
        cp = (cp << 6) | (b & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF) return {0xFFFD, 1};
    return {cp, len};
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view in) {
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        std::uint32_t u = in[i];
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] < 0xE000) {
            u = 0x10000 + ((u - 0xD800) << 10) + (static_cast<std::uint32_t>(in[i + 1]) - 0xDC00);
            ++i;
        }
        AppendUtf8(out, u);
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view in) {
    std::u16string out;
    out.reserve(in.size());
    for (std::size_t pos = 0; pos < in.size();) {
        const Decoded d = DecodeAt(in, pos);
        pos += d.bytes;
        if (d.codePoint >= 0x10000) {
            const std::uint32_t v = d.codePoint - 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(d.codePoint));
        }
    }
    return out;
}

bool IsWellFormedUtf8(std::string_view in) {
    for (std::size_t pos = 0; pos < in.size();) {
        const Decoded d = DecodeAt(in, pos);
        // An invalid byte decodes as U+FFFD in one byte; the character itself takes three.
        if (d.codePoint == 0xFFFD && d.bytes == 1) return false;
        if (d.codePoint >= 0xD800 && d.codePoint < 0xE000) return false;
        pos += d.bytes;
    }
    return true;
}

std::size_t Utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const Decoded d = DecodeAt(utf8, pos);
        pos += d.bytes;
        units += d.codePoint >= 0x10000 ? 2 : 1;
    }
    return units;
}

std::string_view TruncateUtf16(std::string_view utf8, std::size_t maxUnits) {
    // No byte sequence gives more UTF-16 units than it has bytes: a text no
    // longer than the room fits whole, unread (a macro value is 5445 bytes).
    if (utf8.size() <= maxUnits) return utf8;
    std::size_t units = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const Decoded d = DecodeAt(utf8, pos);
        const std::size_t need = d.codePoint >= 0x10000 ? 2 : 1;
        if (units + need > maxUnits) break;
        units += need;
        pos += d.bytes;
    }
    return utf8.substr(0, pos);
}

std::int32_t ParseDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) value = kLimit;  // saturate; keeps the loop free of overflow
    }
    if (negative) return static_cast<std::int32_t>(-value);  // -2^31 is representable
    return value > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                            : static_cast<std::int32_t>(value);
}

std::string AsciiLower(std::string_view in) {
    std::string out(in);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace kx700::text
