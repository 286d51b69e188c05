#include "macro/event_text.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace kx700::macro {
namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }
std::string N(unsigned v) { return std::to_string(v); }

struct Named {
    std::uint8_t code;
    std::string_view name;
};
constexpr Named kNames[] = {
    {0x27, "0"},        {0x28, "RETURN"},  {0x29, "ESCAPE"},  {0x2A, "BACKSPACE"}, {0x2B, "TAB"},
    {0x2C, "SPACE"},    {0x2D, "-"},       {0x2E, "+"},       {0x2F, "[{"},        {0x30, "]}"},
    {0x31, "\\|"},      {0x33, ";:"},      {0x34, " ' "},     {0x35, "`~"},        {0x36, ","},
    {0x37, "."},        {0x38, "/?"},      {0x39, "CAPITAL"}, {0x46, "SNAPSHOT"},  {0x47, "SCROLL"},
    {0x48, "PAUSE"},    {0x49, "INSERT"},  {0x4A, "HOME"},    {0x4B, "PRIOR"},     {0x4C, "DELETE"},
    {0x4D, "END"},      {0x4E, "NEXT"},    {0x4F, "RIGHT"},   {0x50, "LEFT"},      {0x51, "DOWN"},
    {0x52, "UP"},       {0x53, "NUMLOCK"}, {0x54, "DIVIDE"},  {0x55, "MULTIPLY"},  {0x56, "SUBTRACT"},
    {0x57, "ADD"},      {0x62, "NUMPAD0"}, {0x63, "DECIMAL"}, {0x65, "APPS"},      {0x74, "EXECUTE"},
    {0x75, "HELP"},     {0x76, "MENU"},    {0x77, "SELECT"},  {0x9C, "CLEAR"},     {0x9F, "SEPARATOR"},
    {0xE0, "LCONTROL"}, {0xE1, "LSHIFT"},  {0xE2, "LMENU"},   {0xE3, "LWIN"},      {0xE4, "RCONTROL"},
    {0xE5, "RSHIFT"},   {0xE6, "RMENU"},   {0xE7, "RWIN"},    {0xF1, "L-KEY"},     {0xF2, "M-KEY"},
    {0xF3, "R-KEY"},
};

std::string MoveLine(const MacroRecord& r, int i) {
    const EventParam p = r.eventParam[U(i)];
    std::string_view x, y;
    switch (r.eventType[U(i)]) {
        case TY_MOVE_XNEG_YNEG:
            x = "[X-]:";
            y = ",[Y-]:";
            break;
        case TY_MOVE_XNEG_YPOS:
            x = "[X-]:";
            y = ",[Y+]:";
            break;
        case TY_MOVE_XPOS_YNEG:
            x = "[X+]:";
            y = ",[Y-]:";
            break;
        case TY_MOVE_XPOS_YPOS:
            x = "[X+]:";
            y = ",[Y+]:";
            break;
        default: return "[X]:eeror,[Y]:eeror";
    }
    return std::string(x) + N(p.x) + std::string(y) + N(p.y);
}

std::string CpiLine(const MacroRecord& r, int i) {
    switch (r.eventType[U(i)]) {
        case TY_CPI_SET: return "[DPI]:" + N(static_cast<unsigned>(CpiOfIndex(r.eventParam[U(i)].x))) + " ";
        case TY_CPI_RESTORE: return "[DPI]:返回执行前的值";
        default: return "[DPI]:状态Error";
    }
}

std::string LedLine(const MacroRecord& r, int i) {
    const std::uint8_t type = r.eventType[U(i)];
    if (type < TY_LED0 || type > TY_LED2) return "[LED0/1/2]:error";
    return "[LED" + N(type - TY_LED0) + "]:LED-" + N(r.eventParam[U(i)].x) + " Data";
}

std::string ColourName(std::uint8_t colour, bool english) {
    switch (colour) {
        case 0: return english ? "Cycle" : "循环";
        case 1: return english ? "Blue" : "蓝色";
        case 3: return english ? "Pink" : "粉色";
        case 5: return english ? "Red" : "红色";
        case 7: return english ? "Purple" : "紫色";
        default: return N(colour);
    }
}

}  // namespace

std::string KeyName(std::uint8_t code) {
    if (code >= 0x04 && code <= 0x1D) return std::string(1, static_cast<char>(code + 61));
    if (code >= 0x1E && code <= 0x26) return N(code - 29u);
    if (code >= 0x3A && code <= 0x45) return "F" + N(code - 0x39u);
    if (code >= 0x68 && code <= 0x73) return "F" + N(code - 0x68u + 13);
    if (code >= 0x59 && code <= 0x61) return "NUMPAD" + N(code - 0x58u);
    for (const Named& n : kNames)
        if (n.code == code) return std::string(n.name);
    return "Unkown";
}

std::string PauseLine(std::uint16_t delayMs) { return "    " + N(delayMs) + "ms"; }

std::string EventLine(const MacroRecord& r, int i) {
    const std::uint8_t code = r.eventCode[U(i)];
    switch (code) {
        case EV_MOVE: return MoveLine(r, i);
        case EV_CPI: return CpiLine(r, i);
        case EV_LED: return LedLine(r, i);
        case EV_DELAY: return "[Delay]";
        default: break;
    }
    switch (r.eventType[U(i)]) {
        case TY_DOWN: return "[↓]" + KeyName(code);
        case TY_UP: return "[↑]" + KeyName(code);
        default: return KeyName(code);
    }
}

void AddEventLines(const MacroRecord& r, int i, EventLines& out) {
    if (i < 0 || i >= kMaxEvents) return;
    if (i > 0) out.lines.push_back(PauseLine(r.eventDelay[U(i - 1)]));
    out.lines.push_back(EventLine(r, i));
    const std::uint8_t code = r.eventCode[U(i)];
    if (code == EV_MOVE || code == EV_CPI || code == EV_LED || code == EV_DELAY) return;
    if (r.eventType[U(i)] == TY_DOWN) ++out.downLines;
    if (r.eventType[U(i)] == TY_UP) ++out.upLines;
}

EventLines MacroLines(const MacroRecord& r) {
    EventLines out;
    for (int i = 0; i < EventsInUse(r); ++i) AddEventLines(r, i, out);
    return out;
}

std::vector<std::string> LedStepLines(const LedSequence& sequence, bool english,
                                      std::span<const std::string> modeNames) {
    const int n = sequence.stepCount;
    std::vector<std::string> lines;
    lines.push_back((english ? "[Len     ]:" : "[个数     ]:") + N(static_cast<unsigned>(n)));
    // A file may claim more steps than a sequence has room for.
    const int lastByte = std::min(4 * n + 3, kLedSequenceBytes - 1);
    for (int p = 4; p <= lastByte; ++p) {
        const std::uint8_t b = sequence.byteAt(p);
        switch (p % 4) {
            case 0:
                lines.push_back((english ? "[Mode]:" : "[模式]:") + (b < modeNames.size() ? modeNames[b] : N(b)));
                break;
            case 1: lines.push_back((english ? "[Light color]:" : "[灯光颜色]:") + ColourName(b, english)); break;
            case 2: lines.push_back((english ? "[Continued Time]:" : "[持续时间]:") + N(b) + "*100ms"); break;
            default: lines.push_back((english ? "[Interval Time]:" : "[间隔时间]:") + N(b) + "*100ms"); break;
        }
    }
    return lines;
}

}  // namespace kx700::macro
