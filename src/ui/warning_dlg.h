#pragma once

// The confirmation shown before the button popup when profile 0 could lose
// its last left-click button: a modal, mask-shaped window with two picture
// buttons and a message, all placed and worded by the warning layout. On
// Wayland it is a popup, so that it opens under the field that asked and
// still takes the keyboard; closed without an answer it means cancel.

#include <QDialog>
#include <QFont>

#include "skin/images.h"
#include "skin/layout.h"

namespace kx700::ui {

class WarningDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kConfirm = 1;
    static constexpr int kCancel = 2;

    WarningDlg(QWidget* parent, const std::filesystem::path& skinsFolder, const SkinTables& skin, QFont font,
               QPoint anchor);
    // Shows the dialog until it is answered: kConfirm, kCancel, or 0 when it
    // was closed without an answer.
    int ask();
    int hotButton() const { return hot_; }
    QImage renderFace();  // the face as painted, for tests

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int buttonAt(QPoint p) const;
    SkinImageCache images_;
    const SkinTables& skin_;
    QSize size_;
    int hot_ = 255;
};

}  // namespace kx700::ui
