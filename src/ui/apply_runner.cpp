#include "ui/apply_runner.h"

#include <QMetaObject>

namespace kx700::ui {

ApplyRunner::ApplyRunner(Session& session, QObject* parent) : QObject(parent), session_(session) {}

ApplyRunner::~ApplyRunner() {
    if (worker_.joinable()) worker_.join();
}

bool ApplyRunner::start(Done done) {
    if (running_) return false;
    prepared_ = programming::PrepareApply(session_);
    onDone_ = std::move(done);
    running_ = true;
    done_ = 0;
    total_ = prepared_.total();
    if (!prepared_.write) {
        complete();
        return true;
    }
    const unsigned generation = ++generation_;
    worker_ = std::jthread([this, generation] {
        programming::WriteApplyImage(session_.link, prepared_, [this](std::size_t sent, std::size_t) {
            done_.store(sent);
            if (!progressQueued_.exchange(true)) {
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        progressQueued_ = false;
                        Q_EMIT progressed();
                    },
                    Qt::QueuedConnection);
            }
        });
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (generation == generation_) complete();
            },
            Qt::QueuedConnection);
    });
    return true;
}

void ApplyRunner::finishNow() {
    if (!running_) return;
    complete();
}

void ApplyRunner::complete() {
    if (!running_) return;
    if (worker_.joinable()) worker_.join();
    const programming::ApplyResult r = programming::FinishApply(session_, prepared_);
    running_ = false;
    Done done = std::move(onDone_);
    onDone_ = nullptr;
    Q_EMIT finished(r);
    if (done) done(r);
}

}  // namespace kx700::ui
