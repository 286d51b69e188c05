#include "app/gui_messages.h"

#include <QMessageBox>
#include <QPushButton>

namespace kx700::app {

namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

void MessageBoxSink::show(std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, caption_, Q(text), QMessageBox::Ok, owner_.data());
    box.exec();
}

bool MessageBoxSink::confirm(std::string_view question, std::string_view yes, std::string_view no) {
    QMessageBox box(QMessageBox::Question, caption_, Q(question), QMessageBox::Yes | QMessageBox::No, owner_.data());
    // Qt's own words would be English in a Chinese interface.
    box.button(QMessageBox::Yes)->setText(Q(yes));
    box.button(QMessageBox::No)->setText(Q(no));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace kx700::app
