#include "platform/x11_keymap.h"

#include <array>
#include <cstddef>

namespace kx700 {
namespace {

// Linux input event codes (linux/input-event-codes.h). They are a stable
// kernel interface, so the numbers are spelled out instead of pulling in a
// Linux header that the Windows build does not have.
enum Key : std::uint16_t {
    KEY_ESC = 1,
    KEY_1 = 2,
    KEY_0 = 11,
    KEY_MINUS = 12,
    KEY_EQUAL = 13,
    KEY_BACKSPACE = 14,
    KEY_TAB = 15,
    KEY_Q = 16,
    KEY_W = 17,
    KEY_E = 18,
    KEY_R = 19,
    KEY_T = 20,
    KEY_Y = 21,
    KEY_U = 22,
    KEY_I = 23,
    KEY_O = 24,
    KEY_P = 25,
    KEY_LEFTBRACE = 26,
    KEY_RIGHTBRACE = 27,
    KEY_ENTER = 28,
    KEY_LEFTCTRL = 29,
    KEY_A = 30,
    KEY_S = 31,
    KEY_D = 32,
    KEY_F = 33,
    KEY_G = 34,
    KEY_H = 35,
    KEY_J = 36,
    KEY_K = 37,
    KEY_L = 38,
    KEY_SEMICOLON = 39,
    KEY_APOSTROPHE = 40,
    KEY_GRAVE = 41,
    KEY_LEFTSHIFT = 42,
    KEY_BACKSLASH = 43,
    KEY_Z = 44,
    KEY_X = 45,
    KEY_C = 46,
    KEY_V = 47,
    KEY_B = 48,
    KEY_N = 49,
    KEY_M = 50,
    KEY_COMMA = 51,
    KEY_DOT = 52,
    KEY_SLASH = 53,
    KEY_RIGHTSHIFT = 54,
    KEY_KPASTERISK = 55,
    KEY_LEFTALT = 56,
    KEY_SPACE = 57,
    KEY_CAPSLOCK = 58,
    KEY_F1 = 59,
    KEY_F10 = 68,
    KEY_NUMLOCK = 69,
    KEY_SCROLLLOCK = 70,
    KEY_KP7 = 71,
    KEY_KP8 = 72,
    KEY_KP9 = 73,
    KEY_KPMINUS = 74,
    KEY_KP4 = 75,
    KEY_KP5 = 76,
    KEY_KP6 = 77,
    KEY_KPPLUS = 78,
    KEY_KP1 = 79,
    KEY_KP2 = 80,
    KEY_KP3 = 81,
    KEY_KP0 = 82,
    KEY_KPDOT = 83,
    KEY_102ND = 86,
    KEY_F11 = 87,
    KEY_F12 = 88,
    KEY_KPENTER = 96,
    KEY_RIGHTCTRL = 97,
    KEY_KPSLASH = 98,
    KEY_SYSRQ = 99,
    KEY_RIGHTALT = 100,
    KEY_HOME = 102,
    KEY_UP = 103,
    KEY_PAGEUP = 104,
    KEY_LEFT = 105,
    KEY_RIGHT = 106,
    KEY_END = 107,
    KEY_DOWN = 108,
    KEY_PAGEDOWN = 109,
    KEY_INSERT = 110,
    KEY_DELETE = 111,
    KEY_PAUSE = 119,
    KEY_LEFTMETA = 125,
    KEY_RIGHTMETA = 126,
    KEY_COMPOSE = 127,
    KEY_FRONT = 132,
    KEY_OPEN = 134,
    KEY_HELP = 138,
    KEY_MENU = 139,
    KEY_F13 = 183,
    KEY_F24 = 194,
    KEY_PRINT = 210,
};

struct Entry {
    std::uint16_t key;
    std::uint8_t vk;
};

constexpr Entry kSingles[] = {
    {KEY_ESC, 0x1B},
    {KEY_0, 0x30},
    {KEY_MINUS, 0xBD},
    {KEY_EQUAL, 0xBB},
    {KEY_BACKSPACE, 0x08},
    {KEY_TAB, 0x09},
    {KEY_LEFTBRACE, 0xDB},
    {KEY_RIGHTBRACE, 0xDD},
    {KEY_ENTER, 0x0D},
    {KEY_SEMICOLON, 0xBA},
    {KEY_APOSTROPHE, 0xDE},
    {KEY_GRAVE, 0xC0},
    {KEY_BACKSLASH, 0xDC},
    {KEY_COMMA, 0xBC},
    {KEY_DOT, 0xBE},
    {KEY_SLASH, 0xBF},
    {KEY_102ND, 0xE2},
    {KEY_SPACE, 0x20},
    {KEY_CAPSLOCK, 0x14},

    {KEY_LEFTCTRL, 0xA2},
    {KEY_RIGHTCTRL, 0xA3},
    {KEY_LEFTSHIFT, 0xA0},
    {KEY_RIGHTSHIFT, 0xA1},
    {KEY_LEFTALT, 0xA4},
    {KEY_RIGHTALT, 0xA5},
    {KEY_LEFTMETA, 0x5B},
    {KEY_RIGHTMETA, 0x5C},
    // The keyboard's menu key arrives as KEY_COMPOSE (USB usage 0x65); a few
    // keyboards send KEY_MENU for it instead.
    {KEY_COMPOSE, 0x5D},
    {KEY_MENU, 0x5D},

    {KEY_SYSRQ, 0x2C},
    {KEY_PRINT, 0x2C},
    {KEY_SCROLLLOCK, 0x91},
    {KEY_PAUSE, 0x13},
    {KEY_INSERT, 0x2D},
    {KEY_HOME, 0x24},
    {KEY_PAGEUP, 0x21},
    {KEY_DELETE, 0x2E},
    {KEY_END, 0x23},
    {KEY_PAGEDOWN, 0x22},
    {KEY_RIGHT, 0x27},
    {KEY_LEFT, 0x25},
    {KEY_DOWN, 0x28},
    {KEY_UP, 0x26},

    {KEY_NUMLOCK, 0x90},
    {KEY_KPSLASH, 0x6F},
    {KEY_KPASTERISK, 0x6A},
    {KEY_KPMINUS, 0x6D},
    {KEY_KPPLUS, 0x6B},
    {KEY_KPENTER, 0x0D},
    {KEY_KPDOT, 0x6E},
    {KEY_KP0, 0x60},
    {KEY_KP1, 0x61},
    {KEY_KP2, 0x62},
    {KEY_KP3, 0x63},
    {KEY_KP4, 0x64},
    {KEY_KP5, 0x65},
    {KEY_KP6, 0x66},
    {KEY_KP7, 0x67},
    {KEY_KP8, 0x68},
    {KEY_KP9, 0x69},

    {KEY_F11, 0x7A},
    {KEY_F12, 0x7B},

    // The kernel names the USB keys Execute, Help and Select (usages 0x74,
    // 0x75, 0x77) KEY_OPEN, KEY_HELP and KEY_FRONT. Mapping them back to the
    // virtual keys of those usages makes the mouse replay the same key.
    {KEY_OPEN, 0x2B},
    {KEY_HELP, 0x2F},
    {KEY_FRONT, 0x29},
};

// The letters are not in alphabetical order on the keyboard.
constexpr Entry kLetters[] = {
    {KEY_A, 'A'}, {KEY_B, 'B'}, {KEY_C, 'C'}, {KEY_D, 'D'}, {KEY_E, 'E'}, {KEY_F, 'F'}, {KEY_G, 'G'},
    {KEY_H, 'H'}, {KEY_I, 'I'}, {KEY_J, 'J'}, {KEY_K, 'K'}, {KEY_L, 'L'}, {KEY_M, 'M'}, {KEY_N, 'N'},
    {KEY_O, 'O'}, {KEY_P, 'P'}, {KEY_Q, 'Q'}, {KEY_R, 'R'}, {KEY_S, 'S'}, {KEY_T, 'T'}, {KEY_U, 'U'},
    {KEY_V, 'V'}, {KEY_W, 'W'}, {KEY_X, 'X'}, {KEY_Y, 'Y'}, {KEY_Z, 'Z'},
};

// X key codes run from 8 to 255: input event codes 0 to 247.
constexpr std::uint32_t kXOffset = 8;
constexpr std::size_t kCodes = 248;

constexpr std::array<std::uint8_t, kCodes> Build() {
    std::array<std::uint8_t, kCodes> t{};
    for (int k = 0; k < 9; ++k) t[KEY_1 + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>('1' + k);
    for (int k = 0; k < 10; ++k) t[KEY_F1 + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(0x70 + k);
    for (int k = 0; k < 12; ++k) t[KEY_F13 + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(0x7C + k);
    for (const Entry& e : kLetters) t[e.key] = e.vk;
    for (const Entry& e : kSingles) t[e.key] = e.vk;
    return t;
}

constexpr std::array<std::uint8_t, kCodes> kTable = Build();
static_assert(KEY_F1 + 9 == KEY_F10 && KEY_F13 + 11 == KEY_F24 && KEY_1 + 9 == KEY_0);
static_assert(kTable[KEY_F10] == 0x79 && kTable[KEY_F24] == 0x87 && kTable[KEY_0 - 1] == '9');

}  // namespace

std::uint8_t X11KeycodeToVk(std::uint32_t keycode) {
    if (keycode < kXOffset || keycode - kXOffset >= kCodes) return 0;
    return kTable[keycode - kXOffset];
}

}  // namespace kx700
