#pragma once

namespace scrivlet {

// Sizes the resize rule gives the editor and the reference panel, in pixels of the client area.
struct PanelLayout {
    int textWidth = 0;
    int textHeight = 0;
    int descLeft = 0;
    int descHeight = 0;
    int entryHeight = 0; // the reference list's height inside the panel
};

// The design values the rule reads and never writes.
struct LayoutDesign {
    int textLeft = 13;
    int textTop = 6;
    int descWidth = 192;
    int entryTopTwips = 2085;
};

// The layout on every resize: the panel hugs the right edge at its fixed width, the editor fills
// the rest, the list fills the panel below its top. A client area too small for that gives sizes
// of zero, never negative ones.
PanelLayout layoutFor(int scaleWidth, int scaleHeight, const LayoutDesign& design = {});

} // namespace scrivlet
