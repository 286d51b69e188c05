#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace kx700 {

// Where the program's message boxes go. The window shows a modal box with an
// OK button, kx700ctl prints to stderr, tests keep the texts. The texts are the
// program's own fixed strings and are passed through unchanged.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(std::string_view text) = 0;
};

// Prints each message on its own line to stderr.
class StderrMessageSink final : public MessageSink {
public:
    void show(std::string_view text) override;
};

// Keeps every message; safe to share between threads.
class RecordingMessageSink final : public MessageSink {
public:
    void show(std::string_view text) override;
    std::vector<std::string> messages() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::string> messages_;
};

}  // namespace kx700
