#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace scrivlet::kermit {

// Kermit's packet layer: framing, the three block checks and the prefixing of data bytes.
// A packet on the line is MARK LEN SEQ TYPE DATA CHECK EOL, every field but MARK, DATA and EOL
// a printable character (tochar: value + 32); LEN counts SEQ through CHECK, at most 94.

inline constexpr char kMark = '\x01';
inline constexpr int kMaxShortLength = 94;

constexpr char toChar(int value) { return char(value + 32); }
constexpr int unChar(char c) { return int(static_cast<unsigned char>(c)) - 32; }
constexpr char ctl(char c) { return char(static_cast<unsigned char>(c) ^ 64); }

// Kermit's CRC-16 (CCITT polynomial, reflected, initial 0).
std::uint16_t crc16(std::string_view bytes);

// The block check of type 1, 2 or 3 over LEN through DATA, as the characters sent.
std::string blockCheck(std::string_view covered, int type);

struct Packet {
    int seq = 0;
    char type = 0;
    std::string data; // as on the line, still prefixed
};

// The bytes of a packet ending with CR.
std::string frame(const Packet& packet, int checkType);

// Finds the next packet in buffer: consumes what comes before a MARK, and a whole packet once
// its bytes have all arrived. A packet whose check fails is consumed and reported as bad.
struct Parsed {
    enum class Kind { NeedMore, Good, Bad } kind = Kind::NeedMore;
    Packet packet;
};
// checkType applies to every packet except the init and server commands (S, I, R, G), which
// are tried with type 1 when checkType fails: a peer that missed our ACK sends them again.
Parsed parse(std::string& buffer, int checkType);

// How data bytes are written inside DATA.
struct Prefixing {
    char qctl = '#';
    char qbin = 0; // 8th-bit prefix, 0 when not in use
    char rept = 0; // repeat prefix, 0 when not in use
    // Prefix only the control characters for which needsPrefixOnCleanLine() holds and send the
    // others bare. Only for a full Kermit program on an 8-bit line (qbin 0): calculators need
    // every control character prefixed.
    bool fewControls = false;
};

// The control characters that still go prefixed when the others go bare: NUL, the packet
// mark and the line ends (SOH, CR, LF), flow control (XON, XOFF), what terminals, shells,
// modems and telnet act upon (^C, ^D, SO, SI, DLE, ^U, ^X, ^Y, ^Z, FS, GS, RS, 255), and their
// twins with the 8th bit on that 7-bit equipment would strip to the same. C-Kermit prefixes
// the same set by default.
bool needsPrefixOnCleanLine(unsigned char byte);

// Encodes bytes from input starting at pos into at most room characters; returns how many
// input bytes were taken. Every control character (C0, DEL, and with the 8th bit on) is
// prefixed unless p.fewControls says otherwise.
std::size_t encode(std::string_view input, std::size_t pos, std::size_t room, const Prefixing& p,
                   std::string& out);

// Decodes DATA; nothing when it is malformed (a prefix with nothing after it).
std::optional<std::string> decode(std::string_view data, const Prefixing& p);

} // namespace scrivlet::kermit
