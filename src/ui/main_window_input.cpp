// Pointer movement, presses, releases and page changes of the main window.
#include <QMouseEvent>
#include <QWindow>

#include "ui/areas.h"
#include "ui/hit_test.h"
#include "ui/led_page.h"
#include "ui/macro_page.h"
#include "ui/main_page.h"
#include "ui/main_window.h"
#include "ui/popup_controller.h"

namespace kx700::ui {

namespace {

// While recording, the window answers only the record button (which stops
// it), minimise, hide, and presses on no area at all (dragging).
bool RecordingAllows(const Interaction& s) {
    return s.hotMacro == area::macro::kRecord || s.hotMain == area::header::kMinimise ||
           s.hotMain == area::header::kHide || (s.hotMain == NoArea && s.hotMacro == NoArea);
}

// The bar under a press on the shown page, or NoArea.
int BarOf(const Interaction& s) {
    if (s.currentPage == Page::Advanced) {
        using namespace area::advanced;
        const int a = s.hotAdvanced;
        if (a == kPointerBar || a == kWheelBar || a == kFireBar || (a >= kLevelBarFirst && a <= kLevelBarLast))
            return a;
    }
    if (s.currentPage == Page::Led && (s.hotLed == area::led::kBrightnessBar || s.hotLed == area::led::kSpeedBar)) {
        return s.hotLed;
    }
    return NoArea;
}

// While an apply writes: the tabs, minimise, hide, Apply (which then does
// nothing) and presses on no area (dragging). Nothing else may change the
// record whose image is being written.
bool ApplyingAllows(const Interaction& s) {
    using namespace area::header;
    const int h = s.hotMain;
    if ((h >= kTabFirst && h <= kTabLast) || h == kMinimise || h == kHide || h == kApply) return true;
    int pageHot = NoArea;
    switch (s.currentPage) {
        case Page::Main: pageHot = h; break;
        case Page::Advanced: pageHot = s.hotAdvanced; break;
        case Page::Macro: pageHot = s.hotMacro; break;
        case Page::Led: pageHot = s.hotLed; break;
    }
    return h == NoArea && pageHot == NoArea;
}

}  // namespace

bool CORV_ZOvizaDlg::eventFilter(QObject* watched, QEvent* event) {
    // The page's own controls (name boxes, lists) while an apply writes.
    if (!applying() || watched == this || !watched->isWidgetType() || !isAncestorOf(static_cast<QWidget*>(watched)))
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress: refuseWhileApplying(); return true;
        case QEvent::MouseButtonRelease:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::InputMethod: return true;
        default: return QWidget::eventFilter(watched, event);
    }
}

void CORV_ZOvizaDlg::repaintPage(bool now) {
    const QRegion region = interaction_.currentPage == Page::Main    ? mainPageRegion_
                           : interaction_.currentPage == Page::Macro ? macroPageRegion_
                                                                     : QRegion(rect());
    if (now) {
        repaint(region);
    } else {
        update(region);
    }
}

void CORV_ZOvizaDlg::mouseMoveEvent(QMouseEvent* event) {
    if (manualDrag_) {
        move(event->globalPosition().toPoint() - dragOffset_);
        return;
    }
    const QPoint p = event->position().toPoint();
    if (draggedBar_ != NoArea && (event->buttons() & Qt::LeftButton)) {
        // A held bar follows the pointer anywhere, with the press's own
        // arithmetic (held to the bar's ends); the hot area stays the bar.
        // An apply that began meanwhile (a request from kx700ctl, a wake)
        // freezes it: the record is being written.
        if (applying()) return;
        pressPageArea(p);
        repaintPage(true);
        return;
    }
    UpdateHotIndices(interaction_, skin_, p.x(), p.y());
    // Main, Led and Advanced changes repaint at once; the Macro page's paint
    // follows in the ordinary way.
    if (interaction_.hotMain != previousHot_[0]) {
        repaintPage(true);
        previousHot_[0] = interaction_.hotMain;
    }
    if (interaction_.hotLed != previousHot_[3]) {
        repaintPage(true);
        previousHot_[3] = interaction_.hotLed;
    }
    if (interaction_.hotAdvanced != previousHot_[1]) {
        repaintPage(true);
        previousHot_[1] = interaction_.hotAdvanced;
    }
    if (interaction_.hotMacro != previousHot_[2]) {
        repaintPage(false);
        previousHot_[2] = interaction_.hotMacro;
    }
}

