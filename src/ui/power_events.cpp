#include "ui/power_events.h"

#include <QDBusConnection>

namespace kx700::ui {

PowerEvents::PowerEvents(QObject* parent) : QObject(parent) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return;
    listening_ = bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                             QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                             SLOT(onPrepareForSleep(bool)));
}

void PowerEvents::onPrepareForSleep(bool start) { Q_EMIT powerEvent(start); }

}  // namespace kx700::ui
