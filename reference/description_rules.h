#pragma once

#include <string>
#include <string_view>

namespace scrivlet {

// The description pane's text: every "%0A" (exactly so, upper-case A) becomes CR LF, scanning
// left to right; nothing else is decoded.
std::string expandDescription(std::string_view stored);

} // namespace scrivlet
