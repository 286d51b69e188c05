// Arbitrary bytes as a group file, a group list and a constant macro file:
// the loaders never read or write past their tables. The bytes are parsed as
// a file read parses them, without the disk, so a run costs microseconds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "macro/files.h"
#include "platform/profile.h"

using namespace kx700;
using namespace kx700::macro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const profile::Snapshot file = profile::Snapshot::Parse(bytes);
    const GroupFileSource same = [&file](const std::string&) { return file; };

    RecordingMessageSink sink;
    MacroTable table;
    LoadGroup(file, table, sink);
    if (table.macroCount > kMaxMacrosPerGroup) __builtin_trap();
    // A file the import takes loads exactly the macros it claims.
    if (IsMacroGroupFile(bytes) && table.macroCount != file.readInt("Macros", "macroNum", 16)) {
        __builtin_trap();
    }
    ConstantMacroTable constants;
    LoadConstants(file, constants, sink);
    if (constants.count > kMaxMacrosPerGroup) __builtin_trap();

    GroupDirectory groups;
    groups.groupCount = kMaxGroups;
    groups.groupNames[0] = "G";
    ReadAllMacroNames(same, groups);
    (void)ReadMacro(file, same, 0, size > 0 ? data[0] : 0);
    (void)ReadMacro(file, same, size > 1 ? data[1] % 16 : 0, 0);
    return 0;
}
