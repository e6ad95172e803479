#pragma once

#include "common/code_page_table.h"

namespace scrivlet {

// Windows-1252, the code page the editor shows by default. The five bytes it leaves undefined
// (81 8D 8F 90 9D) stand for the C1 control characters of the same value, so every byte has
// its own character. No look-alikes.
const CodePageTable& windows1252CodePage();

} // namespace scrivlet
