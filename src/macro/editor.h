#pragma once

// What the macro editor's commands and in-place edits do to a macro. The
// window owns the lists and the menu; everything that changes a record or a
// table lives here, so it can be checked without a window.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "macro/record.h"
#include "macro/state.h"
#include "platform/message_sink.h"

namespace kx700::macro {

// Command ids of the editor's context menu (both languages; the middle-button
// inserts after the item carry different ids in the two menus).
namespace cmd {
inline constexpr int kMoveXnegYneg = 32791;  // ..32794
inline constexpr int kSetCpi = 32797;
inline constexpr int kRestoreCpi = 32798;
inline constexpr int kInsertLed = 32799;
inline constexpr int kInsertDelay = 32803;
inline constexpr int kChangeParameters = 32804;
inline constexpr int kModifyDelay = 32805;
inline constexpr int kDeleteEvent = 32806;
inline constexpr int kBeforeLeftDown = 32807;  // ..32812: left, right, middle; down then up
inline constexpr int kAfterLeftDown = 32813;   // ..32816: left, right
inline constexpr int kAfterMiddleDownCn = 32847;
inline constexpr int kAfterMiddleUpCn = 32848;
inline constexpr int kAfterMiddleDownEn = 32850;
inline constexpr int kAfterMiddleUpEn = 32851;
}  // namespace cmd

// The event list's lines as the editor tracks them: line 2i is event i, line
// 2i + 1 the pause after it.
struct EditorLines {
    int selectedLine = -1;                                  // -1: nothing selected
    int menuLine = 0;                                       // the line the editor openings act on
    int menuLineCount = 0;                                  // lines when the menu was opened
    int selectedEvent() const { return selectedLine / 2; }  // -1 gives 0
};

enum class CommandOutcome {
    Nothing,          // not a command, or refused: the list stays as it is
    ShowMacro,        // the record changed (or may have): rebuild the event list
    OpenEventEditor,  // open the in-place editor on the selected event line
    OpenPauseEditor,  // open it on the selected pause line
};

CommandOutcome RunEditorCommand(MacroRecord& r, int command, EditorLines& lines, MessageSink& sink);

// A number as the editor reads one: decimal digits after leading blanks,
// ending at the first other character ("5*100ms" is 5). A sign is skipped and
// the magnitude kept, since every field is unsigned; huge values saturate.
std::uint32_t ReadNumber(std::string_view text);
// The number after the first ':' (the whole text without one).
std::uint32_t NumberAfterColon(std::string_view text);

// A pause line edited to `text`: pauses above 1270 × poll interval are held
// there ("More than limit!"); pauses one element cannot carry are split into
// EV_DELAY events of 127 × poll interval and a remainder.
void EditPause(MacroRecord& r, int event, std::string_view text, int pollIntervalMs, int& menuLine, MessageSink& sink);

// An event line edited to `text`: the CPI of a Set-CPI event, the distances of
// a move. Other events do not change.
void EditEventLine(MacroRecord& r, int event, std::string_view text, MessageSink& sink);

// An LED step line (line `stepLine` of the step list, text `text`) of the LED
// event `event`: the step's byte becomes the number, at most 100. The count
// line (0) is set by its popup, never typed.
void EditLedStep(MacroRecord& r, int event, int stepLine, std::string_view text, MessageSink& sink);

// A name typed into the macro list: at most 9 characters ("More than
// limit!" and false otherwise; the item must show the old name again).
bool RenameFromList(MacroRecord& r, std::string_view text, MessageSink& sink);

enum class NameBoxOutcome { Ignored, RestoreBox, Taken, Renamed };
// The macro-name box changed: blank gives the name back, a name another
// macro (or this one) has is not taken, anything else renames the current
// macro (the caller replaces its list item and saves it).
NameBoxOutcome MacroNameChanged(MacroState& m, std::string_view text);

// The repeat-count box changed: the count, and the text the box must show
// instead when the typed one was out of range.
struct RepeatCount {
    std::uint16_t value = 1;
    std::optional<std::string> boxText;
};
RepeatCount RepeatCountFromText(std::string_view text);

// The run-mode choices of the Macro page (areas 10, 11, 12). True when the
// repeat count applies (the box is enabled and shows the count).
bool SetRunModeChoice(MacroRecord& r, int area);
// Whether the repeat-count box is enabled for this record's run mode.
inline bool RepeatCountApplies(const MacroRecord& r) { return (r.runMode & 0x03) == 0; }

// A new macro named "New" at the end of the group. Refused without a group,
// with 20 macros ("More than limit!"), or when "New" exists ("'New' Double
// name!"). The new macro's index, or -1.
int NewMacro(MacroState& m, MessageSink& sink);
// Removes macro s: later macros move up, the last slot is cleared, the
// count decreases and the current macro becomes s - 1 (0 for the first).
void DeleteMacro(MacroTable& t, int s);

// The double-name message for a new group or macro.
std::string DoubleNameMessage(std::string_view name);

}  // namespace kx700::macro
