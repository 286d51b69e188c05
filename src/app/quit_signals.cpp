#include "quit_signals.h"

#include <QSocketNotifier>

#include "platform/posix.h"

namespace kx700::app {

QuitSignals::QuitSignals(std::function<void()> onQuit, QObject* parent) : QObject(parent), onQuit_(std::move(onQuit)) {
    const int watched = posix::InstallQuitSignalPipe();
    if (watched < 0) return;
    notifier_ = new QSocketNotifier(watched, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        posix::TakeQuitSignalByte();
        if (onQuit_) onQuit_();
    });
}

QuitSignals::~QuitSignals() {
    if (notifier_) posix::RemoveQuitSignalPipe();
}

}  // namespace kx700::app
