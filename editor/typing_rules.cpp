#include "editor/typing_rules.h"

namespace scrivlet {

KeyUpAction keyUpAction(int virtualKey, KeyUpState state)
{
    if ((virtualKey == kPairJumpKey && state.controlHeld) ||
        (virtualKey == vk::Control && state.afterPairJump))
        return KeyUpAction::LookUp;
    switch (virtualKey) {
    case vk::Enter:
        return state.indentarmed ? KeyUpAction::Indent : KeyUpAction::None;
    case vk::Space:
        return KeyUpAction::EmptyWordSpan;
    case vk::Left:
    case vk::Up:
    case vk::Right:
    case vk::Down:
    case kDefinitionJumpKey:
        return KeyUpAction::LookUp;
    case vk::F3:
        return KeyUpAction::SearchFrame;
    case vk::Escape:
        return state.escapeLeftList ? KeyUpAction::None : KeyUpAction::LookUpMovingFocus;
    default:
        return KeyUpAction::LookUpMovingFocus;
    }
}

ListKeyAction listKeyAction(int characterCode, int lastkey)
{
    if (characterCode == vk::Enter && lastkey == vk::Enter)
        return ListKeyAction::NewIndentedLine;
    if (characterCode == vk::Backspace)
        return ListKeyAction::DeleteBeforeCaret;
    if (characterCode == vk::Enter)
        return ListKeyAction::InsertEntry;
    constexpr int kFirstPrintable = 32;
    constexpr int kDelete = 127;
    if (characterCode < kFirstPrintable || characterCode == kDelete)
        return ListKeyAction::ReturnToEditor;
    return ListKeyAction::WriteCharacter;
}

std::optional<ByteRange> backspaceDeletion(std::int64_t caret, std::string_view before)
{
    if (caret <= 0)
        return std::nullopt;
    // The caret never stands between the CR and the LF of a line break: at the start of a
    // line the character before it is the whole break.
    if (before.size() >= 2 && before.substr(before.size() - 2) == "\r\n")
        return ByteRange{caret - 2, 2};
    return ByteRange{caret - 1, 1};
}

} // namespace scrivlet
