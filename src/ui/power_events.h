#pragma once

#include <QObject>

namespace kx700::ui {

// Tells when the machine is about to sleep or has woken up (logind's
// PrepareForSleep on the system bus). The mouse may have lost what it was
// sent while asleep, so the window programs it again on every such event.
class PowerEvents : public QObject {
    Q_OBJECT
public:
    explicit PowerEvents(QObject* parent = nullptr);
    // False where there is no system bus or no logind (containers, CI).
    bool listening() const { return listening_; }

Q_SIGNALS:
    void powerEvent(bool goingToSleep);

private Q_SLOTS:
    void onPrepareForSleep(bool start);

private:
    bool listening_ = false;
};

}  // namespace kx700::ui
