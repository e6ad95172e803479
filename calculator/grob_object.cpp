#include "calculator/grob_object.h"

#include "calculator/grob.h"

namespace scrivlet {

bool isWholeGrob(const GrobObject& grob)
{
    const std::uint64_t nibbles = grobDataNibbles(grob.width, grob.height);
    return grob.width <= kGrobMaxSide && grob.height <= kGrobMaxSide &&
           nibbles <= kGrobMaxDataNibbles && grob.data.size() * 2 == nibbles;
}

std::string grobObjectLine(const GrobObject& grob)
{
    return grobLine(grob.width, grob.height, grob.data);
}

std::string grobFileBytes(const GrobObject& grob)
{
    if (!isWholeGrob(grob))
        return {};
    // Four five-nibble fields: 20 nibbles, so the data starts on a whole byte.
    const std::uint32_t fields[] = {kGrobPrologue,
                                    static_cast<std::uint32_t>(15 + 2 * grob.data.size()),
                                    grob.height, grob.width};
    std::string nibbles;
    for (std::uint32_t field : fields) {
        for (int i = 0; i < 5; ++i)
            nibbles += static_cast<char>((field >> (4 * i)) & 0x0Fu);
    }
    std::string file(kGrobFileHeader);
    for (std::size_t i = 0; i < nibbles.size(); i += 2)
        file += static_cast<char>(nibbles[i] | (nibbles[i + 1] << 4));
    return file + grob.data;
}

} // namespace scrivlet
