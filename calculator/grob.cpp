#include "calculator/grob.h"

#include "common/ascii.h"

#include <array>

namespace scrivlet {

namespace {

constexpr unsigned lo(unsigned char b)
{
    return b & 0x0Fu;
}
constexpr unsigned hi(unsigned char b)
{
    return b >> 4;
}

// For every byte value its two digits in output order: low nibble first, then high nibble.
constexpr std::array<char, 512> makeDigitPairs()
{
    std::array<char, 512> table{};
    for (unsigned b = 0; b < 256; ++b) {
        table[2 * b] = hexDigitChar(b);
        table[2 * b + 1] = hexDigitChar(b >> 4);
    }
    return table;
}

constexpr std::array<char, 512> kDigitPairs = makeDigitPairs();

} // namespace

GrobFields grobFields(std::string_view bytes)
{
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    GrobFields f;
    f.length =
        hi(b(10)) + lo(b(11)) * 16u + hi(b(11)) * 256u + lo(b(12)) * 4096u + hi(b(12)) * 65536u;
    f.height = b(13) + lo(b(14)) * 256u + hi(b(14)) * 4096u + lo(b(15)) * 65536u;
    f.width =
        hi(b(15)) + lo(b(16)) * 16u + hi(b(16)) * 256u + lo(b(17)) * 4096u + hi(b(17)) * 65536u;
    return f;
}

std::size_t grobDataBytes(std::uint32_t length)
{
    return length > 15 ? (length - 15) / 2 : 0;
}

std::string grobLine(std::uint32_t width, std::uint32_t height, std::string_view data)
{
    std::string line;
    line.reserve(32 + 2 * data.size());
    line += "GROB ";
    line += std::to_string(width);
    line += ' ';
    line += std::to_string(height);
    line += ' ';
    const std::size_t start = line.size();
    line.resize(start + 2 * data.size());
    char* out = line.data() + start;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const unsigned byte = static_cast<unsigned char>(data[i]);
        out[2 * i] = kDigitPairs[2 * byte];
        out[2 * i + 1] = kDigitPairs[2 * byte + 1];
    }
    line += "\r\n";
    return line;
}

GrobConversion convertGrob(std::string_view file)
{
    GrobConversion result;
    result.fileBytes = file.size();
    if (file.size() < kGrobFieldBytes) {
        result.status = GrobConversion::Status::ShortFields;
        return result;
    }
    const GrobFields fields = grobFields(file);
    const std::string_view data = file.substr(kGrobFieldBytes);
    result.dataClaimed = grobDataBytes(fields.length);
    result.dataPresent = data.size() < result.dataClaimed ? data.size() : result.dataClaimed;
    if (data.size() < result.dataClaimed) {
        result.status = GrobConversion::Status::ShortData;
        return result;
    }

    result.line = grobLine(fields.width, fields.height, data.substr(0, result.dataClaimed));
    return result;
}

std::string grobProblemText(const GrobConversion& conversion)
{
    switch (conversion.status) {
    case GrobConversion::Status::Ok:
        return {};
    case GrobConversion::Status::ShortFields:
        return "The file holds " + std::to_string(conversion.fileBytes) +
               " bytes; a GROB file needs at least " + std::to_string(kGrobFieldBytes) +
               " bytes for its header, size and length fields.";
    case GrobConversion::Status::ShortData:
        return "Its length field announces " + std::to_string(conversion.dataClaimed) +
               " bytes of picture data, but only " + std::to_string(conversion.dataPresent) +
               " follow; the file is cut short.";
    }
    return {};
}

} // namespace scrivlet
