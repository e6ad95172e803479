#include "common/source_extension.h"

#include <gtest/gtest.h>

using scrivlet::SourceFileKind;
using scrivlet::sourceFileKind;

TEST(SourceExtension, FirstThreeCharactersAfterTheLastDotDecideExactly)
{
    const struct {
        const char* path;
        SourceFileKind kind;
    } cases[] = {
        {"/d/a.txt", SourceFileKind::Text},
        {"/d/b.s", SourceFileKind::Text},
        {"/d/c.asm", SourceFileKind::Text},
        {"/d/c.a", SourceFileKind::Text},
        {"/d/x.rplx", SourceFileKind::Text},
        {"/d/pic.grob", SourceFileKind::Grob},
        {"/d/README.TXT", SourceFileKind::Other},
        {"/d/pic.GRO", SourceFileKind::Other},
        {"/d/x.sx", SourceFileKind::Other},
        {"/d/x.", SourceFileKind::Other},
        {"/d/.rpl", SourceFileKind::Text},
        // Without any dot the whole path counts: an absolute path starts with "/".
        {"/home/u/a", SourceFileKind::Other},
        {"a", SourceFileKind::Text},
        // A dot in a folder name makes the rest of the path the last piece.
        {"/home/u.txt/readme", SourceFileKind::Text},
        {"", SourceFileKind::Other},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sourceFileKind(c.path), c.kind) << c.path;
}
