#pragma once

// The Led page: its switches and bars, the lighting-mode popup, and the
// preview that repaints the page at the pace of the chosen effect while the
// page is shown.

#include <QObject>
#include <QTimer>

#include "programming/session.h"
#include "ui/page_host.h"

namespace kx700::ui {

class LedPage : public QObject {
    Q_OBJECT
public:
    LedPage(PageHost host, Session& session);

    // The page came into view; it went out of view (or the window ended).
    void enter();
    void leave();
    // A left-button press at window point x on an area of the page.
    void Press(int area, int x);
    // Timer ticks since the page came into view: the live preview's clock.
    int previewTick() const { return tick_; }

private:
    PageHost host_;
    Session& session_;
    QTimer preview_;
    int tick_ = 0;
};

}  // namespace kx700::ui
