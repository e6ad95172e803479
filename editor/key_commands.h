#pragma once

#include "editor/editor_command.h"

class QKeyEvent;

namespace scrivlet {

// The editor command a key press asks for, by the platform's key bindings (QKeySequence's
// standard keys) and a few keys of the editor's own: Ctrl+Y redoes, Shift+Enter breaks the line
// like Enter, Tab inserts a tab, Ctrl+Up and Ctrl+Down scroll by a line.
KeyCommand keyCommand(const QKeyEvent& event);

} // namespace scrivlet
