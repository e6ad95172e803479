#include "editor/code_page.h"

#include "common/windows1252.h"

namespace scrivlet {

char16_t charFromByte(unsigned char byte)
{
    return charFromWindows1252(byte);
}

int byteFromChar(char16_t ch)
{
    return windows1252FromChar(ch);
}

char16_t documentCharFromByte(unsigned char byte)
{
    if (byte == '\r')
        return kCrStandIn;
    if (byte == '\n')
        return kLfStandIn;
    return charFromByte(byte);
}

int byteFromDocumentChar(char16_t ch)
{
    if (ch == kCrStandIn)
        return '\r';
    if (ch == kLfStandIn)
        return '\n';
    return byteFromChar(ch);
}

} // namespace scrivlet
