#include "quit_signals.h"

#include <QSocketNotifier>

#ifndef _WIN32
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace kx700::app {

#ifndef _WIN32
namespace {
int g_pipe[2] = {-1, -1};  // the handler may only write to a descriptor

extern "C" void OnQuitSignal(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_pipe[0], &c, 1);
}
}  // namespace
#endif

QuitSignals::QuitSignals(std::function<void()> onQuit, QObject* parent) : QObject(parent), onQuit_(std::move(onQuit)) {
#ifndef _WIN32
    if (g_pipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0) return;
    notifier_ = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char c = 0;
        [[maybe_unused]] const auto n = ::read(g_pipe[1], &c, 1);
        if (onQuit_) onQuit_();
    });
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &action, nullptr);
#endif
}

QuitSignals::~QuitSignals() {
#ifndef _WIN32
    if (!notifier_) return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &action, nullptr);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
#endif
}

}  // namespace kx700::app
