#pragma once

#include <ostream>

#include "platform/message_sink.h"

namespace kx700::ctl {

// The program's messages as kx700ctl prints them: one line each on `err`.
class StreamMessages final : public MessageSink {
public:
    explicit StreamMessages(std::ostream& err) : err_(err) {}
    void show(std::string_view text) override {
        err_ << "kx700ctl: " << text << "\n";
        ++shown_;
    }
    int shown() const { return shown_; }

private:
    std::ostream& err_;
    int shown_ = 0;
};

}  // namespace kx700::ctl
