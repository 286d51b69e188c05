#pragma once

// The macro editor's text: one line per event, one per pause between events,
// and the lines of an LED sequence. The editor reads numbers back out of
// these lines, so their formats are fixed.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "macro/record.h"

namespace kx700::macro {

std::string KeyName(std::uint8_t code);

std::string PauseLine(std::uint16_t delayMs);
std::string EventLine(const MacroRecord& r, int i);

// The event list as it grows: lines plus the counts of key-up and key-down
// lines the editor keeps.
struct EventLines {
    std::vector<std::string> lines;
    int upLines = 0;
    int downLines = 0;
};

// Appends the pause line of event i - 1 (when i > 0) and the line of event i.
void AddEventLines(const MacroRecord& r, int i, EventLines& out);

// All events of a record, in order.
EventLines MacroLines(const MacroRecord& r);

// The LED step list of one sequence: the count line, then one line per byte
// of the used steps. Mode bytes beyond modeNames, like unnamed colours, show
// as numbers.
std::vector<std::string> LedStepLines(const LedSequence& sequence, bool english,
                                      std::span<const std::string> modeNames);

}  // namespace kx700::macro
