#pragma once

#include "common/virtual_keys.h"

namespace scrivlet {

// The Windows virtual-key code of a key, given as its Qt::Key value. Letters give their
// upper-case ASCII code, digits their ASCII code; a digit or operator of the numeric keypad
// (keypad true) gives the keypad's own code. Punctuation gives the code of the US-layout key
// that carries it (';' and ':' both 186). A key without a virtual-key code gives 0.
int virtualKeyCode(int qtKey, bool keypad = false);

} // namespace scrivlet
