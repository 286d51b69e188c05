// Arbitrary text as one skin layout entry: the split never loses or invents
// text, and the rectangle's numbers come out whatever the fields hold.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "skin/layout.h"

using namespace kx700;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view value(reinterpret_cast<const char*>(data), size);
    bool tooMany = false;
    const SkinEntry e = SplitSkinEntry(value, &tooMany);
    const auto commas = static_cast<std::size_t>(std::count(value.begin(), value.end(), ','));
    if (tooMany != (commas > 6)) __builtin_trap();
    if (commas == 0 && e.fields[0] != value) __builtin_trap();
    if (commas >= 6) {
        // Fields 0-5 and the remainder put back together are the value.
        std::string joined;
        for (std::size_t k = 0; k < 6; ++k) joined += e.fields[k] + ",";
        if (joined + e.fields[6] != value) __builtin_trap();
    } else if (commas > 0) {
        // Fewer than six commas: the fields up to the last comma, the whole
        // value as the remainder, the fields after it empty.
        std::string joined;
        for (std::size_t k = 0; k < commas; ++k) joined += e.fields[k] + ",";
        if (value.substr(0, joined.size()) != joined || e.fields[6] != value) __builtin_trap();
        for (std::size_t k = commas; k < 6; ++k)
            if (!e.fields[k].empty()) __builtin_trap();
    }
    (void)e.area();
    return 0;
}
