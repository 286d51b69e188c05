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
    // A yes/no question asked before something is destroyed; true is yes.
    // `yes` and `no` are the two answers in the interface language. A sink
    // that has nobody to ask (this default) shows the question and answers
    // no, so nothing is destroyed without an answer.
    virtual bool confirm(std::string_view question, std::string_view yes, std::string_view no);
};

// Prints each message on its own line to stderr. Questions are printed with
// the answer no: kx700ctl runs in scripts, where nobody is there to answer.
class StderrMessageSink final : public MessageSink {
public:
    void show(std::string_view text) override;
    bool confirm(std::string_view question, std::string_view yes, std::string_view no) override;
};

// Keeps every message and every question; questions get the scripted answer
// (no until told otherwise). Safe to share between threads.
class RecordingMessageSink final : public MessageSink {
public:
    struct Question {
        std::string text, yes, no;
        friend bool operator==(const Question&, const Question&) = default;
    };
    void show(std::string_view text) override;
    bool confirm(std::string_view question, std::string_view yes, std::string_view no) override;
    std::vector<std::string> messages() const;
    std::vector<Question> questions() const;
    void answer(bool yes);
    void clear();  // messages and questions; the answer stays

private:
    mutable std::mutex mutex_;
    std::vector<std::string> messages_;
    std::vector<Question> questions_;
    bool answer_ = false;
};

}  // namespace kx700
