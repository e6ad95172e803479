#include "editor/code_page.h"

#include "common/code_page_table.h"
#include "common/windows1252.h"

namespace scrivlet {
namespace {

constexpr char16_t kControlPictures = u'\u2400';
constexpr char16_t kDeletePicture = u'\u2421';

} // namespace

char16_t shownChar(const CodePageTable& page, unsigned char byte)
{
    const char16_t ch = page.charOf(byte);
    if (ch == u'\r')
        return kCrStandIn;
    if (ch == u'\n')
        return kLfStandIn;
    if (ch < 0x20 && ch != u'\t')
        return static_cast<char16_t>(kControlPictures + ch);
    if (ch == 0x7F)
        return kDeletePicture;
    if (ch >= 0x80 && ch < 0xA0)
        return 0;
    return ch;
}

int byteOfShown(const CodePageTable& page, char16_t ch)
{
    if (ch == kCrStandIn)
        return '\r';
    if (ch == kLfStandIn)
        return '\n';
    const auto byte = page.byteOf(ch);
    return byte ? *byte : -1;
}

} // namespace scrivlet
