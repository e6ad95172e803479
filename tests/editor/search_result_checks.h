#pragma once

#include "editor/search_rules.h"

#include <gtest/gtest.h>
#include <string>

namespace scrivlet {

// Bytes outside [changeStart, oldChangeEnd) of the old text are the new text outside
// [changeStart, newChangeEnd), and the caret stands in the changed region.
inline void expectOnlyChangedRegionDiffers(const std::string& before, const ReplaceResult& r)
{
    ASSERT_LE(r.changeStart, r.oldChangeEnd);
    ASSERT_LE(r.changeStart, r.caret);
    ASSERT_LE(r.caret, r.newChangeEnd);
    ASSERT_EQ(std::ssize(r.text) - r.newChangeEnd, std::ssize(before) - r.oldChangeEnd);
    EXPECT_EQ(r.text.substr(0, static_cast<std::size_t>(r.changeStart)),
              before.substr(0, static_cast<std::size_t>(r.changeStart)));
    EXPECT_EQ(r.text.substr(static_cast<std::size_t>(r.newChangeEnd)),
              before.substr(static_cast<std::size_t>(r.oldChangeEnd)));
}

} // namespace scrivlet
