#include "platform/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kx700::fileio {
namespace fs = std::filesystem;

namespace {

std::string Describe(const fs::path& file, const std::string& what, int err) {
    return what + " " + file.string() + ": " + std::generic_category().message(err);
}

fs::path TempNameBeside(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
#ifndef _WIN32
    const auto pid = static_cast<unsigned long>(::getpid());
#else
    const unsigned long pid = 0;
#endif
    return target.parent_path() / ("." + target.filename().string() + ".tmp-" + std::to_string(pid) + "-" +
                                   std::to_string(counter.fetch_add(1)));
}

}  // namespace

std::optional<std::string> ReadWholeFile(const fs::path& file, std::string* error) {
    std::error_code ec;
    const fs::file_status st = fs::status(file, ec);
    if (!fs::exists(st)) return std::nullopt;
    if (!fs::is_regular_file(st)) {
        if (error) *error = "not a regular file: " + file.string();
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        if (error) *error = Describe(file, "cannot open", errno);
        return std::nullopt;
    }
    std::string bytes;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0) {
        bytes.resize(static_cast<std::size_t>(size));
        in.read(bytes.data(), size);
        bytes.resize(static_cast<std::size_t>(in.gcount()));
    } else {
        // Files that report no size (procfs and the like) are read in chunks.
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (in.bad()) {
        if (error) *error = Describe(file, "cannot read", errno);
        return std::nullopt;
    }
    return bytes;
}

#ifndef _WIN32

Status ReplaceFile(const fs::path& file, std::string_view bytes) {
    std::error_code ec;
    fs::path target = file;
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::read_symlink(target, ec);
        if (!ec) target = resolved.is_absolute() ? resolved : target.parent_path() / resolved;
    }
    if (target.parent_path().empty()) target = fs::path(".") / target;

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        if (!S_ISREG(old.st_mode)) return Status::Error("not a regular file: " + target.string());
        if ((old.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
            return Status::Error("file is read-only: " + target.string());
        }
    }

    const fs::path temp = TempNameBeside(target);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return Status::Error(Describe(temp, "cannot create", errno));

    auto fail = [&](const std::string& what, int err) {
        ::close(fd);
        ::unlink(temp.c_str());
        return Status::Error(Describe(target, what, err));
    };

    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail("cannot write", errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (exists && ::fchmod(fd, old.st_mode & 07777) != 0) return fail("cannot set permissions of", errno);
    if (::fsync(fd) != 0) return fail("cannot flush", errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return Status::Error(Describe(target, "cannot close", err));
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return Status::Error(Describe(target, "cannot replace", err));
    }
    // Make the rename itself durable; a failure here loses nothing already written.
    const int dir = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return Status::Ok();
}

#else

Status ReplaceFile(const fs::path& file, std::string_view bytes) {
    std::error_code ec;
    const fs::path temp = TempNameBeside(file);
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return Status::Error("cannot create " + temp.string());
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temp, ec);
            return Status::Error("cannot write " + file.string());
        }
    }
    fs::rename(temp, file, ec);  // MoveFileExW with MOVEFILE_REPLACE_EXISTING
    if (ec) {
        fs::remove(temp, ec);
        return Status::Error("cannot replace " + file.string());
    }
    return Status::Ok();
}

#endif

}  // namespace kx700::fileio
