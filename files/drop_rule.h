#pragma once

#include <string_view>

namespace scrivlet {

// Which dropped files go into the editor, decided by the extension text of the path alone:
// the path is split at every ".", the last piece is taken and its first three characters
// (fewer when it is shorter) are compared exactly, letter case included. A path without any
// "." gives the first three characters of the whole path, so an absolute path without a dot
// ("/home/u/a") starts with "/" and is always skipped.
//
//   "txt" "rpl" "s" "asm" "a"   the file's text is inserted at the caret
//   "gro"                       the file is imported as a GROB line
//   anything else               the file is skipped (README.TXT, notes.doc, ...)
enum class DropAction { InsertText, ImportGrob, Skip };

constexpr std::string_view dropExtensionText(std::string_view path)
{
    const std::size_t dot = path.rfind('.');
    const std::string_view last = dot == std::string_view::npos ? path : path.substr(dot + 1);
    return last.substr(0, 3);
}

constexpr DropAction dropAction(std::string_view path)
{
    const std::string_view ext = dropExtensionText(path);
    if (ext == "txt" || ext == "rpl" || ext == "s" || ext == "asm" || ext == "a")
        return DropAction::InsertText;
    if (ext == "gro")
        return DropAction::ImportGrob;
    return DropAction::Skip;
}

} // namespace scrivlet
