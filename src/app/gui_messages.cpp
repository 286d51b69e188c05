#include "app/gui_messages.h"

#include <QMessageBox>

namespace kx700::app {

void MessageBoxSink::show(std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, caption_, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                    QMessageBox::Ok, owner_.data());
    box.exec();
}

}  // namespace kx700::app
