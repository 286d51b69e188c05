#pragma once

// The short note shown when the mouse switches by itself (its profile key,
// its CPI button): a desktop notification that replaces the previous one, or,
// where no notification service runs, a small frameless note of our own near
// the bottom of the screen.

#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <string>

namespace kx700::ui {

// "Profile 2 · Shooter" / "配置 2 · Shooter" for the window's profile 0-2 (the
// mouse's slots 0, 2, 3); a profile without a name says only its number.
QString ProfileNoteText(bool english, int profile, const std::array<std::string, 3>& names);
// "CPI 1600"; a CPI of 0 (a step outside the table) says the level instead.
QString CpiNoteText(bool english, int level, int cpi);

// The fallback note: painted like the skin's controls, never takes the focus.
class NoteWindow : public QWidget {
    Q_OBJECT
public:
    NoteWindow();
    void showText(const QString& text, const QFont& font);
    QString text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QFont font_;
};

class MouseNote : public QObject {
    Q_OBJECT
public:
    // How long a note stays.
    static constexpr int kShowMs = 1500;

    explicit MouseNote(QObject* parent = nullptr);
    ~MouseNote() override;

    void show(const QString& text, const QFont& font);
    // The fallback note, while one is shown (tests and screenshots).
    // The last note asked for, and how many were (tests).
    QString lastText() const { return lastText_; }
    int shownCount() const { return shownCount_; }
    const NoteWindow* fallbackWindow() const { return window_ && window_->isVisible() ? window_ : nullptr; }

private:
    bool serviceAvailable() const;
    void showFallback(const QString& text, const QFont& font);

    QString lastText_;
    int shownCount_ = 0;
    quint32 lastId_ = 0;  // the notification a new note replaces
    NoteWindow* window_ = nullptr;
    QTimer hideTimer_;
};

}  // namespace kx700::ui
