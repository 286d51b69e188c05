#include "platform/message_sink.h"

#include <cstdio>

namespace kx700 {

bool MessageSink::confirm(std::string_view question, std::string_view /*yes*/, std::string_view /*no*/) {
    show(question);
    return false;
}

void StderrMessageSink::show(std::string_view text) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

bool StderrMessageSink::confirm(std::string_view question, std::string_view yes, std::string_view no) {
    std::fprintf(stderr, "%.*s [%.*s/%.*s]: %.*s\n", static_cast<int>(question.size()), question.data(),
                 static_cast<int>(yes.size()), yes.data(), static_cast<int>(no.size()), no.data(),
                 static_cast<int>(no.size()), no.data());
    return false;
}

void RecordingMessageSink::show(std::string_view text) {
    std::lock_guard lock(mutex_);
    messages_.emplace_back(text);
}

bool RecordingMessageSink::confirm(std::string_view question, std::string_view yes, std::string_view no) {
    std::lock_guard lock(mutex_);
    questions_.push_back(Question{std::string(question), std::string(yes), std::string(no)});
    return answer_;
}

std::vector<std::string> RecordingMessageSink::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<RecordingMessageSink::Question> RecordingMessageSink::questions() const {
    std::lock_guard lock(mutex_);
    return questions_;
}

void RecordingMessageSink::answer(bool yes) {
    std::lock_guard lock(mutex_);
    answer_ = yes;
}

void RecordingMessageSink::clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
    questions_.clear();
}

}  // namespace kx700
