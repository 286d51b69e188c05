#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

namespace kx700::app {

// One program per user: the first start holds a lock and listens on the
// user's instance channel; a second start asks the first to show its window,
// then ends without a word. The channel also takes kx700ctl's "apply" when the
// window owns the mouse.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `name` stands in for the original named mutex; the user's name is added
    // so two users on one machine each have their own.
    explicit SingleInstance(const QString& name);
    ~SingleInstance() override;

    // True for the first instance. A later one has asked the first to show.
    // When the lock cannot be made at all (no writable runtime folder), this
    // start runs as the first: better two windows than none.
    bool acquire();

    // Answers an "apply" request: gives the whole answer (see
    // instance_channel.h) to its argument, now or once the apply has ended.
    using Answer = std::function<void(const std::string&)>;
    void setApplyHandler(std::function<void(Answer)> handler) { applyHandler_ = std::move(handler); }

Q_SIGNALS:
    void showRequested();

private:
    void serve(class QLocalSocket* client);

    QString key_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
    std::function<void(Answer)> applyHandler_;
};

}  // namespace kx700::app
