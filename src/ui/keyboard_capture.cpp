#include "ui/keyboard_capture.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>

#include "platform/x11_keymap.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kx700::ui {

#ifdef _WIN32
namespace {

// The low-level hook runs on the thread that installed it and must return at
// once: it only queues the key for the capture object and swallows it.
KeyboardCapture* g_capture = nullptr;
HHOOK g_hook = nullptr;

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM kind, LPARAM data) {
    if (code < 0 || !g_capture) return CallNextHookEx(g_hook, code, kind, data);
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    const int message = static_cast<int>(kind);
    const auto vk = static_cast<std::uint8_t>(key->vkCode);
    QMetaObject::invokeMethod(
        g_capture,
        [message, vk] {
            if (g_capture) g_capture->deliver(message, vk);
        },
        Qt::QueuedConnection);
    return 1;
}

}  // namespace
#endif

KeyboardCapture::KeyboardCapture(QObject* parent) : QObject(parent) {}

KeyboardCapture::~KeyboardCapture() { stop(); }

bool KeyboardCapture::start(QWindow* window) {
    if (active_) return grabbed_;
    active_ = true;
    window_ = window;
#ifdef _WIN32
    g_capture = this;
    if (!g_hook) g_hook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHookProc, GetModuleHandleW(nullptr), 0);
    grabbed_ = g_hook != nullptr;
#else
    QCoreApplication::instance()->installEventFilter(this);
    grabbed_ = window && window->setKeyboardGrabEnabled(true);
#endif
    return grabbed_;
}

void KeyboardCapture::stop() {
    if (!active_) return;
    active_ = false;
#ifdef _WIN32
    if (g_hook) UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    g_capture = nullptr;
#else
    if (grabbed_ && window_) window_->setKeyboardGrabEnabled(false);
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
#endif
    grabbed_ = false;
}

void KeyboardCapture::deliver(int kind, std::uint8_t vk) {
    // The extra key of 102-key boards has no usage of its own in the
    // mouse's table and would replay as Left Alt: it is not recorded.
    if (!active_ || vk == 0 || vk == 0xE2) return;
    const bool down = kind == 0x100 || kind == 0x104;
    const bool up = kind == 0x101 || kind == 0x105;
    if (down || up) Q_EMIT keyMessage(kind, vk);
}

bool KeyboardCapture::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (!active_ || (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)) {
        return QObject::eventFilter(watched, event);
    }
    // Every key is taken while recording: none reaches an edit box, a
    // shortcut or the window's own handling (F10 included).
    if (type == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    // A widget's key event travels through the filter once per receiver; the
    // event's first delivery is the one that counts.
    if (!watched->isWidgetType() && !qobject_cast<QWindow*>(watched)) return true;
    if (qobject_cast<QWindow*>(watched)) return false;  // delivered on to the focus widget next
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!key->isAutoRepeat()) {
        deliver(type == QEvent::KeyPress ? 0x100 : 0x101, VirtualKeyOf(*key));
    }
    return true;
}

std::uint8_t VirtualKeyOf(const QKeyEvent& event) {
#ifndef _WIN32
    const QString platform = QGuiApplication::platformName();
    if (event.nativeScanCode() != 0 &&
        (platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland")))) {
        if (const std::uint8_t vk = X11KeycodeToVk(event.nativeScanCode())) return vk;
    }
#endif
    return QtKeyToVk(event.key(), (event.modifiers() & Qt::KeypadModifier) != 0);
}

std::uint8_t QtKeyToVk(int key, bool keypad) {
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<std::uint8_t>(0x60 + (key - Qt::Key_0));
        switch (key) {
            case Qt::Key_Asterisk: return 0x6A;
            case Qt::Key_Plus: return 0x6B;
            case Qt::Key_Minus: return 0x6D;
            case Qt::Key_Period: return 0x6E;
            case Qt::Key_Slash: return 0x6F;
            case Qt::Key_Enter: return 0x0D;
            default: break;
        }
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<std::uint8_t>(0x41 + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<std::uint8_t>(0x30 + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<std::uint8_t>(0x70 + (key - Qt::Key_F1));
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return 0x0D;
        case Qt::Key_Escape: return 0x1B;
        case Qt::Key_Backspace: return 0x08;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return 0x09;
        case Qt::Key_Space: return 0x20;
        case Qt::Key_Minus:
        case Qt::Key_Underscore: return 0xBD;
        case Qt::Key_Equal:
        case Qt::Key_Plus: return 0xBB;
        case Qt::Key_BracketLeft:
        case Qt::Key_BraceLeft: return 0xDB;
        case Qt::Key_BracketRight:
        case Qt::Key_BraceRight: return 0xDD;
        case Qt::Key_Backslash:
        case Qt::Key_Bar: return 0xDC;
        case Qt::Key_Semicolon:
        case Qt::Key_Colon: return 0xBA;
        case Qt::Key_Apostrophe:
        case Qt::Key_QuoteDbl: return 0xDE;
        case Qt::Key_QuoteLeft:
        case Qt::Key_AsciiTilde: return 0xC0;
        case Qt::Key_Comma:
        case Qt::Key_Less: return 0xBC;
        case Qt::Key_Period:
        case Qt::Key_Greater: return 0xBE;
        case Qt::Key_Slash:
        case Qt::Key_Question: return 0xBF;
        case Qt::Key_CapsLock: return 0x14;
        case Qt::Key_Print: return 0x2C;
        case Qt::Key_ScrollLock: return 0x91;
        case Qt::Key_Pause: return 0x13;
        case Qt::Key_Insert: return 0x2D;
        case Qt::Key_Home: return 0x24;
        case Qt::Key_PageUp: return 0x21;
        case Qt::Key_Delete: return 0x2E;
        case Qt::Key_End: return 0x23;
        case Qt::Key_PageDown: return 0x22;
        case Qt::Key_Right: return 0x27;
        case Qt::Key_Left: return 0x25;
        case Qt::Key_Down: return 0x28;
        case Qt::Key_Up: return 0x26;
        case Qt::Key_NumLock: return 0x90;
        case Qt::Key_Menu: return 0x5D;
        case Qt::Key_Control: return 0xA2;
        case Qt::Key_Shift: return 0xA0;
        case Qt::Key_Alt: return 0xA4;
        case Qt::Key_AltGr: return 0xA5;
        case Qt::Key_Meta:
        case Qt::Key_Super_L: return 0x5B;
        case Qt::Key_Super_R: return 0x5C;
        default: return 0;
    }
}

}  // namespace kx700::ui
