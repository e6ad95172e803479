#include "link/xmodem.h"

#include "link/kermit_packet.h"

#include <algorithm>

namespace scrivlet {

using namespace xmodem;

std::uint16_t xmodem::crc16(std::string_view bytes)
{
    std::uint16_t crc = 0;
    for (const char c : bytes) {
        crc ^= std::uint16_t(static_cast<unsigned char>(c) << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? std::uint16_t((crc << 1) ^ 0x1021) : std::uint16_t(crc << 1);
    }
    return crc;
}

namespace {

std::string checkBytes(std::string_view data, Check check)
{
    if (check == Check::Sum) {
        unsigned sum = 0;
        for (const char c : data)
            sum += static_cast<unsigned char>(c);
        return std::string(1, char(sum & 0xFF));
    }
    const std::uint16_t crc = check == Check::Crc ? crc16(data) : kermit::crc16(data);
    return {char(crc >> 8), char(crc & 0xFF)};
}

const char kCancel[] = {kCan, kCan, kCan};
constexpr int kEotTries = 4;

} // namespace

XModemSender::XModemSender(std::string bytes, LinkTiming timing, bool oneK)
    : m_bytes(std::move(bytes)), m_timing(timing), m_oneK(oneK)
{
}

void XModemSender::start() { armTimer(m_timing.timeoutMs); }

void XModemSender::sendBlock()
{
    if (m_pos >= m_bytes.size()) {
        m_phase = Phase::AwaitEotAck;
        m_lastSent = std::string(1, kEot);
    } else {
        m_phase = Phase::AwaitAck;
        const std::size_t left = m_bytes.size() - m_pos;
        m_blockLength = m_oneK && m_check != Check::Sum && left >= 1024 ? 1024 : 128;
        std::string data = m_bytes.substr(m_pos, m_blockLength);
        data.resize(m_blockLength, kPad);
        m_lastSent.clear();
        m_lastSent += m_blockLength == 1024 ? kStx : kSoh;
        m_lastSent += char(m_block);
        m_lastSent += char(255 - m_block);
        m_lastSent += data;
        m_lastSent += checkBytes(data, m_check);
    }
    m_tries = 1;
    ++m_packetsSent;
    send(m_lastSent);
    armTimer(m_timing.timeoutMs);
}

void XModemSender::resend()
{
    // Once every block is acknowledged, an EOT unanswered four times means the receiver has
    // most likely finished and gone: waiting out all the retries would only keep the user.
    const int tries =
        m_phase == Phase::AwaitEotAck ? std::min(m_timing.retries, kEotTries) : m_timing.retries;
    if (m_tries >= tries) {
        send(std::string_view(kCancel, 3));
        // Every block was acknowledged: the receiver may well have the whole file.
        fail(m_heard ? LinkFailure::TooManyRetries : LinkFailure::NoAnswer,
             m_phase == Phase::AwaitEotAck ? kEndUnconfirmed : "");
        return;
    }
    ++m_tries;
    ++m_retries;
    ++m_packetsSent;
    send(m_lastSent);
    armTimer(m_timing.timeoutMs);
}

void XModemSender::receive(std::string_view bytes)
{
    for (const char c : bytes) {
        if (finished())
            return;
        if (c == kCan) {
            if (++m_cans >= 2)
                fail(LinkFailure::PeerCancelled);
            continue;
        }
        m_cans = 0;
        switch (m_phase) {
        case Phase::AwaitRequest:
            if (c == 'C' || c == 'D' || c == kNak) {
                m_heard = true;
                m_check = c == 'C' ? Check::Crc : c == 'D' ? Check::KermitCrc : Check::Sum;
                sendBlock();
            }
            break;
        case Phase::AwaitAck:
            if (c == kAck) {
                m_pos += m_blockLength;
                m_payloadBytes = std::min<std::uint64_t>(m_pos, m_bytes.size());
                ++m_block;
                sendBlock();
            } else if (c == kNak) {
                resend();
            }
            break;
        case Phase::AwaitEotAck:
            if (c == kAck)
                succeed();
            else if (c == kNak)
                resend();
            break;
        }
    }
}

void XModemSender::timeout()
{
    if (finished())
        return;
    if (m_phase == Phase::AwaitRequest) {
        if (++m_tries >= m_timing.retries)
            fail(LinkFailure::NoAnswer);
        else
            armTimer(m_timing.timeoutMs);
        return;
    }
    resend();
}

void XModemSender::cancel()
{
    if (finished())
        return;
    send(std::string_view(kCancel, 3));
    fail(LinkFailure::Cancelled);
}

XModemReceiver::XModemReceiver(LinkTiming timing, Check request)
    : m_timing(timing), m_check(request)
{
}

void XModemReceiver::request()
{
    reply(m_check == Check::Crc ? 'C' : m_check == Check::KermitCrc ? 'D' : kNak);
}

void XModemReceiver::reply(char c)
{
    send(std::string_view(&c, 1));
    ++m_packetsSent;
    // Once blocks flow, the sender's own timeout repairs a lost block or answer. The receiver
    // waits twice as long before its NAK, so the two never cross: a NAK crossing a resent
    // block earns a third copy, whose extra ACK would move the sender past the next block.
    armTimer(m_started ? 2 * m_timing.timeoutMs : m_timing.timeoutMs);
}

void XModemReceiver::start()
{
    m_tries = 1;
    request();
}

void XModemReceiver::purge()
{
    // Wait for the line to fall quiet, then ask again: the rest of the damaged block could
    // otherwise be read as a block header or an EOT.
    m_inbox.clear();
    m_purging = true;
    m_eotSeen = false;
    armTimer(m_timing.timeoutMs / 4 + 1);
}

void XModemReceiver::timeout()
{
    if (finished())
        return;
    if (m_tries >= m_timing.retries) {
        send(std::string_view(kCancel, 3));
        fail(m_heard ? LinkFailure::TooManyRetries : LinkFailure::NoAnswer);
        return;
    }
    ++m_tries;
    m_inbox.clear();
    m_purging = false;
    if (!m_started) {
        // Fall back only when the line stayed silent: a sender that answered has already
        // chosen the check it will use.
        if (m_tries > 3 && m_check != Check::Sum && !m_anyByte)
            m_check = Check::Sum;
        request();
        return;
    }
    ++m_retries;
    reply(kNak);
}

void XModemReceiver::cancel()
{
    if (finished())
        return;
    send(std::string_view(kCancel, 3));
    fail(LinkFailure::Cancelled);
}

void XModemReceiver::receive(std::string_view bytes)
{
    m_anyByte = m_anyByte || !bytes.empty();
    if (m_purging)
        return;
    m_inbox.append(bytes);
    while (!finished() && !m_inbox.empty() && !m_purging) {
        const char first = m_inbox[0];
        if (first == kSoh || first == kStx) {
            if (!takeBlock())
                return;
        } else if (first == kEot) {
            if (m_inbox.size() > 1) {
                purge();
                return;
            }
            m_inbox.clear();
            if (!m_eotSeen) {
                // A damaged block header can look like EOT: a real end is sent again.
                m_eotSeen = true;
                reply(kNak);
                return;
            }
            std::size_t end = m_data.size();
            while (end > m_lastBlockStart && m_data[end - 1] == kPad)
                --end;
            m_data.resize(end);
            m_heard = true;
            reply(kAck);
            deliver(ReceivedFile{{}, std::exchange(m_data, {})});
            succeed();
        } else if (first == kCan) {
            if (m_inbox.size() < 2)
                return;
            if (m_inbox[1] == kCan) {
                fail(LinkFailure::PeerCancelled);
                return;
            }
            m_inbox.erase(0, 1);
        } else {
            purge(); // noise where a block should start
        }
    }
}

bool XModemReceiver::takeBlock()
{
    const std::size_t length = m_inbox[0] == kStx ? 1024 : 128;
    const std::size_t checkLength = m_check == Check::Sum ? 1 : 2;
    if (m_inbox.size() < 3 + length + checkLength)
        return false;
    const auto number = static_cast<unsigned char>(m_inbox[1]);
    const auto complement = static_cast<unsigned char>(m_inbox[2]);
    const std::string_view data(m_inbox.data() + 3, length);
    const bool good = (number ^ complement) == 0xFF &&
                      checkBytes(data, m_check) == std::string_view(m_inbox.data() + 3 + length, checkLength);
    m_eotSeen = false;
    if (!good) {
        purge();
        return true;
    }
    m_heard = true;
    m_started = true;
    m_tries = 1;
    if (number == m_expected) {
        m_lastBlockStart = m_data.size();
        m_data.append(data);
        m_payloadBytes = m_data.size();
        ++m_expected;
    } else if (number != static_cast<unsigned char>(m_expected - 1)) {
        m_inbox.clear();
        send(std::string_view(kCancel, 3));
        fail(LinkFailure::Refused, "blocks out of order");
        return true;
    }
    m_inbox.erase(0, 3 + length + checkLength);
    reply(kAck);
    return true;
}

} // namespace scrivlet
