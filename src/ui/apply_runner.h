#pragma once

// The window's apply: the image is built on the window's thread, a worker
// writes it while the event loop keeps running, and the end (files, host
// view, messages) is handled on the window's thread again.

#include <QObject>
#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>

#include "programming/apply.h"
#include "programming/session.h"

namespace kx700::ui {

class ApplyRunner : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const programming::ApplyResult&)>;

    explicit ApplyRunner(Session& session, QObject* parent = nullptr);
    // Waits for a running write: the link must not be written after the
    // window is gone.
    ~ApplyRunner() override;

    // Prepares the apply and starts its write; `done` runs on this thread
    // after the end was handled. False (and nothing done) while one runs. An
    // apply that ends before writing anything ends at once, before this
    // returns.
    bool start(Done done);
    bool running() const { return running_; }
    // Transactions sent and to send by the running apply.
    std::size_t done() const { return done_.load(); }
    std::size_t total() const { return total_; }

    // Blocks until the running write has ended and handles its end.
    void finishNow();

Q_SIGNALS:
    void progressed();  // a transaction more; at most one waits in the queue
    void finished(const kx700::programming::ApplyResult& result);

private:
    void complete();

    Session& session_;
    programming::PreparedApply prepared_;  // the worker's while it runs
    std::jthread worker_;
    bool running_ = false;
    // Which start the worker's queued end belongs to: after finishNow it may
    // still arrive, and must not end a later apply.
    unsigned generation_ = 0;
    std::size_t total_ = 0;
    std::atomic<std::size_t> done_{0};
    std::atomic<bool> progressQueued_{false};
    Done onDone_;
};

}  // namespace kx700::ui
