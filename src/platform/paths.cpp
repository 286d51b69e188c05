#include "platform/paths.h"

#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kx700 {
namespace fs = std::filesystem;

fs::path ExecutableFolder() {
#ifdef _WIN32
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(n);
    return fs::path(buffer).parent_path();
#else
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return exe.parent_path();
    return fs::path();  // no procfs: the caller gets an empty folder, never the cwd by accident
#endif
}

Folders ResolveFolders(const std::optional<fs::path>& dataDir, const char* envHome) {
    Folders f;
    std::error_code ec;
    if (dataDir && !dataDir->empty()) {
        f.programFolder = fs::absolute(*dataDir, ec);
    } else if (envHome != nullptr && *envHome != '\0') {
        f.programFolder = fs::absolute(fs::path(envHome), ec);
    } else {
        f.programFolder = ExecutableFolder();
    }
    return f;
}

Folders ResolveFolders(const std::optional<fs::path>& dataDir) {
    return ResolveFolders(dataDir, std::getenv("KX700_HOME"));
}

}  // namespace kx700
