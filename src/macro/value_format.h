#pragma once

// The text form of one macro in a macro file: 1815 fields of exactly three
// decimal digits, no separators, fixed positions.

#include <string>
#include <string_view>

#include "macro/record.h"

namespace kx700::macro {

inline constexpr int kValueFields = 1815;
inline constexpr int kValueChars = 3 * kValueFields;
inline constexpr int kEventFieldsStart = 35;
inline constexpr int kLedFieldsStart = 1475;

std::string FormatMacroValue(const MacroRecord& r);

// Reads a value as the file reader hands it over (already cut to the reader's
// buffer). Field k is the text at UTF-16 positions 3k..3k+2: blanks skipped,
// then digits up to the first other character; missing text reads 0. Fields
// from 1815 on are ignored. Byte fields keep the low 8 bits.
MacroRecord ParseMacroValue(std::string_view value);

}  // namespace kx700::macro

namespace kx700::macro {

// Only the name (fields 0-19) of a value, as ParseMacroValue would read it.
std::string ParseMacroName(std::string_view value);

}  // namespace kx700::macro
