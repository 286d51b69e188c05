#include "macro/folder_ops.h"

#include <system_error>
#include <vector>

namespace kx700::macro {

namespace fs = std::filesystem;

void DeleteFolderContents(const fs::path& folder) {
    std::error_code ec;
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(it->path());
    for (const fs::path& entry : entries) {
        std::error_code e;
        const fs::file_status status = fs::symlink_status(entry, e);
        if (fs::is_directory(status)) {
            DeleteFolderContents(entry);
            fs::remove(entry, e);
        } else {
            fs::remove(entry, e);
        }
    }
}

void CopyFolder(const fs::path& source, const fs::path& destination) {
    std::error_code ec;
    fs::create_directories(destination, ec);
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(source, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(*it);
    for (const fs::directory_entry& entry : entries) {
        std::error_code e;
        const fs::path target = destination / entry.path().filename();
        if (fs::is_directory(entry.symlink_status(e))) {
            CopyFolder(entry.path(), target);
        } else {
            fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing, e);
        }
    }
}

}  // namespace kx700::macro
