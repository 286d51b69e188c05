#pragma once

// The Led page: its switches and bars, the lighting-mode popup, the colour
// picker of the swatches, and the preview that repaints the page at the pace
// of the chosen effect while the page is shown.

#include <QObject>
#include <QTimer>
#include <memory>

#include "programming/session.h"
#include "ui/colour_picker.h"
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
    // The release that ends a click on an area: a swatch that shows a user
    // colour opens the colour picker, and OK keeps the chosen colour in the
    // record (saved with the next apply, as every change of the page).
    void Release(int area);
    // Where the swatches ask for a colour; the page keeps the picker dialog
    // until another is given (tests). The chooser must outlive the page.
    void setColourChooser(ColourChooser* chooser) { chooser_ = chooser; }
    // Timer ticks since the page came into view: the live preview's clock.
    int previewTick() const { return tick_; }

private:
    ColourChooser& colourChooser();

    PageHost host_;
    Session& session_;
    QTimer preview_;
    int tick_ = 0;
    ColourChooser* chooser_ = nullptr;
    std::unique_ptr<ColourChooser> dialogChooser_;
};

}  // namespace kx700::ui
