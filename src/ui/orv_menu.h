#pragma once

// The program's own menus: every item drawn in its colours (a teal plate, a
// blue-to-cyan gradient under the selected item, a red and blue frame for
// separators), sized 8 pixels per character by 20.

#include <QMenu>
#include <QProxyStyle>
#include <vector>

namespace kx700::ui {

// One item of a menu resource: id > 0 a command, 0 a separator, -1 an item
// that opens the sub-menu of its children.
struct MenuItem {
    int id = 0;
    QString text;
    std::vector<MenuItem> children;
    bool checkable = false;  // drawn with a tick while checked
    bool checked = false;
};

// The tray's command that starts the window with the desktop (checked while
// it does).
inline constexpr int kAutostartCommand = 32840;
// The tray's ticks for the notes on the mouse's own switches, and for the
// simulated mouse's panel.
inline constexpr int kSwitchNoteCommand = 32841;
inline constexpr int kSimPanelCommand = 32842;

// The menu resources of the two languages.
std::vector<MenuItem> TrayMenuItems(bool english, bool autostart);
std::vector<MenuItem> EditorMenuItems(bool english);

// Draws menu items the way the program always has.
class OrvMenuStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    // Items at least as wide as their text and sub-menu mark need (the
    // editor's menu, whose labels are longer than eight pixels a character
    // allows in Chinese).
    void setFitText(bool on) { fitText_ = on; }

private:
    bool fitText_ = false;
};

class COrvMenu : public QMenu {
    Q_OBJECT
public:
    explicit COrvMenu(QWidget* parent = nullptr);
    // Replaces the items; at most 50, sub-menus included (the editor's menu
    // holds 34, the tray's 3).
    void load(const std::vector<MenuItem>& items);
    // The command of an item found by its path of texts (tests and scripts).
    QAction* findAction(const QStringList& path) const;
    int itemCount() const { return static_cast<int>(actions().size()); }
    void setFitText(bool on) { style_->setFitText(on); }

Q_SIGNALS:
    void command(int id);

private:
    OrvMenuStyle* style_;
};

// The gradient line colour of the selected item: start + step × y per
// channel, step = (end - start) / lines truncated, kept to eight bits.
QColor SelectedLineColour(int y, int lines);

}  // namespace kx700::ui
