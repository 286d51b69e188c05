#include "ui/warning_dlg.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/wayland.h"

namespace kx700::ui {

namespace {
QRect RectOf(const AreaRect& a) { return QRect(a.x, a.y, a.width, a.height); }
}  // namespace

WarningDlg::WarningDlg(QWidget* parent, const std::filesystem::path& skinsFolder, const SkinTables& skin, QFont font,
                       QPoint anchor)
    : QDialog(parent, (OnWayland() ? Qt::Popup : Qt::Dialog) | Qt::FramelessWindowHint),
      images_(skinsFolder),
      skin_(skin) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    PrepareShapedWindow(*this);
    setMouseTracking(true);
    setModal(!OnWayland());
    setFont(font);
    const QImage mask = images_.load("warning_mask.jpg");
    size_ = mask.size();
    // Without its mask the dialog has no shape: keep it a 1 x 1 speck that
    // the keyboard can still close.
    setFixedSize(size_.isEmpty() ? QSize(1, 1) : size_);
    const QRegion shape = MaskToRegion(mask);
    setMask(shape.isEmpty() ? QRegion(0, 0, 1, 1) : shape);
    move(anchor);
}

int WarningDlg::ask() {
    if (!OnWayland()) return exec();
    // A modal dialog would block the main window, and a Wayland compositor
    // may keep the keyboard there while a popup is open: Escape and Enter
    // would be lost. A popup that is not modal gets every key and press of
    // the program all the same, and the main window stays untouchable.
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    setModal(false);
    show();
    loop.exec(QEventLoop::DialogExec);
    return result();
}

int WarningDlg::buttonAt(QPoint p) const {
    if (skin_.warningAreas[0].contains(p.x(), p.y())) return kConfirm;
    if (skin_.warningAreas[1].contains(p.x(), p.y())) return kCancel;
    return 255;
}

void WarningDlg::mouseMoveEvent(QMouseEvent* event) {
    const int hot = buttonAt(event->position().toPoint());
    if (hot != hot_) {
        hot_ = hot;
        update();
    }
}

void WarningDlg::mousePressEvent(QMouseEvent*) {
    // As a popup (Wayland) a press outside would close the dialog: a modal
    // question waits for its answer instead.
}

void WarningDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    hot_ = buttonAt(event->position().toPoint());
    if (hot_ == kConfirm || hot_ == kCancel) done(hot_);
}

void WarningDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        done(kCancel);
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        done(kConfirm);
    }
}

QImage WarningDlg::renderFace() {
    QImage canvas = images_.load("warning_normal.jpg").convertToFormat(QImage::Format_RGB32);
    if (canvas.isNull()) return canvas;
    QPainter p(&canvas);
    if (hot_ == kConfirm || hot_ == kCancel) {
        const QRect r = RectOf(skin_.warningAreas[static_cast<std::size_t>(hot_ - 1)]);
        p.drawImage(r.topLeft(), images_.load("warning_over.jpg"), r);
    }
    p.setFont(font());
    p.setPen(QColor(255, 0, 0));
    const QFontMetrics m(font());
    for (int i = 0; i < kWarningAreaCount; ++i) {
        const QRect r = RectOf(skin_.warningAreas[static_cast<std::size_t>(i)]);
        const QString text = QString::fromStdString(skin_.warningLabels[static_cast<std::size_t>(i)]);
        const int left = r.x() + (r.width() - m.horizontalAdvance(text)) / 2;
        const int top = r.y() + (r.height() - m.height()) / 2;
        p.drawText(QPoint(left, top + m.ascent()), text);
    }
    return canvas;
}

void WarningDlg::paintEvent(QPaintEvent*) { PaintShaped(*this, renderFace(), mask()); }

}  // namespace kx700::ui
