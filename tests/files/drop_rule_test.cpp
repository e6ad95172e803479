#include "files/drop_rule.h"

#include <gtest/gtest.h>

using scrivlet::DropAction;
using scrivlet::dropAction;
using scrivlet::dropExtensionText;

TEST(DropRule, FirstThreeCharactersAfterTheLastDotDecideExactly)
{
    const struct {
        const char* path;
        const char* extension;
        DropAction action;
    } cases[] = {
        {"/d/a.txt", "txt", DropAction::InsertText},
        {"/d/b.s", "s", DropAction::InsertText},
        {"/d/c.rpl", "rpl", DropAction::InsertText},
        {"/d/c.asm", "asm", DropAction::InsertText},
        {"/d/c.a", "a", DropAction::InsertText},
        {"/d/x.rplx", "rpl", DropAction::InsertText},
        {"/d/x.txt2", "txt", DropAction::InsertText},
        {"/d/pic.gro", "gro", DropAction::ImportGrob},
        {"/d/pic.grob", "gro", DropAction::ImportGrob},
        {"/d/README.TXT", "TXT", DropAction::Skip},
        {"/d/x.Rpl", "Rpl", DropAction::Skip},
        {"/d/pic.GRO", "GRO", DropAction::Skip},
        {"/d/notes.doc", "doc", DropAction::Skip},
        {"/d/x.ab", "ab", DropAction::Skip},
        {"/d/x.sx", "sx", DropAction::Skip},
        {"/d/x.tx", "tx", DropAction::Skip},
        {"/d/x.", "", DropAction::Skip},
        {"/d/archive.tar.gz", "gz", DropAction::Skip},
        {"/d/.rpl", "rpl", DropAction::InsertText},
        // Without any dot the whole path counts: an absolute path starts with "/".
        {"/home/u/a", "/ho", DropAction::Skip},
        {"a", "a", DropAction::InsertText},
        {"s", "s", DropAction::InsertText},
        {"txtfile", "txt", DropAction::InsertText},
        // A dot in a folder name makes the rest of the path the last piece.
        {"/home/u.txt/readme", "txt", DropAction::InsertText},
        {"/home/v1.2/prog", "2/p", DropAction::Skip},
        {"", "", DropAction::Skip},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dropExtensionText(c.path), c.extension) << c.path;
        EXPECT_EQ(dropAction(c.path), c.action) << c.path;
    }
}
