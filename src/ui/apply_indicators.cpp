#include "ui/apply_indicators.h"

#include <QDir>
#include <algorithm>

#include "ui/skin_palette.h"

namespace kx700::ui {
namespace {

// The skin's own colours: the cyan of hot labels and frames, the dark teal of
// its buttons, and an amber that reads as a warning on both.
const QColor& kAccent = palette::kAccent;
const QColor kFrame(40, 150, 150);
const QColor kTrough(10, 28, 30);
const QColor kFill(0, 120, 153);
const QColor kWarning(255, 150, 40);
const QColor& kText = palette::kText;

}  // namespace

MacroGauge MakeMacroGauge(const programming::MacroMemoryUse& use, bool english,
                          const std::array<std::string, 3>& profileNames) {
    MacroGauge g;
    const programming::MacroMemoryTexts t = programming::MacroMemoryText(use, english, profileNames);
    g.figure = QString::fromStdString(t.figure);
    g.over = QString::fromStdString(t.over);
    g.warning = !use.fits;
    g.fraction = use.capacity == 0 ? 1.0 : static_cast<double>(use.used) / static_cast<double>(use.capacity);
    return g;
}

void PaintMacroGauge(QPainter& p, const QRect& where, const MacroGauge& gauge, const QFont& font) {
    if (where.isEmpty()) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(font);
    const QFontMetrics fm(font);
    const int line = fm.height();
    const QColor tone = gauge.warning ? kWarning : kAccent;
    QRect text(where.left(), where.top(), where.width(), line);
    p.setPen(gauge.warning ? kWarning : kText);
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, gauge.figure);
    const QRect bar(where.left(), text.bottom() + 4, where.width(), 8);
    p.setPen(QPen(kFrame, 1));
    p.setBrush(kTrough);
    p.drawRoundedRect(QRectF(bar).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    const int filled = static_cast<int>(std::clamp(gauge.fraction, 0.0, 1.0) * (bar.width() - 2));
    if (filled > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(gauge.warning ? kWarning : kFill);
        p.drawRoundedRect(QRect(bar.left() + 1, bar.top() + 1, filled, bar.height() - 2), 2, 2);
    }
    if (!gauge.over.isEmpty()) {
        p.setPen(tone);
        const QRect rest(where.left(), bar.bottom() + 4, where.width(), where.bottom() - bar.bottom() - 4);
        p.drawText(rest, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, gauge.over);
    }
    p.restore();
}

void PaintApplyProgress(QPainter& p, const QRect& applyArea, std::size_t done, std::size_t total, bool english,
                        const QString& note, const QFont& font, int noteLeftLimit) {
    if (applyArea.isEmpty()) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(applyArea).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(QPen(kAccent, 1.5));
    p.setBrush(kTrough);
    p.drawRoundedRect(frame, 6, 6);
    const double fraction = total == 0 ? 0.0 : std::min(1.0, static_cast<double>(done) / static_cast<double>(total));
    if (fraction > 0) {
        QRectF fill = frame.adjusted(2, 2, -2, -2);
        fill.setWidth(fill.width() * fraction);
        p.setPen(Qt::NoPen);
        p.setBrush(kFill);
        p.drawRoundedRect(fill, 4, 4);
    }
    p.setFont(font);
    p.setPen(kText);
    const int percent = static_cast<int>(fraction * 100);
    p.drawText(applyArea, Qt::AlignCenter,
               (english ? QStringLiteral("Applying %1%") : QStringLiteral("写入中 %1%")).arg(percent));
    p.restore();
    PaintShortNote(p, applyArea, note, true, font, noteLeftLimit);
}

QRect ApplyIndicatorsRect(const QRect& applyArea) {
    // The note's frame is a line of text high, centred on the Apply row; the
    // margin covers a tall font and the antialiased edges.
    return QRect(0, applyArea.top() - 16, applyArea.right() + 3, applyArea.height() + 32);
}

QString ApplyBusyNote(bool english) {
    return english ? QStringLiteral("Wait until the apply has ended") : QStringLiteral("请等待写入结束");
}

QString DoneNote(DoneAction action, bool english, const QString& file) {
    switch (action) {
        case DoneAction::Apply: return english ? QStringLiteral("Applied to the mouse") : QStringLiteral("已写入鼠标");
        case DoneAction::Import:
            return english ? QStringLiteral("Imported from %1").arg(file) : QStringLiteral("已从 %1 导入").arg(file);
        case DoneAction::Export:
            return english ? QStringLiteral("Saved to %1").arg(file) : QStringLiteral("已保存到 %1").arg(file);
        case DoneAction::Reset:
            return english ? QStringLiteral("Factory settings restored") : QStringLiteral("已恢复出厂设置");
        case DoneAction::MacroReset:
            return english ? QStringLiteral("Factory macros restored") : QStringLiteral("已恢复出厂宏");
    }
    return {};
}

QString ShownPath(const std::filesystem::path& file) {
    return QDir::toNativeSeparators(QString::fromStdString(file.string()));
}

void PaintShortNote(QPainter& p, const QRect& applyArea, const QString& note, bool warning, const QFont& font,
                    int leftLimit) {
    if (note.isEmpty() || applyArea.isEmpty()) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(font);
    const QFontMetrics fm(font);
    // A long path gives up its middle rather than run off the window.
    const QString shown = fm.elidedText(note, Qt::ElideMiddle, std::max(120, applyArea.left() - leftLimit - 24));
    const int width = fm.horizontalAdvance(shown) + 16;
    const QRect box(applyArea.left() - width - 8, applyArea.top() + (applyArea.height() - fm.height() - 8) / 2, width,
                    fm.height() + 8);
    const QColor tone = warning ? kWarning : kAccent;
    p.setPen(QPen(tone, 1));
    p.setBrush(kTrough);
    p.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    p.setPen(tone);
    p.drawText(box, Qt::AlignCenter, shown);
    p.restore();
}

}  // namespace kx700::ui
