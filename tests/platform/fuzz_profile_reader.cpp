// Feeds arbitrary bytes to the INI reader and editor: nothing may crash, and
// an edit must keep every line it does not change.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ini_document.h"
#include "platform/profile.h"
#include "platform/text.h"

using namespace kx700::profile::detail;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const IniText text = Decode(bytes);
    if (Encode(text) != bytes) __builtin_trap();  // decoding must be lossless

    // What passes as text holds no NUL and converts to UTF-16 and back unchanged.
    if (kx700::profile::IsProfileText(bytes)) {
        if (text.body.find('\0') != std::string::npos) __builtin_trap();
        if (kx700::text::Utf16ToUtf8(kx700::text::Utf8ToUtf16(text.body)) != text.body) __builtin_trap();
    }

    const IniIndex index(text.body);
    (void)index.find("ShareData", "DPI_LEVEL");
    (void)index.find("", "");

    // Derive a section and key from the input so edits hit existing names too.
    const std::string_view name = bytes.substr(0, size < 6 ? size : 6);
    IniEditor editor(text.body);
    std::string section(name), key(name);
    for (char& c : section)
        if (c == '\r' || c == '\n' || c == ']') c = '_';
    for (char& c : key)
        if (c == '\r' || c == '\n' || c == '=') c = '_';
    editor.set(section, key, "value");
    editor.set("ShareData", "DPI_LEVEL", "3");
    const std::string body = editor.body();
    const IniIndex after(body);
    const std::optional<std::string_view> v = after.find("ShareData", "DPI_LEVEL");
    if (!v || *v != "3") __builtin_trap();
    return 0;
}
