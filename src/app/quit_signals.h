#pragma once

// SIGTERM, SIGINT and SIGHUP (logout, kill, Ctrl+C in a terminal) end the
// program the way the tray's Exit does, on the UI thread, so that the mouse
// gets its exit notice and the simulated mouse's state is kept.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace kx700::app {

class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(std::function<void()> onQuit, QObject* parent = nullptr);
    ~QuitSignals() override;

private:
    std::function<void()> onQuit_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kx700::app
