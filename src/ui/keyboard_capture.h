#pragma once

// Takes the keyboard away from the desktop while a macro is recorded: the
// window grabs it (server-wide on X11, so no other program receives keys)
// and every key event of the application is swallowed and handed on as a
// key message with its Windows virtual-key code.

#include <QObject>
#include <QPointer>
#include <cstdint>

class QKeyEvent;
class QWindow;

namespace kx700::ui {

class KeyboardCapture : public QObject {
    Q_OBJECT
public:
    explicit KeyboardCapture(QObject* parent = nullptr);
    ~KeyboardCapture() override;

    // False when the grab could not be taken (keys typed into the window are
    // still recorded).
    bool start(QWindow* window);
    void stop();
    bool active() const { return active_; }
    // A key message from the platform's hook (Windows): kinds 0x100, 0x101,
    // 0x104, 0x105 with the virtual key.
    void deliver(int kind, std::uint8_t vk);

Q_SIGNALS:
    // kind: 0x100 key down, 0x101 key up (0x104, 0x105 with Alt on Windows).
    void keyMessage(int kind, std::uint8_t vk);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWindow> window_;
    bool active_ = false;
    bool grabbed_ = false;
};

// The virtual-key code of a key event: from the physical key where the
// platform tells it (X11 and Wayland key codes), else from Qt's key.
std::uint8_t VirtualKeyOf(const QKeyEvent& event);
// Qt's key to the virtual-key code, for platforms without physical codes.
// Left and right modifiers cannot be told apart here: left is assumed.
std::uint8_t QtKeyToVk(int key, bool keypad);

}  // namespace kx700::ui
