#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace kx700::app {

// One program per user: the first start holds a lock and listens; a second
// start asks the first to show its window, then ends without a word.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `name` stands in for the original named mutex; the user's name is added
    // so two users on one machine each have their own.
    explicit SingleInstance(const QString& name);
    ~SingleInstance() override;

    // True for the first instance. A later one has asked the first to show.
    bool acquire();

Q_SIGNALS:
    void showRequested();

private:
    QString key_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};

}  // namespace kx700::app
