#pragma once

namespace scrivlet {

// Window geometry is exchanged in twips at the fixed factor of 15 twips to the pixel (96 dpi),
// whatever the display's real resolution: the placement file, the About box's offset from the
// main window and the positions inside the reference panel are all designed in these units.
inline constexpr int kTwipsPerPixel = 15;

// Twips to whole pixels, truncating as the designed positions expect.
constexpr int pixelsFromTwips(int twips)
{
    return twips / kTwipsPerPixel;
}

} // namespace scrivlet
