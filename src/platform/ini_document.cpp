#include "platform/ini_document.h"

#include <cstring>

#include "platform/text.h"

namespace kx700::profile::detail {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kCrLf = "\r\n";

std::string_view TrimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

IniText Decode(std::string_view bytes) {
    IniText out;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        out.encoding = Encoding::Utf16LE;
        const std::size_t units = (bytes.size() - 2) / 2;
        std::u16string wide(units, u'\0');
        for (std::size_t i = 0; i < units; ++i) {
            const auto lo = static_cast<unsigned char>(bytes[2 + 2 * i]);
            const auto hi = static_cast<unsigned char>(bytes[3 + 2 * i]);
            wide[i] = static_cast<char16_t>(lo | (hi << 8));
        }
        out.body = text::Utf16ToUtf8(wide);
        if ((bytes.size() - 2) % 2 != 0) out.oddTail = std::string(bytes.substr(bytes.size() - 1));
        return out;
    }
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        out.encoding = Encoding::Utf8Bom;
        out.body = std::string(bytes.substr(kUtf8Bom.size()));
        return out;
    }
    out.body = std::string(bytes);
    return out;
}

bool IsPlainUtf8(std::string_view bytes) {
    const bool utf16 = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                       static_cast<unsigned char>(bytes[1]) == 0xFE;
    return !utf16 && bytes.substr(0, kUtf8Bom.size()) != kUtf8Bom;
}

std::string DecodeBody(std::string bytes) {
    if (IsPlainUtf8(bytes)) return bytes;
    if (bytes.starts_with(kUtf8Bom)) {
        bytes.erase(0, kUtf8Bom.size());
        return bytes;
    }
    return Decode(bytes).body;
}

std::string Encode(const IniText& t) {
    switch (t.encoding) {
        case Encoding::Utf8: return t.body;
        case Encoding::Utf8Bom: return std::string(kUtf8Bom) + t.body;
        case Encoding::Utf16LE: {
            const std::u16string wide = text::Utf8ToUtf16(t.body);
            std::string out;
            out.reserve(2 + wide.size() * 2 + t.oddTail.size());
            out += "\xFF\xFE";
            for (char16_t u : wide) {
                out.push_back(static_cast<char>(u & 0xFF));
                out.push_back(static_cast<char>(u >> 8));
            }
            out += t.oddTail;
            return out;
        }
    }
    return t.body;
}

LineInfo Classify(std::string_view line) {
    const std::string_view t = TrimBlanks(line);
    LineInfo info;
    if (t.empty()) return info;
    if (t.front() == '[') {
        const auto close = t.rfind(']');
        const std::string_view inner =
            close == std::string_view::npos || close == 0 ? t.substr(1) : t.substr(1, close - 1);
        info.kind = LineInfo::Kind::Section;
        info.name = TrimBlanks(inner);
        return info;
    }
    const auto eq = t.find('=');
    if (eq == std::string_view::npos) return info;
    const std::string_view key = TrimBlanks(t.substr(0, eq));
    if (!key.empty() && key.front() == ';') return info;
    std::string_view value = TrimBlanks(t.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    info.kind = LineInfo::Kind::Key;
    info.name = key;
    info.value = value;
    return info;
}

std::size_t NameHash::operator()(std::string_view s) const noexcept {
    std::size_t h = 1469598103934665603ull;  // FNV-1a over the folded bytes
    for (char c : s) {
        h ^= static_cast<unsigned char>(Fold(c));
        h *= 1099511628211ull;
    }
    return h;
}

bool NameEqual::operator()(std::string_view a, std::string_view b) const noexcept {
    return text::EqualsIgnoreCase(a, b);
}

std::size_t FindLineEnd(std::string_view body, std::size_t from) {
    if (from >= body.size()) return std::string_view::npos;
    const char* start = body.data() + from;
    const std::size_t rest = body.size() - from;
    const void* lf = std::memchr(start, '\n', rest);
    const std::size_t lfAt = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - start) : rest;
    const void* cr = std::memchr(start, '\r', lfAt);
    if (cr) return from + static_cast<std::size_t>(static_cast<const char*>(cr) - start);
    return lf ? from + lfAt : std::string_view::npos;
}

