#pragma once

// The descriptor and signal calls of the layers above, so that only the
// platform layer includes the system headers that declare them.

#include <string>

namespace kx700::posix {

// Owns an open descriptor (none when negative) and closes it once.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// Opens `path` for reading without waiting on it; not inherited by child
// processes. Not valid when it could not be opened.
FileDescriptor OpenReadOnly(const std::string& path);

// errno of asking for read and write access to `path`; 0 when both are allowed.
int ReadWriteAccessError(const std::string& path);

// SIGTERM, SIGINT and SIGHUP each put one byte on a descriptor that an event
// loop can watch: a signal handler may do no more than write. Returns that
// descriptor, or -1 when the pipe is in place already or could not be made.
int InstallQuitSignalPipe();
// Takes one byte off the watched descriptor after it became readable.
void TakeQuitSignalByte();
// Puts the default handlers back and closes the pipe.
void RemoveQuitSignalPipe();

}  // namespace kx700::posix
