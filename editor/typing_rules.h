#pragma once

#include "common/virtual_keys.h"
#include "editor/byte_range.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace scrivlet {

// The rules of the road a typed key takes between the editor and the reference list, apart
// from the widgets that carry it out: what the editor does when a key is released, what the
// list does with a character typed while it has the focus, and what Backspace deletes.

// What the editor does after a key is released in it.
enum class KeyUpAction {
    None,
    Indent,            // indent the line the editor has just broken, as the line above
    EmptyWordSpan,     // the word span becomes the empty span at the caret; no lookup
    LookUp,            // look the word at the caret up; the focus stays in the editor
    LookUpMovingFocus, // look it up and, on a match, give the reference list the focus
    SearchFrame,       // search next while the search frame is shown, else show it
};

// The keys of the editor's jumps: Ctrl with this key to the partner of the structure word at the
// caret, this key alone to the definition of the name at the caret.
inline constexpr int kPairJumpKey = vk::CloseBracket;
inline constexpr int kDefinitionJumpKey = vk::F12;

// What the editor remembers between key events that decides a release.
struct KeyUpState {
    bool indentarmed = true;
    // This release is the one of the Esc that gave the editor the focus back from the list:
    // looking the word up again would hand the focus straight back.
    bool escapeLeftList = false;
    // Ctrl is held while the key is released.
    bool controlHeld = false;
    // The release before this one was the pair jump's key with Ctrl held.
    bool afterPairJump = false;
};

// Enter indents while the indentation is armed; Space empties the word span; the arrows look
// up without moving the focus; F3 is the search frame's; every other key (Esc too, unless it
// is the release of the Esc that left the list) looks up and moves the focus. The jumps move
// the caret as the arrows do: F12, the pair jump's key with Ctrl, and the Ctrl released right
// after it look up without moving the focus, which would take the next key away from the text
// the user has just jumped to.
KeyUpAction keyUpAction(int virtualKey, KeyUpState state);

// What the reference list does with a character code typed while it has the focus.
enum class ListKeyAction {
    NewIndentedLine,   // a line break at the editor's caret, indented like the line above
    DeleteBeforeCaret, // what Backspace deletes in the editor
    InsertEntry,       // the current entry's name over the word span, one use counted
    WriteCharacter,    // the character goes into the editor at its caret
    ReturnToEditor,    // nothing is written; the editor gets the focus back
};

// Enter right after Enter starts a new line instead of inserting the entry; Backspace
// deletes; Enter inserts; a control character (below 32, and 127) would be an invisible
// character in the source and is not written; every other character is.
ListKeyAction listKeyAction(int characterCode, int lastkey);

// What Backspace deletes with the caret at `caret`, `before` holding the bytes just before it
// (two, or fewer near the start): a whole CR LF line break when the caret starts a line, else
// the one byte before the caret; nothing at offset 0.
std::optional<ByteRange> backspaceDeletion(std::int64_t caret, std::string_view before);

} // namespace scrivlet