IniIndex::IniIndex(std::string body) : owned_(std::move(body)), body_(owned_) { parse(); }

IniIndex::IniIndex(Borrow, std::string_view body) : body_(body) { parse(); }

void IniIndex::parse() {
    // Sections are added while earlier ones are pointed to: index, not pointer.
    std::size_t current = 0;
    bool inSection = false;
    ForEachLine(body_, [&](std::string_view line, std::string_view) {
        const LineInfo info = Classify(line);
        if (info.kind == LineInfo::Kind::Section) {
            sections_.emplace_back();
            firstSection_.try_emplace(info.name, sections_.size() - 1);
            current = sections_.size() - 1;
            inSection = true;
        } else if (info.kind == LineInfo::Kind::Key && inSection) {
            sections_[current].try_emplace(info.name, info.value);
        }
    });
}

std::optional<std::string_view> IniIndex::find(std::string_view section, std::string_view key) const {
    const auto s = firstSection_.find(section);
    if (s == firstSection_.end()) return std::nullopt;
    const auto& keys = sections_[s->second];
    const auto k = keys.find(key);
    if (k == keys.end()) return std::nullopt;
    return k->second;
}

IniEditor::IniEditor(std::string_view body) {
    ForEachLine(body, [&](std::string_view line, std::string_view eol) {
        const std::size_t idx = lines_.size();
        lines_.push_back(Line{std::string(line), std::string(eol)});
        const LineInfo info = Classify(line);
        if (info.kind == LineInfo::Kind::Section) {
            sections_.push_back(Section{idx, idx, {}});
            firstSection_.try_emplace(std::string(info.name), sections_.size() - 1);
        } else if (info.kind == LineInfo::Kind::Key && !sections_.empty()) {
            Section& s = sections_.back();
            s.keys.try_emplace(std::string(info.name), idx);
            s.lastKey = idx;
        }
    });
}

void IniEditor::ensureEol(std::size_t line) {
    if (lines_[line].eol.empty()) lines_[line].eol = kCrLf;
}

void IniEditor::insertLine(std::size_t at, std::string text) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), std::string(kCrLf)});
    for (Section& s : sections_) {
        if (s.header >= at) ++s.header;
        if (s.lastKey >= at) ++s.lastKey;
        for (auto& [name, line] : s.keys) {
            if (line >= at) ++line;
        }
    }
}

void IniEditor::set(std::string_view section, std::string_view key, std::string_view value) {
    std::string newLine;
    const auto sec = firstSection_.find(section);
    if (sec == firstSection_.end()) {
        if (!lines_.empty()) ensureEol(lines_.size() - 1);
        const std::size_t header = lines_.size();
        lines_.push_back(Line{"[" + std::string(section) + "]", std::string(kCrLf)});
        lines_.push_back(Line{std::string(key) + "=" + std::string(value), std::string(kCrLf)});
        Section s{header, header + 1, {}};
        s.keys.try_emplace(std::string(key), header + 1);
        sections_.push_back(std::move(s));
        firstSection_.try_emplace(std::string(section), sections_.size() - 1);
        return;
    }
    Section& s = sections_[sec->second];
    const auto k = s.keys.find(key);
    if (k != s.keys.end()) {
        Line& line = lines_[k->second];
        const std::string spelling(Classify(line.text).name);
        line.text = spelling + "=" + std::string(value);
        return;
    }
    const std::size_t at = s.lastKey + 1;
    ensureEol(s.lastKey);
    const std::size_t sectionIndex = sec->second;
    insertLine(at, std::string(key) + "=" + std::string(value));
    Section& grown = sections_[sectionIndex];
    grown.keys.try_emplace(std::string(key), at);
    grown.lastKey = at;
}

std::string IniEditor::body() const {
    std::size_t total = 0;
    for (const Line& l : lines_) total += l.text.size() + l.eol.size();
    std::string out;
    out.reserve(total);
    for (const Line& l : lines_) {
        out += l.text;
        out += l.eol;
    }
    return out;
}

}  // namespace kx700::profile::detail
