#include "app/layout_rule.h"

#include <gtest/gtest.h>

using scrivlet::layoutFor;

TEST(LayoutRule, PanelHugsTheRightEdgeAndTheEditorAndListFillTheRest)
{
    const auto l = layoutFor(800, 600);
    EXPECT_EQ(l.textWidth, 800 - 192 - 13);
    EXPECT_EQ(l.textHeight, 600 - 6 - 2);
    EXPECT_EQ(l.descLeft, 800 - 192);
    EXPECT_EQ(l.descHeight, 600);
    EXPECT_EQ(l.entryHeight, 600 - 140) << "(600 x 15 - 2100) twips";
}

TEST(LayoutRule, TooSmallClientAreasClampAtZero)
{
    for (auto [w, h] : {std::pair{0, 0}, {204, 7}, {205, 8}, {-5, -5}}) {
        const auto l = layoutFor(w, h);
        EXPECT_TRUE(l.textWidth == 0 && l.textHeight == 0 && l.entryHeight == 0) << w << "x" << h;
        EXPECT_GE(l.descHeight, 0);
    }
    EXPECT_EQ(layoutFor(206, 9).textWidth, 1);
    EXPECT_EQ(layoutFor(206, 9).textHeight, 1);
    EXPECT_EQ(layoutFor(300, 140).entryHeight, 0);
    EXPECT_EQ(layoutFor(300, 141).entryHeight, 1);
}
