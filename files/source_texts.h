#pragma once

#include <string_view>

namespace scrivlet {

// The texts a source starts from, with the editor's CR LF line ends.

// File > New: a line "::", an empty line, a line ";" and a line "@" without a line end.
// Saved, it is the seven bytes ":: LF LF ; LF @".
inline constexpr std::string_view kNewFileSkeleton = "::\r\n\r\n;\r\n@";

// The editor's content when the program starts: the skeleton and one more line end.
inline constexpr std::string_view kStartupText = "::\r\n\r\n;\r\n@\r\n";

} // namespace scrivlet