void CORV_ZOvizaDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    UpdateHotIndices(interaction_, skin_, p.x(), p.y());
    Interaction& s = interaction_;
    if (interaction_.currentPage == Page::Macro) macroPage_->closeListEditors();
    if (macroPage_->recording() && !RecordingAllows(s)) {
        macroPage_->showRecordingNotice();
        return;
    }
    if (applying() && !ApplyingAllows(s)) {
        refuseWhileApplying();
        return;
    }
    if (s.hotMain != NoArea || s.hotAdvanced != NoArea || s.hotMacro != NoArea || s.hotLed != NoArea) {
        s.areaPressed = true;
        repaintPage(false);
    }
    popups_->close();  // every press in the window closes an open popup
    // A tab only switches the page. An area of the page it opens may lie
    // under the pointer, but the press was not aimed at it, nor is the
    // release that follows.
    tabPressed_ = s.hotMain >= area::header::kTabFirst && s.hotMain <= area::header::kTabLast;
    if (tabPressed_) {
        ChangePage(static_cast<Page>(s.hotMain - area::header::kTabFirst));
    } else {
        pressPageArea(p);
        draggedBar_ = BarOf(s);
    }

    int pageHot = s.hotMain;
    switch (s.currentPage) {
        case Page::Main: pageHot = NoArea; break;
        case Page::Advanced: pageHot = s.hotAdvanced; break;
        case Page::Macro: pageHot = s.hotMacro; break;
        case Page::Led: pageHot = s.hotLed; break;
    }
    if (s.hotMain == NoArea && pageHot == NoArea) startDrag(p);
    repaintPage(true);
}

void CORV_ZOvizaDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (manualDrag_) {
        manualDrag_ = false;
        releaseMouse();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    Interaction& s = interaction_;
    draggedBar_ = NoArea;
    if (macroPage_->recording() && !RecordingAllows(s)) {
        macroPage_->showRecordingNotice();
        return;
    }
    if (applying() && !ApplyingAllows(s)) return;  // its press was refused
    s.areaPressed = false;
    if (tabPressed_) {
        tabPressed_ = false;
        repaintPage(false);
        return;
    }
    const int hot = s.hotMain;
    if (hot == area::header::kMinimise || hot == area::header::kHide || hot == area::header::kClose) s.hotMain = NoArea;
    releaseHeader(hot);
    if (!ended_) releaseAreas(hot);
    if (!ended_) repaintPage(false);
}

void CORV_ZOvizaDlg::releaseHeader(int area) {
    switch (area) {
        case area::header::kMinimise: minimiseWindow(); break;
        case area::header::kHide: HideToTray(); break;
        case area::header::kClose: closeToTray(); break;
        case area::header::kApply: StartApply(); break;
        default: break;
    }
}

void CORV_ZOvizaDlg::startDrag(QPoint pressPoint) {
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    // No window manager support: follow the pointer ourselves.
    manualDrag_ = true;
    dragOffset_ = pressPoint;
    grabMouse();
}

void CORV_ZOvizaDlg::ChangePage(Page page) {
    const Page from = interaction_.currentPage;
    if (page == from) return;
    if (from == Page::Main) mainPage_->destroyControls();
    if (from == Page::Macro) macroPage_->destroyControls();
    if (from == Page::Led) ledPage_->leave();
    interaction_.currentPage = page;
    switch (page) {
        case Page::Main: mainPage_->createControls(); break;
        case Page::Macro:
            macroPage_->createControls();
            macroPage_->FillMacroList();
            break;
        case Page::Led: ledPage_->enter(); break;
        case Page::Advanced: break;
    }
}

}  // namespace kx700::ui
