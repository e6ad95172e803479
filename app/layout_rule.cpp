#include "app/layout_rule.h"

#include "common/twips.h"

#include <algorithm>

namespace scrivlet {

PanelLayout layoutFor(int scaleWidth, int scaleHeight, const LayoutDesign& design)
{
    PanelLayout out;
    out.textWidth = std::max(0, scaleWidth - design.descWidth - design.textLeft);
    out.textHeight = std::max(0, scaleHeight - design.textTop - 2);
    out.descLeft = scaleWidth - design.descWidth;
    out.descHeight = std::max(0, scaleHeight);
    // The list's height is a size in twips inside the panel: panel height x 15 - 2100.
    const int entryTwips = out.descHeight * kTwipsPerPixel - (design.entryTopTwips + kTwipsPerPixel);
    out.entryHeight = std::max(0, entryTwips / kTwipsPerPixel);
    return out;
}

} // namespace scrivlet
