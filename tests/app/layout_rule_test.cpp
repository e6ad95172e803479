#include "app/layout_rule.h"

#include <gtest/gtest.h>

using scrivlet::layoutFor;

TEST(LayoutRule, PanelHugsTheRightEdgeAndTheEditorFillsTheRest)
{
    const auto l = layoutFor(800, 600);
    EXPECT_EQ(l.textWidth, 800 - 192 - 13);
    EXPECT_EQ(l.textHeight, 600 - 6 - 2);
    EXPECT_EQ(l.descLeft, 800 - 192);
    EXPECT_EQ(l.descHeight, 600);
    EXPECT_EQ(l.entryHeight, 600 - 140) << "(600 x 15 - 2100) twips";
}

TEST(LayoutRule, GrowingByNPixelsGrowsEditorPanelAndList)
{
    const auto a = layoutFor(700, 500);
    for (int n : {1, 7, 300}) {
        const auto wider = layoutFor(700 + n, 500);
        EXPECT_EQ(wider.textWidth, a.textWidth + n);
        EXPECT_EQ(wider.descLeft, a.descLeft + n);
        const auto taller = layoutFor(700, 500 + n);
        EXPECT_EQ(taller.textHeight, a.textHeight + n);
        EXPECT_EQ(taller.descHeight, a.descHeight + n);
        EXPECT_EQ(taller.entryHeight, a.entryHeight + n);
    }
}

TEST(LayoutRule, TooSmallClientAreasClampAtZero)
{
    for (auto [w, h] : {std::pair{0, 0}, {204, 7}, {100, 139}, {-5, -5}, {205, 8}}) {
        const auto l = layoutFor(w, h);
        EXPECT_GE(l.textWidth, 0);
        EXPECT_GE(l.textHeight, 0);
        EXPECT_GE(l.descHeight, 0);
        EXPECT_GE(l.entryHeight, 0);
    }
    EXPECT_EQ(layoutFor(205, 8).textWidth, 0);
    EXPECT_EQ(layoutFor(205, 8).textHeight, 0);
    EXPECT_EQ(layoutFor(300, 140).entryHeight, 0);
    EXPECT_EQ(layoutFor(300, 141).entryHeight, 1);
}
