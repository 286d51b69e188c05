// A stand-in notification service for the end-to-end tests: owns
// org.freedesktop.Notifications on the session bus, prints every Notify call
// as one line ("notify replaces=ID id=ID timeout=MS summary=TEXT") and answers
// with a fresh id, so a test sees whether notes replace each other.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QStringList>
#include <QVariantMap>
#include <cstdio>

class Listener : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public Q_SLOTS:
    uint Notify(const QString& /*app*/, uint replaces, const QString& /*icon*/, const QString& summary,
                const QString& /*body*/, const QStringList& /*actions*/, const QVariantMap& /*hints*/, int timeout) {
        const uint id = ++last_;
        std::printf("notify replaces=%u id=%u timeout=%d summary=%s\n", replaces, id, timeout,
                    summary.toUtf8().constData());
        std::fflush(stdout);
        return id;
    }
    QStringList GetCapabilities() { return {QStringLiteral("body")}; }

private:
    uint last_ = 0;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Listener listener;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &listener,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
        std::fprintf(stderr, "notify_listener: cannot own org.freedesktop.Notifications\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "notify_listener.moc"
