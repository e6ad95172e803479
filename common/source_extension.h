#pragma once

#include <string_view>

namespace scrivlet {

// What a file is by the extension text of its path alone. The path is split at every ".", the
// last piece is taken and its first three characters (fewer when it is shorter) are compared
// exactly, letter case included. A path without any "." gives the first three characters of
// the whole path, so an absolute path without a dot ("/home/u/a") starts with "/" and is never
// a source.
//
//   "txt" "rpl" "s" "asm" "a"   a source text (README.TXT is not, x.rplx is)
//   "gro"                       a GROB file
//   anything else               neither
enum class SourceFileKind { Text, Grob, Other };

constexpr std::string_view extensionText(std::string_view path)
{
    const std::size_t dot = path.rfind('.');
    const std::string_view last = dot == std::string_view::npos ? path : path.substr(dot + 1);
    return last.substr(0, 3);
}

constexpr SourceFileKind sourceFileKind(std::string_view path)
{
    const std::string_view ext = extensionText(path);
    if (ext == "txt" || ext == "rpl" || ext == "s" || ext == "asm" || ext == "a")
        return SourceFileKind::Text;
    if (ext == "gro")
        return SourceFileKind::Grob;
    return SourceFileKind::Other;
}

} // namespace scrivlet
