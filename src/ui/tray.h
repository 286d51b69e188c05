#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <memory>

#include "ui/orv_menu.h"

namespace kx700::ui {

// The notification-area icon with its menu. Where the desktop has no tray the
// icon cannot be shown; hiding the window then only minimises it, so the
// window can always come back.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    TrayIcon(const QIcon& icon, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Shows the icon (adding an icon that exists changes nothing).
    void add();
    void remove();
    bool present() const { return present_; }
    bool available() const;
    void setMenuItems(const std::vector<MenuItem>& items);
    COrvMenu* menu() { return menu_.get(); }

Q_SIGNALS:
    void showRequested();
    void exitRequested();
    // The "start with the desktop" item was chosen: on is its new state.
    void autostartToggled(bool on);
    // Another checkable item (the switch notes, the simulated-mouse panel).
    void optionToggled(int id, bool on);

private:
    std::unique_ptr<COrvMenu> menu_;
    QSystemTrayIcon icon_;
    bool present_ = false;
};

}  // namespace kx700::ui
