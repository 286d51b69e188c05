#include "ui/wayland.h"

#include <QGuiApplication>
#include <QPainter>

namespace kx700::ui {

bool OnWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

Qt::WindowFlags PopupWindowFlags() {
    if (OnWayland()) return Qt::Popup | Qt::FramelessWindowHint;
    return Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
}

const char* WindowKeysOnlyNotice(bool english) {
    return english ? "On this desktop only the keys typed into this window are recorded. Keep the window in front "
                     "while you record."
                   : "在此桌面上只录制在本窗口中输入的按键，录制时请让本窗口保持在最前。";
}

void PrepareShapedWindow(QWidget& window) {
    if (OnWayland()) window.setAttribute(Qt::WA_TranslucentBackground);
}

void PaintShaped(QWidget& window, const QImage& face, const QRegion& shape) {
    QPainter p(&window);
    if (window.testAttribute(Qt::WA_TranslucentBackground)) {
        // The backing store keeps what was painted before: clear it, then
        // draw the face through the shape.
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(window.rect(), Qt::transparent);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (!shape.isEmpty()) p.setClipRegion(shape);
    }
    p.drawImage(0, 0, face);
}

}  // namespace kx700::ui
