#include "platform/posix.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

namespace kx700::posix {

#ifndef _WIN32
namespace {

constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};
int g_quitPipe[2] = {-1, -1};  // [0] the handler writes, [1] the event loop reads

extern "C" void OnQuitSignal(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_quitPipe[0], &c, 1);
}

void SetQuitHandlers(void (*handler)(int), int flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = flags;
    for (int s : kQuitSignals) sigaction(s, &action, nullptr);
}

}  // namespace

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
}

FileDescriptor OpenReadOnly(const std::string& path) {
    return FileDescriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
}

int ReadWriteAccessError(const std::string& path) { return ::access(path.c_str(), R_OK | W_OK) == 0 ? 0 : errno; }

int InstallQuitSignalPipe() {
    if (g_quitPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_quitPipe) != 0) return -1;
    SetQuitHandlers(OnQuitSignal, SA_RESTART);
    return g_quitPipe[1];
}

void TakeQuitSignalByte() {
    char c = 0;
    [[maybe_unused]] const auto n = ::read(g_quitPipe[1], &c, 1);
}

void RemoveQuitSignalPipe() {
    if (g_quitPipe[0] < 0) return;
    SetQuitHandlers(SIG_DFL, 0);
    ::close(g_quitPipe[0]);
    ::close(g_quitPipe[1]);
    g_quitPipe[0] = g_quitPipe[1] = -1;
}
#else
FileDescriptor::~FileDescriptor() = default;
FileDescriptor OpenReadOnly(const std::string&) { return FileDescriptor(); }
int ReadWriteAccessError(const std::string&) { return 0; }
int InstallQuitSignalPipe() { return -1; }
void TakeQuitSignalByte() {}
void RemoveQuitSignalPipe() {}
#endif

}  // namespace kx700::posix
