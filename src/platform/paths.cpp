#include "platform/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace kx700 {
namespace fs = std::filesystem;

namespace {

bool Set(const char* v) { return v != nullptr && *v != '\0'; }

bool Writable(const fs::path& p) { return ::access(p.c_str(), W_OK) == 0; }

// The first-start files, relative to either root.
const fs::path kSeeded[] = {"skins/config/config.ini", "skins/INI_EN/macro", "skins/INI_CN/macro"};

std::string Reason(const std::error_code& ec) { return ec.message(); }

}  // namespace

fs::path ExecutableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return exe.parent_path();
    return fs::path();  // no procfs: the caller gets an empty folder, never the cwd by accident
}

FolderEnvironment FolderEnvironment::Current() {
    return {ExecutableFolder(), std::getenv("KX700_HOME"), std::getenv("XDG_DATA_HOME"), std::getenv("HOME")};
}

Folders ResolveFolders(const std::optional<fs::path>& dataDir, const FolderEnvironment& env) {
    std::error_code ec;
    if (dataDir && !dataDir->empty()) return Folders::Portable(fs::absolute(*dataDir, ec));
    if (Set(env.kx700Home)) return Folders::Portable(fs::absolute(fs::path(env.kx700Home), ec));
    const fs::path exe = env.executableFolder;
    if (fs::is_regular_file(Folders::Portable(exe).settingsFile(), ec) && Writable(exe) &&
        Writable(Folders::Portable(exe).settingsFile())) {
        return Folders::Portable(exe);
    }
    Folders f;
    // Relocatable: wherever the tree was installed, the data lies beside bin/.
    f.dataFolder = (exe.parent_path() / "share" / "kx700").lexically_normal();
    // XDG: a relative XDG_DATA_HOME is invalid and ignored.
    if (Set(env.xdgDataHome) && fs::path(env.xdgDataHome).is_absolute()) {
        f.userFolder = fs::path(env.xdgDataHome) / "kx700";
    } else if (Set(env.home)) {
        f.userFolder = fs::path(env.home) / ".local" / "share" / "kx700";
    }
    return f;
}

Folders ResolveFolders(const std::optional<fs::path>& dataDir) {
    return ResolveFolders(dataDir, FolderEnvironment::Current());
}

Status PrepareUserFolder(const Folders& folders) {
    if (folders.portable()) return Status::Ok();
    const fs::path& user = folders.userFolder;
    if (user.empty()) return Status::Error("no folder for the settings: neither XDG_DATA_HOME nor HOME is set");
    std::error_code ec;
    fs::create_directories(user, ec);
    if (ec || !fs::is_directory(user)) {
        return Status::Error("cannot create the folder for the settings " + user.string() + ": " +
                             (ec ? Reason(ec) : std::string("not a folder")));
    }
    if (fs::exists(user / "skins", ec)) return Status::Ok();  // not the first start
    // The first start: the files go into a scratch folder that becomes skins/
    // in one rename, so an interrupted start never leaves half a user folder
    // that later starts would take for a complete one.
    const fs::path scratch = user / ".first-start";
    fs::remove_all(scratch, ec);
    int copied = 0;
    for (const fs::path& relative : kSeeded) {
        const fs::path from = folders.dataFolder / relative;
        if (!fs::exists(from, ec)) continue;  // the missing-file messages say it later
        ++copied;
        const fs::path to = scratch / relative;
        fs::create_directories(to.parent_path(), ec);
        if (!ec) fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::skip_existing, ec);
        if (ec) {
            const std::string reason = Reason(ec);
            fs::remove_all(scratch, ec);
            return Status::Error("cannot fill the folder for the settings " + user.string() + ": " + reason);
        }
    }
    if (copied == 0) {
        // Nothing shipped to start from (a broken installation): a skins/
        // made now would keep the first start from ever happening again.
        fs::remove_all(scratch, ec);
        return Status::Ok();
    }
    fs::rename(scratch / "skins", user / "skins", ec);
    const std::string reason = ec ? Reason(ec) : std::string();
    fs::remove_all(scratch, ec);
    if (!reason.empty())
        return Status::Error("cannot fill the folder for the settings " + user.string() + ": " + reason);
    return Status::Ok();
}

Status FindFolders(const std::optional<fs::path>& dataDir, Folders& out) {
    out = ResolveFolders(dataDir);
    return PrepareUserFolder(out);
}

}  // namespace kx700
