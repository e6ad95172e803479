#include "app/layout_rule.h"

#include <gtest/gtest.h>

using scrivlet::layoutFor;

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
