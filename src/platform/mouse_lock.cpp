#include "platform/mouse_lock.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <system_error>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kx700 {
namespace fs = std::filesystem;

namespace {

std::uint64_t Fnv1a(std::string_view text) {
    std::uint64_t h = 14695981039346656037ull;
    for (char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

#ifndef _WIN32
LockHolder ReadHolder(int fd) {
    LockHolder h;
    char buffer[256] = {};
    const ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
    if (n <= 0) return h;
    std::istringstream in(std::string(buffer, static_cast<std::size_t>(n)));
    in >> h.pid;
    std::getline(in >> std::ws, h.program);
    return h;
}
#endif

}  // namespace

std::string LockHolder::describe() const {
    const std::string who = program.empty() ? std::string("another program") : program;
    return pid > 0 ? who + " (process " + std::to_string(pid) + ")" : who;
}

fs::path RuntimeFolder() {
    std::error_code ec;
    if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg != nullptr && *xdg == '/' && fs::is_directory(xdg, ec)) {
        return fs::path(xdg);
    }
#ifdef _WIN32
    return fs::temp_directory_path(ec);
#else
    const fs::path base = fs::temp_directory_path(ec);
    if (ec) return {};
    const fs::path own = base / ("kx700-" + std::to_string(::getuid()));
    if (::mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) return {};
    // Someone else's folder of that name (or a link to one) is not ours to use.
    struct stat st {};
    if (::lstat(own.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return {};
    return own;
#endif
}

std::string MouseKeyForFile(const fs::path& stateFile) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(stateFile, ec), ec);
    if (ec) p = fs::absolute(stateFile, ec).lexically_normal();
    return "sim:" + p.string();
}

fs::path MouseLock::FileFor(std::string_view key) {
    const fs::path folder = RuntimeFolder();
    if (folder.empty()) return {};
    char name[64];
    std::snprintf(name, sizeof name, "kx700-mouse-%016llx.lock", static_cast<unsigned long long>(Fnv1a(key)));
    return folder / name;
}

std::optional<LockHolder> MouseLock::Holder(std::string_view key) {
#ifdef _WIN32
    (void)key;
    return std::nullopt;
#else
    const fs::path file = FileFor(key);
    if (file.empty()) return std::nullopt;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return std::nullopt;  // never locked since the runtime folder was made
    std::optional<LockHolder> holder;
    // A shared lock is refused exactly while an owner holds its exclusive one.
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) holder = ReadHolder(fd);
    } else {
        ::flock(fd, LOCK_UN);
    }
    ::close(fd);
    return holder;
#endif
}

MouseLock::~MouseLock() { release(); }

void MouseLock::release() {
#ifndef _WIN32
    if (fd_ >= 0) ::close(fd_);  // closing drops the lock
#endif
    fd_ = -1;
}

MouseLock::Result MouseLock::acquire(std::string_view key, std::string_view program, std::chrono::milliseconds wait) {
    release();
    holder_ = {};
#ifdef _WIN32
    (void)key, (void)program, (void)wait;
    return Result::Unavailable;
#else
    const fs::path file = FileFor(key);
    if (file.empty()) return Result::Unavailable;
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return Result::Unavailable;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(fd);
            return Result::Unavailable;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            holder_ = ReadHolder(fd);
            ::close(fd);
            return Result::Held;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const std::string text = std::to_string(::getpid()) + " " + std::string(program) + "\n";
    if (::ftruncate(fd, 0) == 0) (void)!::pwrite(fd, text.data(), text.size(), 0);
    fd_ = fd;
    holder_ = LockHolder{std::string(program), static_cast<long>(::getpid())};
    return Result::Acquired;
#endif
}

}  // namespace kx700
