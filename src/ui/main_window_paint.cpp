// Painting the main window: one composed frame, copied in one step.
#include <QPaintEvent>
#include <QPainter>

#include "ui/apply_indicators.h"
#include "ui/apply_runner.h"
#include "ui/areas.h"
#include "ui/led_page.h"
#include "ui/macro_page.h"
#include "ui/main_window.h"
#include "ui/page_painter.h"
#include "ui/wayland.h"

namespace kx700::ui {

QImage CORV_ZOvizaDlg::renderFrame(const QRegion& only) {
    PaintModel m;
    m.interaction = interaction_;
    m.settings = &session_.settings;
    m.currentProfile = session_.currentProfile;
    m.english = session_.englishInterface;
    m.skin = &skin_;
    m.labelFont = fonts_.label;
    m.largeFont = fonts_.large;
    m.macroName = [this](std::int32_t v) { return macroName(v); };
    m.recording = macroPage_->recording();
    m.currentRunMode = macroPage_->currentRunMode();
    m.previewTick = ledPage_->previewTick();
    for (std::size_t i = 0; i < links_.size(); ++i) m.linkSet[i] = !links_[i].empty();
    QImage frame;
    PaintPage(frame, m, images_, only);
    paintApplyIndicators(frame, only);
    return frame;
}

programming::MacroMemoryUse CORV_ZOvizaDlg::macroMemory() const {
    GaugeInputs now{session_.settings,
                    session_.currentProfile,
                    session_.memoryBankBit,
                    session_.macros.groups.currentGroup,
                    session_.macros.groups.groupCount,
                    session_.macros.table};
    if (gaugeMeasuredFor_ != now) {
        gaugeMeasured_ = programming::MeasureMacroMemory(session_);
        gaugeMeasuredFor_ = std::move(now);
    }
    return gaugeMeasured_;
}

void CORV_ZOvizaDlg::paintApplyIndicators(QImage& frame, const QRegion& only) {
    if (frame.isNull()) return;
    QPainter p(&frame);
    if (!only.isEmpty()) p.setClipRegion(only);
    const Page page = interaction_.currentPage;
    const QRect gaugeRect = MacroGaugeRect(page);
    if (!gaugeRect.isEmpty() && (only.isEmpty() || only.intersects(gaugeRect))) {
        // Assignments and macro edits change it from many places: every
        // paint asks, and macroMemory() measures only when they did.
        const MacroGauge gauge = MakeMacroGauge(macroMemory(), session_.englishInterface, session_.profileNames);
        PaintMacroGauge(p, gaugeRect, gauge, fonts_.label);
        gaugeShown_ = gauge.figure + gauge.over;
    }
    // Where the footer holds the gauge, the notes stay right of it.
    const QRect apply = areaRect(Page::Main, area::header::kApply);
    const bool inFooter = !gaugeRect.isEmpty() && gaugeRect.top() >= apply.top() - 8;
    const int noteLeftLimit = inFooter ? gaugeRect.right() + 8 : 16;
    if (applying()) {
        PaintApplyProgress(p, apply, applyRunner_->done(), applyRunner_->total(), session_.englishInterface, applyNote_,
                           fonts_.label, noteLeftLimit);
    } else {
        PaintShortNote(p, apply, doneNote_, false, fonts_.label, noteLeftLimit);
    }
}

void CORV_ZOvizaDlg::paintEvent(QPaintEvent* event) {
    if (options_.hideAtStart) {
        // -HIDE: the window shows during start-up and minimises at its first paint.
        options_.hideAtStart = false;
        showMinimized();
    }
    // A progress step or a hover repaints a small part: painting only that
    // keeps the event loop free while an apply runs.
    PaintShaped(*this, renderFrame(event->region()), mask());
}

}  // namespace kx700::ui
