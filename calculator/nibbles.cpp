#include "calculator/nibbles.h"

#include "common/ascii.h"

#include <algorithm>

namespace scrivlet {

Nibbles unpackNibbles(std::string_view bytes)
{
    Nibbles nibbles;
    nibbles.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        nibbles.push_back(byte & 0x0Fu);
        nibbles.push_back(static_cast<std::uint8_t>(byte >> 4));
    }
    return nibbles;
}

std::string packNibbles(const Nibbles& nibbles, std::uint8_t pad)
{
    std::string bytes;
    bytes.reserve((nibbles.size() + 1) / 2);
    for (std::size_t i = 0; i < nibbles.size(); i += 2) {
        const std::uint8_t high = i + 1 < nibbles.size() ? nibbles[i + 1] : pad;
        bytes += static_cast<char>((nibbles[i] & 0x0Fu) | ((high & 0x0Fu) << 4));
    }
    return bytes;
}

std::string nibbleHex(const Nibbles& nibbles, std::size_t from, std::size_t count)
{
    const std::size_t end =
        count == std::string::npos ? nibbles.size() : std::min(nibbles.size(), from + count);
    std::string hex;
    if (from < end)
        hex.reserve(end - from);
    for (std::size_t i = from; i < end; ++i)
        hex += hexDigitChar(nibbles[i]);
    return hex;
}

bool appendNibbleHex(std::string_view hex, Nibbles& out)
{
    for (char c : hex) {
        if (c >= '0' && c <= '9')
            out.push_back(static_cast<std::uint8_t>(c - '0'));
        else if (c >= 'A' && c <= 'F')
            out.push_back(static_cast<std::uint8_t>(c - 'A' + 10));
        else if (c >= 'a' && c <= 'f')
            out.push_back(static_cast<std::uint8_t>(c - 'a' + 10));
        else
            return false;
    }
    return true;
}

std::uint16_t nibbleCrc(const Nibbles& nibbles, std::size_t from, std::size_t count)
{
    const std::size_t end = from + std::min(count, nibbles.size() - std::min(from, nibbles.size()));
    std::uint32_t crc = 0;
    for (std::size_t i = from; i < end; ++i)
        crc = (crc >> 4) ^ (((crc ^ nibbles[i]) & 0xFu) * 0x1081u);
    return static_cast<std::uint16_t>(crc);
}

} // namespace scrivlet
