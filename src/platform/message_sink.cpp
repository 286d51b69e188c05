#include "platform/message_sink.h"

#include <cstdio>

namespace kx700 {

void StderrMessageSink::show(std::string_view text) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

void RecordingMessageSink::show(std::string_view text) {
    std::lock_guard lock(mutex_);
    messages_.emplace_back(text);
}

std::vector<std::string> RecordingMessageSink::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

void RecordingMessageSink::clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
}

}  // namespace kx700
