#include "ui/tray.h"

#include "ui/title.h"

namespace kx700::ui {

TrayIcon::TrayIcon(const QIcon& icon, QObject* parent) : QObject(parent), menu_(std::make_unique<COrvMenu>()) {
    icon_.setIcon(icon);
    icon_.setToolTip(QString::fromUtf8(kWindowTitle));
    icon_.setContextMenu(menu_.get());
    connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick) Q_EMIT showRequested();
    });
    connect(menu_.get(), &COrvMenu::command, this, [this](int id) {
        if (id == 32801 || id == 32837) Q_EMIT showRequested();
        if (id == 32800 || id == 32838) Q_EMIT exitRequested();
    });
    connect(menu_.get(), &QMenu::triggered, this, [this](QAction* a) {
        if (a->data().toInt() == kAutostartCommand) {
            Q_EMIT autostartToggled(a->isChecked());
        } else if (a->isCheckable()) {
            Q_EMIT optionToggled(a->data().toInt(), a->isChecked());
        }
    });
}

TrayIcon::~TrayIcon() { icon_.hide(); }

bool TrayIcon::available() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void TrayIcon::add() {
    present_ = true;
    icon_.show();
}

void TrayIcon::remove() {
    present_ = false;
    icon_.hide();
}

void TrayIcon::setMenuItems(const std::vector<MenuItem>& items) { menu_->load(items); }

}  // namespace kx700::ui
