#include "macro/value_format.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "macro/key_codes.h"
#include "platform/text.h"

namespace kx700::macro {
namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

char* Put3(char* out, unsigned v) {
    out[0] = static_cast<char>('0' + v / 100);
    out[1] = static_cast<char>('0' + v / 10 % 10);
    out[2] = static_cast<char>('0' + v % 10);
    return out + 3;
}

void PutU16(std::array<std::uint8_t, kValueFields>& f, int at, std::uint16_t v) {
    f[U(at)] = static_cast<std::uint8_t>(v & 0xFF);
    f[U(at + 1)] = static_cast<std::uint8_t>(v >> 8);
}

template <typename Char>
int FieldAt(std::basic_string_view<Char> v, std::size_t k) {
    const std::size_t start = 3 * k;
    if (start >= v.size()) return 0;
    const std::size_t end = std::min(start + 3, v.size());
    std::size_t i = start;
    while (i < end && (v[i] == Char(' ') || v[i] == Char('\t'))) ++i;
    int value = 0;
    for (; i < end && v[i] >= Char('0') && v[i] <= Char('9'); ++i)
        value = value * 10 + static_cast<int>(v[i] - Char('0'));
    return value;
}

std::uint16_t U16(int low, int high) { return static_cast<std::uint16_t>((low + 256 * high) & 0xFFFF); }
std::uint8_t Low8(int v) { return static_cast<std::uint8_t>(v & 0xFF); }

// The fields before the first event: name, run mode and the counts.
void SetHead(MacroRecord& r, const int* f) {
    for (int i = 0; i < kNameBytes; ++i) r.name[U(i)] = Low8(f[i]);
    r.runMode = Low8(f[20]);
    r.repeatCount = U16(f[21], f[22]);
    r.eventCount = U16(f[23], f[24]);
    r.moveCount = U16(f[25], f[26]);
    r.countF7 = U16(f[27], f[28]);
    r.cpiCount = U16(f[29], f[30]);
    r.countFA = U16(f[31], f[32]);
    r.ledCount = Low8(f[33]);
    r.countFB = Low8(f[34]);
}

// Event i from its eight fields.
void SetEvent(MacroRecord& r, int i, const int* f) {
    r.eventType[U(i)] = Low8(f[0]);
    r.eventCode[U(i)] = VkToUsage(Low8(f[1]));
    r.eventParam[U(i)] = {U16(f[2], f[3]), U16(f[4], f[5])};
    r.eventDelay[U(i)] = U16(f[6], f[7]);
}

// The record from field values; only the events and LED bytes with a field
// below `present` are read, the rest of `r` is left as it is.
void FromFields(const std::array<int, kValueFields>& f, std::size_t present, MacroRecord& r) {
    SetHead(r, f.data());
    for (int i = 0; i < kMaxEvents && U(kEventFieldsStart + 8 * i) < present; ++i)
        SetEvent(r, i, f.data() + kEventFieldsStart + 8 * i);
    for (int s = 0; s < kLedSlots; ++s)
        for (int b = 0; b < kLedSequenceBytes; ++b) {
            const std::size_t at = U(kLedFieldsStart + kLedSequenceBytes * s + b);
            if (at >= present) return;
            r.ledTable[U(s)].setByteAt(b, Low8(f[at]));
        }
}

// What a value of all zero fields gives: the start of every parse, so that a
// short value (the common case, and every damaged one) costs what it holds,
// not the whole 1815 fields.
const MacroRecord& ZeroFieldsRecord() {
    static const MacroRecord zero = [] {
        MacroRecord r;
        FromFields(std::array<int, kValueFields>{}, kValueFields, r);
        return r;
    }();
    return zero;
}

// Three digits, the field as the writer spells it; anything else takes the
// general reading (blanks, short fields, junk).
template <typename Char>
int FastFieldAt(std::basic_string_view<Char> v, std::size_t k) {
    const std::size_t start = 3 * k;
    if (start + 3 <= v.size()) {
        const auto a = static_cast<unsigned>(v[start] - Char('0'));
        const auto b = static_cast<unsigned>(v[start + 1] - Char('0'));
        const auto c = static_cast<unsigned>(v[start + 2] - Char('0'));
        if (a < 10 && b < 10 && c < 10) return static_cast<int>(a * 100 + b * 10 + c);
    }
    return FieldAt(v, k);
}

template <typename Char>
MacroRecord Parse(std::basic_string_view<Char> v) {
    const std::size_t fields = std::min<std::size_t>(kValueFields, (v.size() + 2) / 3);
    std::array<int, kValueFields> f{};
    for (std::size_t k = 0; k < fields; ++k) f[k] = FastFieldAt(v, k);
    MacroRecord r = ZeroFieldsRecord();
    FromFields(f, fields, r);
    return r;
}

// Runs over the whole value without an early exit, so that the
// compiler can test many characters at a time.
bool IsAscii(std::string_view s) {
    unsigned char high = 0;
    for (char c : s) high = static_cast<unsigned char>(high | static_cast<unsigned char>(c));
    return high < 0x80;
}

// Three characters known to be digits, as a number.
int Digits3(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<int>((u[0] - 48u) * 100 + (u[1] - 48u) * 10 + (u[2] - 48u));
}

// Runs over all characters without an early exit, as IsAscii does.
bool AllDigits(std::string_view s) {
    unsigned char other = 0;
    for (char c : s) other = static_cast<unsigned char>(other | (static_cast<unsigned char>(c - '0') > 9 ? 1 : 0));
    return other == 0;
}

// A run of "000" fields: what the writer puts in every event and light
// sequence a macro does not use, so most of a real file.
constexpr std::size_t kLongestZeroRun = 3 * kLedSequenceBytes;
constexpr auto kZeros = [] {
    std::array<char, kLongestZeroRun> z{};
    z.fill('0');
    return z;
}();

bool ZeroFields(const char* p, std::size_t fields) { return std::memcmp(p, kZeros.data(), 3 * fields) == 0; }

static_assert(kEventFieldsStart + 8 * kMaxEvents == kLedFieldsStart);
static_assert(kLedFieldsStart + kLedSlots * kLedSequenceBytes == kValueFields);
static_assert(4 + 4 * kLedSteps == kLedSequenceBytes);

// A whole value of digits only, as the writer makes it. Unused events and
// light sequences are all zero, and the zero record already holds what they
// give, so only the used ones are read.
std::optional<MacroRecord> ParseWholeDigits(std::string_view v) {
    if (!AllDigits(v.substr(0, kValueChars))) return std::nullopt;
    const char* const c = v.data();
    MacroRecord r = ZeroFieldsRecord();
    std::array<int, kEventFieldsStart> head;
    for (int k = 0; k < kEventFieldsStart; ++k) head[U(k)] = Digits3(c + 3 * k);
    SetHead(r, head.data());
    for (int i = 0; i < kMaxEvents; ++i) {
        const char* const e = c + 3 * (kEventFieldsStart + 8 * i);
        if (ZeroFields(e, 8)) continue;
        std::array<int, 8> f;
        for (int k = 0; k < 8; ++k) f[U(k)] = Digits3(e + 3 * k);
        SetEvent(r, i, f.data());
    }
    for (int s = 0; s < kLedSlots; ++s) {
        const char* const l = c + 3 * (kLedFieldsStart + kLedSequenceBytes * s);
        if (ZeroFields(l, kLedSequenceBytes)) continue;
        // Byte by byte in the order of the mouse's layout (see setByteAt).
        LedSequence& q = r.ledTable[U(s)];
        q.stepCount = Low8(Digits3(l));
        for (int k = 0; k < 3; ++k) q.reserved[U(k)] = Low8(Digits3(l + 3 + 3 * k));
        for (int j = 0; j < kLedSteps; ++j) {
            const char* const t = l + 12 + 12 * j;
            q.steps[U(j)] = {Low8(Digits3(t)), Low8(Digits3(t + 3)), Low8(Digits3(t + 6)), Low8(Digits3(t + 9))};
        }
    }
    return r;
}

// A value of digits only, as the writer makes it: every whole field straight
// from its three digits in one pass, a short last one the general way.
// Nothing when a character is not a digit (the general reading handles it).
std::optional<MacroRecord> ParseDigits(std::string_view v) {
    if (v.size() >= static_cast<std::size_t>(kValueChars)) return ParseWholeDigits(v);
    const std::size_t fields = std::min<std::size_t>(kValueFields, (v.size() + 2) / 3);
    const std::size_t whole = std::min(fields, v.size() / 3);
    std::array<int, kValueFields> f;
    const auto* p = reinterpret_cast<const unsigned char*>(v.data());
    unsigned other = 0;
    for (std::size_t k = 0; k < whole; ++k, p += 3) {
        const unsigned a = p[0] - 48u, b = p[1] - 48u, c = p[2] - 48u;
        other |= static_cast<unsigned>(a > 9) | static_cast<unsigned>(b > 9) | static_cast<unsigned>(c > 9);
        f[k] = static_cast<int>(a * 100 + b * 10 + c);
    }
    for (std::size_t k = whole; k < fields; ++k) {
        const std::size_t start = 3 * k;
        for (std::size_t i = start; i < v.size(); ++i) other |= static_cast<unsigned>(v[i] < '0' || v[i] > '9');
        f[k] = FieldAt(v, k);
    }
    if (other != 0) return std::nullopt;
    for (std::size_t k = fields; k < kValueFields; ++k) f[k] = 0;
    MacroRecord r = ZeroFieldsRecord();
    FromFields(f, fields, r);
    return r;
}

}  // namespace

