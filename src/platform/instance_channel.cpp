#include "platform/instance_channel.h"

#include <cstdlib>

#include "platform/mouse_lock.h"

#ifndef _WIN32
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace kx700 {
namespace fs = std::filesystem;

std::string InstanceUserName() {
    const char* user = std::getenv("USER");
    if (user == nullptr || *user == '\0') user = std::getenv("USERNAME");
    if (user != nullptr && *user != '\0') return user;
#ifndef _WIN32
    return std::to_string(::getuid());
#else
    return "user";
#endif
}

fs::path InstanceSocketPath(std::string_view name) {
    const fs::path folder = RuntimeFolder();
    if (folder.empty()) return {};
    return folder / (std::string(name) + ".socket");
}

std::optional<std::string> SendInstanceRequest(const fs::path& socket, std::string_view request,
                                               std::chrono::milliseconds timeout) {
#ifdef _WIN32
    (void)socket, (void)request, (void)timeout;
    return std::nullopt;
#else
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = socket.string();
    if (path.empty() || path.size() >= sizeof address.sun_path) return std::nullopt;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return std::nullopt;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return std::nullopt;
    const std::string line = std::string(request) + "\n";
    if (::send(fd, line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size())) return std::nullopt;

    std::string answer;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // the window closed the connection: the answer is complete
        answer.append(buffer, static_cast<std::size_t>(n));
        if (answer.size() > (1u << 20)) return std::nullopt;  // not an answer we asked for
    }
    return answer;
#endif
}

}  // namespace kx700
