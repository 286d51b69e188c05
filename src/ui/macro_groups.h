#pragma once

#include "macro/state.h"
#include "platform/message_sink.h"

namespace kx700::ui {

// Reads the group list of the session's macro folder (start-up and the
// language switch); "Can't find the file." when the list is missing.
void LoadMacroGroups(macro::MacroState& m, MessageSink& messages);

}  // namespace kx700::ui
