#pragma once

// Pointer moves and clicks the way a user makes them: onto a point, then
// press and release there.

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "ui/main_window.h"

namespace kx700::testing {

// A pointer move delivered to `w` itself. Moving the cursor instead would let
// the platform pick the window under it, and the offscreen platform ignores
// the shapes of overlapping windows.
inline void Hover(QWidget* w, QPoint p) {
    QMouseEvent move(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

inline void ClickAt(QWidget* w, QPoint p) {
    QTest::mouseMove(w, p);
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, p);
}

// Hover, then a click at the same point, on a popup.
inline void HoverClick(QWidget* w, QPoint p) {
    Hover(w, p);
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, p);
}

// Runs `act` on the first modal window that appears (a modal run starts a
// nested event loop, so it is found from there). Delete the returned timer to
// stop waiting.
inline QPointer<QTimer> WhenModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
        if (QWidget* m = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(m);
        }
    });
    timer->start();
    return timer;
}

inline QPoint Centre(const QRect& r) { return QPoint(r.x() + r.width() / 2, r.y() + r.height() / 2); }

// A click at the centre of an area of one of the window's tables.
inline void ClickArea(ui::CORV_ZOvizaDlg& w, ui::Page table, int area) { ClickAt(&w, Centre(w.areaRect(table, area))); }

}  // namespace kx700::testing
