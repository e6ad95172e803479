#include "link/kermit_packet.h"

#include <algorithm>
#include <iterator>

namespace scrivlet::kermit {

std::uint16_t crc16(std::string_view bytes)
{
    std::uint16_t crc = 0;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? std::uint16_t((crc >> 1) ^ 0x8408) : std::uint16_t(crc >> 1);
    }
    return crc;
}

std::string blockCheck(std::string_view covered, int type)
{
    if (type == 3) {
        const std::uint16_t crc = crc16(covered);
        return {toChar((crc >> 12) & 0x0F), toChar((crc >> 6) & 0x3F), toChar(crc & 0x3F)};
    }
    unsigned sum = 0;
    for (const char c : covered)
        sum += static_cast<unsigned char>(c);
    if (type == 2)
        return {toChar(int((sum >> 6) & 0x3F)), toChar(int(sum & 0x3F))};
    return {toChar(int((sum + ((sum & 0xC0) >> 6)) & 0x3F))};
}

std::string frame(const Packet& packet, int checkType)
{
    const int checkLength = checkType == 3 ? 3 : checkType;
    std::string covered;
    covered += toChar(int(packet.data.size()) + 2 + checkLength);
    covered += toChar(packet.seq & 63);
    covered += packet.type;
    covered += packet.data;
    std::string out(1, kMark);
    out += covered;
    out += blockCheck(covered, checkType);
    out += '\r';
    return out;
}

namespace {

bool checks(std::string_view covered, std::string_view check, int type)
{
    return blockCheck(covered, type) == check;
}

bool isInitOrCommand(char type) { return type == 'S' || type == 'I' || type == 'R' || type == 'G'; }

} // namespace

Parsed parse(std::string& buffer, int checkType)
{
    for (;;) {
        const auto mark = buffer.find(kMark);
        if (mark == std::string::npos) {
            buffer.clear();
            return {};
        }
        buffer.erase(0, mark);
        if (buffer.size() < 2)
            return {};
        const int len = unChar(buffer[1]);
        // C-Kermit counts the block check beyond the length it was given, so LEN may reach
        // 95, the most one character holds.
        if (len < 3 || len > kMaxShortLength + 1) { // not a packet start: skip this MARK
            buffer.erase(0, 1);
            continue;
        }
        // A MARK inside the packet means this one was cut short: resynchronise there.
        const auto nextMark = buffer.find(kMark, 1);
        if (nextMark != std::string::npos && nextMark < std::size_t(len) + 2) {
            buffer.erase(0, nextMark);
            return Parsed{Parsed::Kind::Bad, {}};
        }
        if (buffer.size() < std::size_t(len) + 2)
            return {};
        const std::string_view whole(buffer.data() + 1, std::size_t(len) + 1);
        Parsed result;
        result.packet.seq = unChar(whole[1]);
        result.packet.type = whole[2];
        bool good = false;
        for (const int type : {checkType, 1}) {
            const std::size_t checkLength = type == 3 ? 3 : std::size_t(type);
            if (whole.size() < 3 + checkLength)
                continue;
            const auto covered = whole.substr(0, whole.size() - checkLength);
            if (checks(covered, whole.substr(covered.size()), type)) {
                result.packet.data = std::string(covered.substr(3));
                good = true;
                break;
            }
            if (!isInitOrCommand(result.packet.type))
                break;
        }
        buffer.erase(0, std::size_t(len) + 2);
        result.kind = good && result.packet.seq >= 0 && result.packet.seq < 64 ? Parsed::Kind::Good
                                                                             : Parsed::Kind::Bad;
        return result;
    }
}

bool needsPrefixOnCleanLine(unsigned char byte)
{
    static constexpr unsigned char risky[] = {0,   1,   3,   4,   10,  13,  14,  15,  16,  17,  19,
                                              21,  24,  25,  26,  28,  29,  30,  129, 131, 132, 138,
                                              141, 144, 145, 147, 149, 154, 156, 157, 158, 255};
    return std::find(std::begin(risky), std::end(risky), byte) != std::end(risky);
}

namespace {

void encodeOne(unsigned char byte, const Prefixing& p, std::string& out)
{
    if (p.qbin && (byte & 0x80)) {
        out += p.qbin;
        byte &= 0x7F;
    }
    const unsigned char low = byte & 0x7F;
    if ((low < 32 || low == 127) && (!p.fewControls || needsPrefixOnCleanLine(byte))) {
        out += p.qctl;
        out += char(byte ^ 64);
    } else if (low == static_cast<unsigned char>(p.qctl) ||
               (p.qbin && low == static_cast<unsigned char>(p.qbin)) ||
               (p.rept && low == static_cast<unsigned char>(p.rept))) {
        out += p.qctl;
        out += char(byte);
    } else {
        out += char(byte);
    }
}

} // namespace

std::size_t encode(std::string_view input, std::size_t pos, std::size_t room, const Prefixing& p,
                   std::string& out)
{
    const std::size_t start = pos;
    std::string one;
    while (pos < input.size()) {
        one.clear();
        encodeOne(static_cast<unsigned char>(input[pos]), p, one);
        if (one.size() > room)
            break;
        room -= one.size();
        out += one;
        ++pos;
    }
    return pos - start;
}

std::optional<std::string> decode(std::string_view data, const Prefixing& p)
{
    std::string out;
    out.reserve(data.size());
    std::size_t i = 0;
    const auto next = [&]() -> std::optional<unsigned char> {
        if (i >= data.size())
            return std::nullopt;
        return static_cast<unsigned char>(data[i++]);
    };
    while (i < data.size()) {
        int count = 1;
        auto c = *next();
        if (p.rept && c == static_cast<unsigned char>(p.rept)) {
            const auto n = next();
            if (!n)
                return std::nullopt;
            count = unChar(char(*n));
            const auto after = next();
            if (!after || count < 0)
                return std::nullopt;
            c = *after;
        }
        unsigned char high = 0;
        if (p.qbin && c == static_cast<unsigned char>(p.qbin)) {
            high = 0x80;
            const auto n = next();
            if (!n)
                return std::nullopt;
            c = *n;
        }
        if (c == static_cast<unsigned char>(p.qctl)) {
            const auto n = next();
            if (!n)
                return std::nullopt;
            c = *n;
            const unsigned char low = c & 0x7F;
            if (low >= 0x3F && low <= 0x5F)
                c ^= 64;
        }
        out.append(std::size_t(count), char(c | high));
    }
    return out;
}

} // namespace scrivlet::kermit
