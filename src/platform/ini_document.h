#pragma once

// The text model behind the private-profile functions: decoding a file's bytes,
// the read index, and the line editor that changes one key without touching
// any other byte. The public entry points are in platform/profile.h.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kx700::profile::detail {

enum class Encoding { Utf8, Utf8Bom, Utf16LE };

// A file's content as UTF-8 text plus what is needed to write it back in the
// same form. A UTF-16 file with an odd number of bytes keeps its last byte.
struct IniText {
    Encoding encoding = Encoding::Utf8;
    std::string body;
    std::string oddTail;
};

IniText Decode(std::string_view bytes);
// Decode(bytes).body, reusing the bytes' buffer: a plain UTF-8 file (the
// common case, and the large macro files) is not copied at all.
std::string DecodeBody(std::string bytes);
// Whether DecodeBody gives the bytes back unchanged.
bool IsPlainUtf8(std::string_view bytes);
std::string Encode(const IniText& text);

// How one line of an INI file reads.
struct LineInfo {
    enum class Kind { Other, Section, Key };
    Kind kind = Kind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed, one pair of matching quotes removed
};
LineInfo Classify(std::string_view line);

// The first CR or LF at or after `from`, or npos. Two memchr scans: macro
// values are thousands of characters long, and a per-character set test
// would cost more than the rest of the parse.
std::size_t FindLineEnd(std::string_view body, std::size_t from);

// Calls fn(line, eol) for every line; lines end at CR, LF or CRLF.
template <typename Fn>
void ForEachLine(std::string_view body, Fn&& fn) {
    std::size_t pos = 0;
    while (pos < body.size()) {
        const std::size_t end = FindLineEnd(body, pos);
        if (end == std::string_view::npos) {
            fn(body.substr(pos), std::string_view{});
            return;
        }
        const std::size_t eolLen = (body[end] == '\r' && end + 1 < body.size() && body[end + 1] == '\n') ? 2 : 1;
        fn(body.substr(pos, end - pos), body.substr(end, eolLen));
        pos = end + eolLen;
    }
}

// Case-insensitive (ASCII) hashing for section and key names.
struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept;
};
struct NameEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept;
};
template <typename V>
using NameMap = std::unordered_map<std::string, V, NameHash, NameEqual>;

template <typename V>
using ViewNameMap = std::unordered_map<std::string_view, V, NameHash, NameEqual>;

// Read-only view of a parsed file: the first section of a name is the only one
// searched, and within it the first key of a name wins. The index owns the
// text once and points into it, so a parse copies no name or value.
class IniIndex {
public:
    explicit IniIndex(std::string body);
    // Over text the caller keeps alive and unchanged for the index's life.
    struct Borrow {};
    IniIndex(Borrow, std::string_view body);
    IniIndex(const IniIndex&) = delete;
    IniIndex& operator=(const IniIndex&) = delete;
    // nullopt when the section or the key is missing; valid while the index lives.
    std::optional<std::string_view> find(std::string_view section, std::string_view key) const;
    std::string_view body() const { return body_; }

private:
    void parse();

    std::string owned_;
    std::string_view body_;
    std::vector<ViewNameMap<std::string_view>> sections_;
    ViewNameMap<std::size_t> firstSection_;
};

// Line-based editor: replaces a key's line in place (keeping the key's spelling
// and the line's own line ending), adds a new key after the last key line of its
// section, appends a new section at the end. New lines end in CRLF.
class IniEditor {
public:
    explicit IniEditor(std::string_view body);
    void set(std::string_view section, std::string_view key, std::string_view value);
    std::string body() const;

private:
    struct Line {
        std::string text;
        std::string eol;
    };
    struct Section {
        std::size_t header;
        std::size_t lastKey;  // == header while the section has no key
        NameMap<std::size_t> keys;
    };
    void insertLine(std::size_t at, std::string text);
    void ensureEol(std::size_t line);

    std::vector<Line> lines_;
    std::vector<Section> sections_;
    NameMap<std::size_t> firstSection_;
};

}  // namespace kx700::profile::detail
