#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/message_sink.h"

namespace kx700::app {

// The program's message boxes: modal, OK only, captioned with the program's
// name, owned by the main window once it exists. Questions are the same box
// with the two answers as buttons; No is the default, so Enter or Escape
// destroys nothing.
class MessageBoxSink final : public MessageSink {
public:
    explicit MessageBoxSink(QString caption) : caption_(std::move(caption)) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    void show(std::string_view text) override;
    bool confirm(std::string_view question, std::string_view yes, std::string_view no) override;

private:
    QString caption_;
    QPointer<QWidget> owner_;
};

}  // namespace kx700::app
