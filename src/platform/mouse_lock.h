#pragma once

// One owner per mouse. A process that talks to a mouse (the window, or a
// kx700ctl command that sends reports or keeps a simulated mouse's state
// file) holds a per-user lock keyed by that mouse: its device path, or the
// state file's absolute path. The lock is an advisory lock on a small file in
// the user's runtime folder; the system drops it when the process ends, so a
// crash never leaves the mouse locked. The file names the holder, so the
// others can say who has the mouse.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kx700 {

// The user's private folder for locks and sockets: $XDG_RUNTIME_DIR when it
// is a folder, else a folder of the user's own under the temporary folder
// (created with mode 0700). Empty when neither can be had.
std::filesystem::path RuntimeFolder();

struct LockHolder {
    std::string program;  // "kx700", or "kx700ctl <command>"
    long pid = 0;
    std::string describe() const;  // "kx700ctl monitor (process 1234)"
};

// The key of a simulated mouse kept in a state file: the file's absolute,
// normalised path, so every spelling of one file names one mouse.
std::string MouseKeyForFile(const std::filesystem::path& stateFile);

// The program that owns a mouse when the window has it.
inline constexpr std::string_view kWindowProgram = "kx700";

class MouseLock {
public:
    enum class Result {
        Acquired,     // this process owns the mouse until release() or its end
        Held,         // another process owns it; `holder` says which
        Unavailable,  // no runtime folder or lock file: ownership cannot be kept, go on without
    };

    MouseLock() = default;
    ~MouseLock();
    MouseLock(const MouseLock&) = delete;
    MouseLock& operator=(const MouseLock&) = delete;

    // Tries for at most `wait` (polling), then gives up. `program` is what the
    // lock file says about us.
    Result acquire(std::string_view key, std::string_view program, std::chrono::milliseconds wait);
    void release();
    bool held() const { return fd_ >= 0; }
    const LockHolder& holder() const { return holder_; }

    // Who holds the mouse named by `key`, without taking it; nullopt when
    // nobody does (or the lock cannot be looked at).
    static std::optional<LockHolder> Holder(std::string_view key);

    // The lock file of a key (exposed for tests and the connection checks).
    static std::filesystem::path FileFor(std::string_view key);

private:
    int fd_ = -1;
    LockHolder holder_;
};

}  // namespace kx700
