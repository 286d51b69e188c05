#pragma once

// The popup menu windows: frameless tool windows cut to a column of equal
// rows, drawn from their skin pictures with the hot row's band and texts.
// They are not Qt::Popup windows: a press in the main window has to reach the
// main window (which then closes them), not be eaten by a popup grab. On
// Wayland they are placed relative to their parent (ui/wayland.h).

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <array>
#include <string>

#include "programming/session.h"
#include "skin/images.h"
#include "skin/layout.h"

namespace kx700::ui {

inline constexpr int NoRow = 255;

// What the popups read and change.
struct PopupContext {
    Session* session = nullptr;
    const std::array<std::string, kFunctionNameCount>* functionNames = nullptr;
    QFont font;
    int button = 0;   // kind 1: the button whose assignment is chosen
    int ledSlot = 0;  // kinds 6-8: the LED sequence of the current macro
    int ledLine = 0;  // kinds 6 and 7: the selected line of the LED step list
};

// One column of rows. Subclasses give the pictures, the row count and texts.
class PopupWindow : public QWidget {
    Q_OBJECT
public:
    PopupWindow(QWidget* parent, PopupContext context);

    int hotRow() const { return hot_; }
    int rowCount() const { return rows_; }
    int rowHeight() const { return rowHeight_; }
    int rowWidth() const { return width_; }
    // The centre of row r (from 1) in this window's coordinates.
    QPoint rowCentre(int r) const { return QPoint(width_ / 2, rowHeight_ * (r - 1) + rowHeight_ / 2); }
    QImage renderRows();  // the frame as painted, for tests

protected:
    struct Faces {
        const char* normal;
        const char* over;
        const char* down;
    };
    // Reads the mask's size: W is its width, h its height ÷ divisor.
    void setUp(const char* maskName, int divisor, int rows, int regionExtra);
    virtual Faces faces() const = 0;
    virtual QString rowText(int r) const = 0;
    // Every row's text starts at the same padding from the left edge.
    virtual int textLeft(int /*textWidth*/) const { return kRowPadding; }
    static constexpr int kRowPadding = 12;
    virtual bool bandFromNormal() const { return false; }
    virtual void hotRowChanged() {}
    int rowAt(QPoint p) const;
    // Takes the hot row from a position; true when it changed.
    bool track(QPoint p);
    bool pressed_ = false;
    PopupContext context_;

    // Closes the whole cascade (the first level closes itself and its sub-menus).
    virtual void dismiss();
    // Hides this popup after the popups it opened (a Wayland compositor
    // takes popups down from the newest only).
    virtual void hideCascade() { hide(); }
    bool event(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // A popup of this cascade (this one or an older one) under a screen point.
    PopupWindow* popupAt(QPoint global);
    // Qt::Popup (Wayland): Qt hands the newest popup every pointer event of
    // the program. One meant for another window goes on to it; true if so.
    bool passOn(QMouseEvent& event);
    SkinImageCache images_;
    int width_ = 0;
    int rowHeight_ = 0;
    int rows_ = 0;
    int hot_ = NoRow;
};

}  // namespace kx700::ui
