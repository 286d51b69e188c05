// Arbitrary bytes as a group file, a group list and a constant macro file:
// the loaders never read or write past their tables.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "macro/files.h"
#include "platform/profile.h"

using namespace kx700;
using namespace kx700::macro;
namespace fs = std::filesystem;

namespace {
const fs::path& Folder() {
    static const fs::path folder = [] {
        fs::path f = fs::temp_directory_path() / ("kx700-fuzz-macro-" + std::to_string(::getpid()));
        fs::create_directories(f);
        return f;
    }();
    return folder;
}
void Write(const fs::path& file, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path group = Folder() / "G.dat";
    Write(group, data, size);
    Write(Folder() / "macroGrp.ini", data, size);

    RecordingMessageSink sink;
    MacroTable table;
    LoadGroupFile(group, table, sink);
    if (table.macroCount > kMaxMacrosPerGroup) __builtin_trap();
    // A file the import takes loads exactly the macros it claims.
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (IsMacroGroupFile(bytes) && table.macroCount != profile::ReadInt(group, "Macros", "macroNum", 16)) {
        __builtin_trap();
    }
    ConstantMacroTable constants;
    LoadConstantMacros(group, constants, sink);
    if (constants.count > kMaxMacrosPerGroup) __builtin_trap();

    GroupDirectory groups;
    groups.groupCount = kMaxGroups;
    groups.groupNames[0] = "G";
    ReadAllMacroNames(Folder(), groups);
    (void)ReadMacro(Folder(), 0, size > 0 ? data[0] : 0);
    (void)ReadMacro(Folder(), size > 1 ? data[1] % 16 : 0, 0);
    return 0;
}
