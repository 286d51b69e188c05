#include "ui/mouse_note.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "ui/title.h"

namespace kx700::ui {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

}  // namespace

QString ProfileNoteText(bool english, int profile, const std::array<std::string, 3>& names) {
    QString text = (english ? QStringLiteral("Profile %1") : QStringLiteral("配置 %1")).arg(profile + 1);
    if (profile >= 0 && profile < static_cast<int>(names.size()) && !names[static_cast<std::size_t>(profile)].empty()) {
        text += QStringLiteral(" · ") + QString::fromStdString(names[static_cast<std::size_t>(profile)]);
    }
    return text;
}

QString CpiNoteText(bool english, int level, int cpi) {
    if (cpi > 0) return QStringLiteral("CPI %1").arg(cpi);
    return (english ? QStringLiteral("CPI level %1") : QStringLiteral("CPI 档位 %1")).arg(level + 1);
}

NoteWindow::NoteWindow()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::X11BypassWindowManagerHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowTitle(QStringLiteral("KX700 note"));
}

void NoteWindow::showText(const QString& text, const QFont& font) {
    text_ = text;
    font_ = font;
    const QFontMetrics metrics(font_);
    const QSize size(metrics.horizontalAdvance(text_) + 48, metrics.height() + 24);
    resize(size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center().x() - size.width() / 2, area.bottom() - size.height() - area.height() / 10);
    }
    show();
    raise();
    update();
}

void NoteWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // The colours of the skin's boxes: near-black green, the selection's blue-green.
    p.setPen(QPen(QColor(0, 120, 153), 2));
    p.setBrush(QColor(2, 18, 14, 235));
    p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8, 8);
    p.setPen(Qt::white);
    p.setFont(font_);
    p.drawText(rect(), Qt::AlignCenter, text_);
}

MouseNote::MouseNote(QObject* parent) : QObject(parent) {
    hideTimer_.setSingleShot(true);
    connect(&hideTimer_, &QTimer::timeout, this, [this] {
        if (window_) window_->hide();
    });
}

MouseNote::~MouseNote() { delete window_; }

bool MouseNote::serviceAvailable() const {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) return false;
    if (bus.interface()->isServiceRegistered(kService).value()) return true;
    // A service the bus starts on the first call counts too.
    const QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListActivatableNames"));
    const QDBusMessage reply = bus.call(call, QDBus::Block, 500);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().first().toStringList().contains(kService);
}

void MouseNote::show(const QString& text, const QFont& font) {
    lastText_ = text;
    ++shownCount_;
    if (!serviceAvailable()) {
        showFallback(text, font);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("transient"), true);
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(static_cast<uchar>(0)));
    call << QString::fromUtf8(kWindowTitle) << lastId_ << QStringLiteral("input-mouse") << text << QString()
         << QStringList() << hints << kShowMs;
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, text, font] {
        const QDBusPendingReply<quint32> reply = *watcher;
        watcher->deleteLater();
        if (reply.isError()) {
            showFallback(text, font);  // the service went away or refused: the note is still due
            return;
        }
        lastId_ = reply.value();
    });
}

void MouseNote::showFallback(const QString& text, const QFont& font) {
    if (!window_) window_ = new NoteWindow();
    window_->showText(text, font);
    hideTimer_.start(kShowMs);
}

}  // namespace kx700::ui
