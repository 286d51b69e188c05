#pragma once

// Writes JSON for the --json output of kx700ctl's commands: objects, arrays,
// strings, integers, booleans and null, indented by two spaces, one value per
// line. Strings are taken as UTF-8; control characters are escaped, well-formed
// non-ASCII text is written as it is, and a byte that starts no well-formed
// sequence becomes U+FFFD, so the output is always valid JSON in valid UTF-8.
//
//   JsonWriter json(std::cout);
//   json.beginObject().key("profile").value(1).key("names").beginArray().value("a").endArray().endObject();
//
// The writer places the commas and the line breaks; a key is given before each
// value inside an object and never inside an array. The document ends with a
// line break when its outermost value is closed.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kx700 {

// The JSON string literal of a UTF-8 text, quotes included.
std::string JsonQuote(std::string_view utf8);

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(const std::string& text) { return value(std::string_view(text)); }
    JsonWriter& value(std::int64_t number);
    JsonWriter& value(std::uint64_t number);  // counts and sizes
    JsonWriter& value(int number) { return value(static_cast<std::int64_t>(number)); }
    JsonWriter& value(unsigned number) { return value(static_cast<std::int64_t>(number)); }
    JsonWriter& value(bool flag);
    JsonWriter& null();

private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);

    std::ostream& out_;
    struct Level {
        char close;
        bool empty = true;
    };
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

}  // namespace kx700
