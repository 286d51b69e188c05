#include "platform/json_writer.h"

#include <cstdio>

namespace kx700 {
namespace {

// The code point of the well-formed UTF-8 sequence at `i` and its length, or
// length 0 when none starts there.
struct Decoded {
    char32_t code = 0;
    std::size_t length = 0;
};

Decoded DecodeAt(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) return {b0, 1};
    std::size_t n = 0;
    char32_t code = 0, min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        n = 2, code = b0 & 0x1Fu, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        n = 3, code = b0 & 0x0Fu, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        n = 4, code = b0 & 0x07u, min = 0x10000;
    } else {
        return {};
    }
    if (i + n > s.size()) return {};
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return {};
        code = code << 6 | (byte(i + k) & 0x3Fu);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
    return {code, n};
}

void Escape(std::string& out, char32_t code) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(code));
    out += buffer;
}

}  // namespace

std::string JsonQuote(std::string_view s) {
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size();) {
        const Decoded d = DecodeAt(s, i);
        if (d.length == 0) {
            out += "\\ufffd";
            ++i;
            continue;
        }
        switch (d.code) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                // Line and paragraph separators are legal JSON but end lines in
                // JavaScript and in some viewers.
                if (d.code < 0x20 || d.code == 0x7F || d.code == 0x2028 || d.code == 0x2029) {
                    Escape(out, d.code);
                } else {
                    out.append(s.substr(i, d.length));
                }
        }
        i += d.length;
    }
    out += '"';
    return out;
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levels_.empty()) return;
    Level& l = levels_.back();
    out_ << (l.empty ? "\n" : ",\n") << std::string(2 * levels_.size(), ' ');
    l.empty = false;
}

void JsonWriter::open(char bracket) {
    beforeValue();
    out_ << bracket;
    levels_.push_back({bracket == '{' ? '}' : ']'});
}

void JsonWriter::close(char bracket) {
    if (levels_.empty() || levels_.back().close != bracket) return;  // a caller's mistake: keep the text valid
    const bool empty = levels_.back().empty;
    levels_.pop_back();
    if (!empty) out_ << "\n" << std::string(2 * levels_.size(), ' ');
    out_ << bracket;
    if (levels_.empty()) out_ << "\n";
}

JsonWriter& JsonWriter::beginObject() {
    open('{');
    return *this;
}
JsonWriter& JsonWriter::endObject() {
    close('}');
    return *this;
}
JsonWriter& JsonWriter::beginArray() {
    open('[');
    return *this;
}
JsonWriter& JsonWriter::endArray() {
    close(']');
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    beforeValue();
    out_ << JsonQuote(name) << ": ";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    beforeValue();
    out_ << JsonQuote(text);
    if (levels_.empty()) out_ << "\n";
    return *this;
}

JsonWriter& JsonWriter::value(std::int64_t number) {
    beforeValue();
    out_ << number;
    if (levels_.empty()) out_ << "\n";
    return *this;
}

JsonWriter& JsonWriter::value(std::uint64_t number) {
    beforeValue();
    out_ << number;
    if (levels_.empty()) out_ << "\n";
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    beforeValue();
    out_ << (flag ? "true" : "false");
    if (levels_.empty()) out_ << "\n";
    return *this;
}

JsonWriter& JsonWriter::null() {
    beforeValue();
    out_ << "null";
    if (levels_.empty()) out_ << "\n";
    return *this;
}

}  // namespace kx700
