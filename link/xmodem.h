#pragma once

#include "link/link_engine.h"

#include <cstdint>
#include <string>

namespace scrivlet {

namespace xmodem {
inline constexpr char kSoh = 0x01, kStx = 0x02, kEot = 0x04, kAck = 0x06, kNak = 0x15,
                      kCan = 0x18, kPad = 0x1A;
// The receiver's request for 16-bit checks: 'C' asks for XModem's CRC; 'D', as the 49 series
// asks, for Kermit's CRC-16, sent high byte first like the other.
enum class Check { Sum, Crc, KermitCrc };
// The sender's message when its EOT goes unanswered after every block was acknowledged.
inline constexpr char kEndUnconfirmed[] =
    "every block was acknowledged, but not the end of the file";
std::uint16_t crc16(std::string_view bytes); // CRC-16, polynomial 1021, not reflected, initial 0
} // namespace xmodem

// XModem sender: waits for C, D or NAK, then sends blocks numbered from 1 (1K blocks while a
// whole 1K remains and the receiver asked for a 16-bit check, else 128-byte blocks, the last
// padded with 1A), then EOT, sent again on NAK or silence up to four times; an EOT never
// answered fails with kEndUnconfirmed as the message. Two CANs from the receiver end it.
class XModemSender final : public LinkEngine {
public:
    XModemSender(std::string bytes, LinkTiming timing, bool oneK = true);

    void start() override;
    void receive(std::string_view bytes) override;
    void timeout() override;
    void cancel() override;

    xmodem::Check check() const { return m_check; }

private:
    void sendBlock();
    void resend();

    std::string m_bytes;
    LinkTiming m_timing;
    bool m_oneK;
    enum class Phase { AwaitRequest, AwaitAck, AwaitEotAck } m_phase = Phase::AwaitRequest;
    xmodem::Check m_check = xmodem::Check::Sum;
    std::size_t m_pos = 0;
    std::size_t m_blockLength = 0;
    unsigned char m_block = 1;
    std::string m_lastSent;
    int m_tries = 0;
    int m_cans = 0;
    bool m_heard = false;
};

// XModem receiver: asks with its request (C, D or NAK) and, when three requests for a 16-bit
// check meet silence, falls back to NAK and the checksum. Takes 128-byte and 1K blocks in any
// mix; the 1A padding at the end of the last block is dropped. After a damaged block or noise
// it waits a quarter of the timeout for the line to fall quiet before its NAK, and it takes an
// EOT only when sent twice (the first gets a NAK), so damage never ends a file early.
class XModemReceiver final : public LinkEngine {
public:
    XModemReceiver(LinkTiming timing, xmodem::Check request = xmodem::Check::Crc);

    void start() override;
    void receive(std::string_view bytes) override;
    void timeout() override;
    void cancel() override;

private:
    void request();
    void reply(char c);
    void purge();
    bool takeBlock(); // false when more bytes are needed

    LinkTiming m_timing;
    xmodem::Check m_check;
    std::string m_inbox;
    std::string m_data;
    std::size_t m_lastBlockStart = 0;
    unsigned char m_expected = 1;
    bool m_started = false; // a block arrived
    bool m_anyByte = false; // something came back since the first request
    bool m_purging = false; // ignoring bytes until the line is quiet
    bool m_eotSeen = false; // one EOT was answered with NAK
    int m_tries = 0;
    bool m_heard = false;
};

} // namespace scrivlet