std::string FormatMacroValue(const MacroRecord& r) {
    std::array<std::uint8_t, kValueFields> f{};
    for (int i = 0; i < kNameBytes; ++i) f[U(i)] = r.name[U(i)];
    f[20] = r.runMode;
    PutU16(f, 21, r.repeatCount);
    PutU16(f, 23, r.eventCount);
    PutU16(f, 25, r.moveCount);
    PutU16(f, 27, r.countF7);
    PutU16(f, 29, r.cpiCount);
    PutU16(f, 31, r.countFA);
    f[33] = r.ledCount;
    f[34] = r.countFB;
    for (int i = 0; i < kMaxEvents; ++i) {
        const int at = kEventFieldsStart + 8 * i;
        f[U(at)] = r.eventType[U(i)];
        f[U(at + 1)] = UsageToVk(r.eventCode[U(i)]);
        PutU16(f, at + 2, r.eventParam[U(i)].x);
        PutU16(f, at + 4, r.eventParam[U(i)].y);
        PutU16(f, at + 6, r.eventDelay[U(i)]);
    }
    for (int s = 0; s < kLedSlots; ++s)
        for (int b = 0; b < kLedSequenceBytes; ++b)
            f[U(kLedFieldsStart + kLedSequenceBytes * s + b)] = r.ledTable[U(s)].byteAt(b);

    std::string out(kValueChars, '0');
    char* p = out.data();
    for (std::uint8_t b : f) p = Put3(p, b);
    return out;
}

MacroRecord ParseMacroValue(std::string_view value) {
    // Positions count UTF-16 code units, as the file reader's buffer does;
    // only junk holds anything but ASCII, so the common case stays bytes.
    if (std::optional<MacroRecord> r = ParseDigits(value)) return *r;
    if (IsAscii(value)) return Parse(value);
    const std::u16string wide = text::Utf8ToUtf16(value);
    return Parse(std::u16string_view(wide));
}

}  // namespace kx700::macro

namespace kx700::macro {

std::string ParseMacroName(std::string_view value) {
    // The name fields are the first 60 characters; cutting there parses the
    // same. Junk with non-ASCII text takes the full path.
    if (IsAscii(value)) value = value.substr(0, std::min<std::size_t>(value.size(), 3 * kNameBytes));
    return MacroName(ParseMacroValue(value));
}

}  // namespace kx700::macro
