#include "common/source_extension.h"

#include <gtest/gtest.h>

using scrivlet::SourceFileKind;
using scrivlet::sourceFileKind;

TEST(SourceExtension, FirstThreeCharactersAfterTheLastDotDecideExactly)
{
    using enum SourceFileKind;
    // clang-format off
    const std::pair<const char*, SourceFileKind> cases[] = {
        {"/d/a.txt", Text}, {"/d/b.s", Text}, {"/d/c.asm", Text}, {"/d/c.a", Text},
        {"/d/x.rplx", Text}, {"/d/pic.grob", Grob}, {"/d/README.TXT", Other}, {"/d/pic.GRO", Other},
        {"/d/x.sx", Other}, {"/d/x.", Other}, {"/d/.rpl", Text},
        // Without any dot the whole path counts: an absolute path starts with "/".
        {"/home/u/a", Other}, {"a", Text},
        // A dot in a folder name makes the rest of the path the last piece.
        {"/home/u.txt/readme", Text}, {"", Other},
    };
    // clang-format on
    for (const auto& [path, kind] : cases)
        EXPECT_EQ(sourceFileKind(path), kind) << path;
}
