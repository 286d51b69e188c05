#include "ui/popup_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/wayland.h"

namespace kx700::ui {

PopupWindow::PopupWindow(QWidget* parent, PopupContext context)
    : QWidget(parent, PopupWindowFlags()),
      context_(std::move(context)),
      images_(context_.session->folders.skinsFolder()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    setFont(context_.font);
}

void PopupWindow::setUp(const char* maskName, int divisor, int rows, int regionExtra) {
    const QImage mask = images_.load(maskName);
    width_ = mask.width();
    rowHeight_ = divisor > 0 ? mask.height() / divisor : 0;
    rows_ = rows;
    hot_ = NoRow;
    const int height = rows_ * rowHeight_ + (rows_ > 0 ? regionExtra : 0);
    resize(std::max(width_, 1), std::max(height, 1));
    // An empty list leaves nothing to see or click: a 0 x 0 mask would mean
    // "no mask" to Qt, so such a window is simply never shown.
    if (width_ > 0 && height > 0) setMask(QRegion(0, 0, width_, height));
}

void PopupWindow::dismiss() {
    if (auto* parent = qobject_cast<PopupWindow*>(parentWidget())) {
        parent->dismiss();
    } else {
        hideCascade();
    }
}

PopupWindow* PopupWindow::popupAt(QPoint global) {
    for (QWidget* w = this; w; w = w->parentWidget()) {
        auto* popup = qobject_cast<PopupWindow*>(w);
        if (!popup) break;
        if (popup->isVisible() && popup->rect().contains(popup->mapFromGlobal(global))) return popup;
    }
    return nullptr;
}

bool PopupWindow::passOn(QMouseEvent& event) {
    if (windowType() != Qt::Popup || rect().contains(event.position().toPoint())) return false;
    const QPoint global = event.globalPosition().toPoint();
    const QEvent::Type type = event.type();
    if (PopupWindow* older = popupAt(global)) {
        // Hovering an older popup of the cascade: its rows track the pointer,
        // as they do on X11 where each popup gets its own events.
        QMouseEvent mapped(type, older->mapFromGlobal(global), event.scenePosition(), event.globalPosition(),
                           event.button(), event.buttons(), event.modifiers());
        QCoreApplication::sendEvent(older, &mapped);
        return true;
    }
    // Over the main window: a press closes the popups first, as every press
    // there does; then the window gets the event as if no popup were open.
    QPointer<QWidget> under = QApplication::widgetAt(global);
    if (type == QEvent::MouseButtonPress) dismiss();
    if (under && under != this) {
        QMouseEvent mapped(type, under->mapFromGlobal(global), event.scenePosition(), event.globalPosition(),
                           event.button(), event.buttons(), event.modifiers());
        QCoreApplication::sendEvent(under, &mapped);
    }
    return true;
}

bool PopupWindow::event(QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::MouseMove || type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
         type == QEvent::MouseButtonDblClick) &&
        passOn(*static_cast<QMouseEvent*>(event))) {
        return true;
    }
    return QWidget::event(event);
}

void PopupWindow::keyPressEvent(QKeyEvent* event) {
    // A popup that has the keyboard (Wayland) closes with Escape, like a menu.
    if (event->key() == Qt::Key_Escape) {
        dismiss();
        return;
    }
    event->ignore();
}

int PopupWindow::rowAt(QPoint p) const {
    if (p.x() < 0 || p.x() >= width_ || p.y() < 0 || rowHeight_ <= 0) return NoRow;
    for (int r = 1; r <= rows_; ++r) {
        if (p.y() >= rowHeight_ * (r - 1) && p.y() < rowHeight_ * r) return r;
    }
    return NoRow;
}

bool PopupWindow::track(QPoint p) {
    const int r = rowAt(p);
    if (r == hot_) return false;
    hot_ = r;
    update();
    hotRowChanged();
    return true;
}

void PopupWindow::mouseMoveEvent(QMouseEvent* event) { track(event->position().toPoint()); }

QImage PopupWindow::renderRows() {
    const Faces f = faces();
    QImage canvas = images_.load(f.normal).convertToFormat(QImage::Format_RGB32);
    if (canvas.isNull()) canvas = QImage(std::max(width_, 1), std::max(rows_ * rowHeight_, 1), QImage::Format_RGB32);
    QPainter p(&canvas);
    if (hot_ != NoRow && !bandFromNormal()) {
        const QRect band(0, rowHeight_ * (hot_ - 1), width_, rowHeight_);
        p.drawImage(band.topLeft(), images_.load(pressed_ ? f.down : f.over), band);
    }
    p.setFont(font());
    const QFontMetrics m(font());
    for (int r = 1; r <= rows_; ++r) {
        const QString text = rowText(r);
        const int top = rowHeight_ * (r - 1) + (rowHeight_ - m.height()) / 2;
        p.setPen(r == hot_ ? QColor(1, 255, 246) : QColor(255, 255, 255));
        p.drawText(QPoint(textLeft(m.horizontalAdvance(text)), top + m.ascent()), text);
    }
    return canvas;
}

void PopupWindow::paintEvent(QPaintEvent*) {
    const QImage frame = renderRows();
    QPainter p(this);
    const int rowsHeight = rows_ * rowHeight_;
    p.drawImage(QPoint(0, 0), frame, QRect(0, 0, width_, rowsHeight));
    // A sub-menu is a pixel taller than its rows: that line is its bottom
    // edge, in the colour of the side edges.
    if (height() > rowsHeight && !frame.isNull()) {
        p.fillRect(QRect(0, rowsHeight, width(), height() - rowsHeight), frame.pixelColor(0, rowHeight_ / 2));
    }
}

}  // namespace kx700::ui
