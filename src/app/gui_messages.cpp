#include "app/gui_messages.h"

#include <QMessageBox>
#include <QPushButton>

namespace kx700::app {

namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The boxes wear the window's dark theme rather than the desktop's.
void Theme(QMessageBox& box) {
    box.setStyleSheet(QStringLiteral(
        "QMessageBox { background: rgb(14,23,28); }"
        "QMessageBox QLabel { color: rgb(255,255,255); }"
        "QPushButton { color: rgb(255,255,255); background: rgb(22,38,44); border: 1px solid rgb(42,71,77); "
        "border-radius: 4px; padding: 5px 18px; min-width: 64px; }"
        "QPushButton:hover { border-color: rgb(1,255,246); }"
        "QPushButton:pressed, QPushButton:default { background: rgb(9,84,86); }"));
}

}  // namespace

void MessageBoxSink::show(std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, caption_, Q(text), QMessageBox::Ok, owner_.data());
    Theme(box);
    box.exec();
}

bool MessageBoxSink::confirm(std::string_view question, std::string_view yes, std::string_view no) {
    QMessageBox box(QMessageBox::Question, caption_, Q(question), QMessageBox::Yes | QMessageBox::No, owner_.data());
    Theme(box);
    // Qt's own words would be English in a Chinese interface.
    box.button(QMessageBox::Yes)->setText(Q(yes));
    box.button(QMessageBox::No)->setText(Q(no));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace kx700::app
