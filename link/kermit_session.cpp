#include "link/kermit_session.h"

#include <algorithm>

namespace scrivlet {

using kermit::Packet;
using kermit::toChar;
using kermit::unChar;

namespace {

// A prefix character as the init packet offers it: 33–62 or 96–126.
bool isPrefixChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 33 && u <= 62) || (u >= 96 && u <= 126);
}

char field(const std::string& init, std::size_t index, char fallback)
{
    return index < init.size() ? init[index] : fallback;
}

} // namespace

KermitSession::KermitSession(Phase phase, KermitOptions options)
    : m_phase(phase), m_options(options)
{
    m_options.maxPacketLength = std::clamp(m_options.maxPacketLength, 20, kermit::kMaxShortLength);
    if (m_options.checkType < 1 || m_options.checkType > 3)
        m_options.checkType = 1;
}

KermitSession KermitSession::sender(std::vector<OutgoingFile> files, KermitOptions options)
{
    KermitSession session(Phase::SendInit, options);
    session.m_outgoing = std::move(files);
    return session;
}

KermitSession KermitSession::receiver(KermitOptions options)
{
    return KermitSession(Phase::ReceiveInit, options);
}

KermitSession KermitSession::getter(std::string remoteName, KermitOptions options)
{
    KermitSession session(Phase::AwaitServerInit, options);
    session.m_remoteName = std::move(remoteName);
    return session;
}

KermitSession KermitSession::finisher(KermitOptions options)
{
    return KermitSession(Phase::AwaitFinish, options);
}

// MAXL TIME NPAD PADC EOL QCTL QBIN CHKT REPT. As the sender's offer (peerInit empty) or as
// the receiver's answer to peerInit.
std::string KermitSession::initData(const std::string& peerInit) const
{
    std::string d;
    d += toChar(m_options.maxPacketLength);
    d += toChar(std::clamp(m_options.timing.timeoutMs / 1000, 1, 94));
    d += toChar(0);
    d += '@';
    d += toChar('\r');
    d += '#';
    if (sending() || peerInit.empty()) {
        d += m_options.eightBitPrefix ? '&' : 'Y';
        d += char('0' + m_options.checkType);
        d += ' ';
    } else {
        const char theirBin = field(peerInit, 6, 'N');
        d += isPrefixChar(theirBin) ? 'Y' : (theirBin == 'Y' && m_options.eightBitPrefix ? '&' : 'N');
        d += char('0' + m_options.checkType);
        const char theirRept = field(peerInit, 8, ' ');
        d += isPrefixChar(theirRept) ? theirRept : ' ';
    }
    return d;
}

void KermitSession::adopt(const std::string& peerInit)
{
    const int maxl = unChar(field(peerInit, 0, toChar(80)));
    m_peerMaxLength = std::clamp(maxl, 20, m_options.maxPacketLength);
    const char theirCtl = field(peerInit, 5, '#');
    m_receivePrefix.qctl = isPrefixChar(theirCtl) ? theirCtl : '#';
    m_sendPrefix.qctl = '#';

    const char ourBin = m_options.eightBitPrefix ? '&' : 'Y';
    const char theirBin = field(peerInit, 6, 'N');
    char bin = 0;
    if (isPrefixChar(theirBin) && (ourBin == 'Y' || ourBin == theirBin))
        bin = theirBin;
    else if (isPrefixChar(ourBin) && theirBin == 'Y')
        bin = ourBin;
    m_sendPrefix.qbin = m_receivePrefix.qbin = bin;

    const char theirCheck = field(peerInit, 7, '1');
    m_checkType = theirCheck == char('0' + m_options.checkType) ? m_options.checkType : 1;

    // We never compress, but a repeat prefix both sides named must be prefixed when it occurs
    // in our data and understood in theirs.
    const char theirRept = field(peerInit, 8, ' ');
    const bool repeat = !sending() && isPrefixChar(theirRept) &&
                        theirRept != m_receivePrefix.qctl && theirRept != bin;
    m_receivePrefix.rept = m_sendPrefix.rept = repeat ? theirRept : 0;

    // A receiver that offers long packets (CAPAS bit 2) is a full Kermit program, which no
    // calculator is: on an 8-bit line, with packets ending in CR or LF (both stay prefixed),
    // it takes most control characters bare, and each prefix saved is room for more data.
    const int capas = unChar(field(peerInit, 9, toChar(0)));
    const int eol = unChar(field(peerInit, 4, toChar('\r')));
    m_sendPrefix.fewControls = sending() && bin == 0 && (eol == '\r' || eol == '\n') && capas > 0 &&
                               capas < 64 && (capas & 2);
}

void KermitSession::sendPacket(char type, std::string data, int checkType)
{
    m_lastSent = kermit::frame(Packet{m_seq, type, std::move(data)}, checkType);
    m_tries = 1;
    ++m_packetsSent;
    send(m_lastSent);
    armTimer(m_options.timing.timeoutMs);
}

void KermitSession::sendAck(int seq, std::string data)
{
    const int saved = m_seq;
    m_seq = seq;
    sendPacket('Y', std::move(data), m_checkType);
    m_seq = saved;
}

void KermitSession::sendNak(int seq)
{
    send(kermit::frame(Packet{seq, 'N', {}}, m_checkType));
    ++m_packetsSent;
}

void KermitSession::resend()
{
    if (m_tries >= m_options.timing.retries) {
        giveUp();
        return;
    }
    ++m_tries;
    ++m_retries;
    ++m_packetsSent;
    send(m_lastSent);
    armTimer(m_options.timing.timeoutMs);
}

void KermitSession::giveUp()
{
    // If only one way of the line is dead, the other side learns to drop what it has.
    if (m_heard)
        send(kermit::frame(Packet{m_seq, 'E', "Too many retries"}, m_checkType));
    if (m_cancelling)
        fail(LinkFailure::Cancelled);
    else
        fail(m_heard ? LinkFailure::TooManyRetries : LinkFailure::NoAnswer);
}

void KermitSession::start()
{
    switch (m_phase) {
    case Phase::SendInit:
        sendPacket('S', initData({}), 1);
        break;
    case Phase::AwaitServerInit: {
        std::string name;
        kermit::encode(m_remoteName, 0, kermit::kMaxShortLength - 3, m_sendPrefix, name);
        sendPacket('R', name, 1);
        break;
    }
    case Phase::AwaitFinish:
        sendPacket('G', "F", 1);
        break;
    default:
        // A receiver speaks only when spoken to, or with a NAK when nothing comes.
        m_tries = 0;
        armTimer(m_options.timing.timeoutMs);
        break;
    }
}

void KermitSession::timeout()
{
    if (finished())
        return;
    if (sending() || m_phase == Phase::AwaitFinish || m_phase == Phase::AwaitServerInit) {
        resend();
        return;
    }
    // A receiver asks for the packet it waits for.
    if (m_tries >= m_options.timing.retries) {
        giveUp();
        return;
    }
    ++m_tries;
    if (m_heard)
        ++m_retries;
    sendNak(m_phase == Phase::ReceiveInit ? 0 : nextSeq());
    armTimer(m_options.timing.timeoutMs);
}

void KermitSession::cancel()
{
    if (finished() || m_cancelling)
        return;
    m_cancelling = true;
    if (m_phase == Phase::SendData) {
        // Z with D: the receiver throws the part it has away, then the batch ends with B.
        m_outgoing.resize(m_fileIndex + 1);
        m_phase = Phase::SendEof;
        m_seq = nextSeq();
        sendPacket('Z', "D", m_checkType);
        return;
    }
    send(kermit::frame(Packet{m_seq, 'E', "Cancelled by the user"}, m_checkType));
    fail(LinkFailure::Cancelled);
}

void KermitSession::receive(std::string_view bytes)
{
    m_inbox.append(bytes);
    while (!finished()) {
        const int expected = m_phase == Phase::ReceiveInit || m_phase == Phase::AwaitServerInit ||
                                     m_phase == Phase::SendInit || m_phase == Phase::AwaitFinish
                                 ? 1
                                 : m_checkType;
        auto parsed = kermit::parse(m_inbox, expected);
        if (parsed.kind == kermit::Parsed::Kind::NeedMore)
            return;
        if (parsed.kind == kermit::Parsed::Kind::Bad) {
            // A damaged packet: a sender sends its packet again, a receiver asks for it.
            if (sending() || m_phase == Phase::AwaitFinish)
                resend();
            else if (m_phase != Phase::AwaitServerInit)
                sendNak(m_phase == Phase::ReceiveInit ? 0 : nextSeq());
            continue;
        }
        handle(parsed.packet);
    }
}

void KermitSession::peerError(const Packet& packet)
{
    const auto text = kermit::decode(packet.data, m_receivePrefix);
    fail(LinkFailure::PeerCancelled, text ? *text : packet.data);
}

void KermitSession::handle(const Packet& packet)
{
    if (packet.type == 'E') {
        peerError(packet);
        return;
    }
    if (sending() || m_phase == Phase::AwaitFinish)
        handleAsSender(packet);
    else
        handleAsReceiver(packet);
}

void KermitSession::handleAsSender(const Packet& packet)
{
    if (packet.type == 'Y' && packet.seq == m_seq) {
        m_heard = true;
        advanceSender(packet);
    } else if (packet.type == 'N' && packet.seq == nextSeq() && m_phase != Phase::SendInit) {
        m_heard = true; // a NAK for the next packet acknowledges this one
        advanceSender(Packet{m_seq, 'Y', {}});
    } else if (packet.type == 'N' && packet.seq == m_seq) {
        m_heard = true;
        resend();
    }
    // Anything else is an old answer: the timer stays as it is.
}

void KermitSession::advanceSender(const Packet& ack)
{
    switch (m_phase) {
    case Phase::SendInit:
        adopt(ack.data);
        sendNextFileOrBreak();
        break;
    case Phase::SendFile:
        m_phase = Phase::SendData;
        m_filePos = 0;
        sendData();
        break;
    case Phase::SendData:
        if (!ack.data.empty() && (ack.data[0] == 'X' || ack.data[0] == 'Z')) {
            fail(LinkFailure::PeerCancelled);
            return;
        }
        sendData();
        break;
    case Phase::SendEof:
        ++m_fileIndex;
        sendNextFileOrBreak();
        break;
    case Phase::SendBreak:
    case Phase::AwaitFinish:
        m_phase = Phase::Over;
        if (m_cancelling)
            fail(LinkFailure::Cancelled);
        else
            succeed();
        break;
    default:
        break;
    }
}

void KermitSession::sendNextFileOrBreak()
{
    m_seq = nextSeq();
    const int checkLength = m_checkType == 3 ? 3 : m_checkType;
    const std::size_t room = std::size_t(m_peerMaxLength - 2 - checkLength);
    if (m_fileIndex < m_outgoing.size()) {
        m_phase = Phase::SendFile;
        std::string name;
        kermit::encode(m_outgoing[m_fileIndex].name, 0, room, m_sendPrefix, name);
        sendPacket('F', name, m_checkType);
    } else {
        m_phase = Phase::SendBreak;
        sendPacket('B', {}, m_checkType);
    }
}

void KermitSession::sendData()
{
    const std::string& bytes = m_outgoing[m_fileIndex].bytes;
    m_seq = nextSeq();
    if (m_filePos >= bytes.size()) {
        m_phase = Phase::SendEof;
        sendPacket('Z', {}, m_checkType);
        return;
    }
    const int checkLength = m_checkType == 3 ? 3 : m_checkType;
    const std::size_t room = std::size_t(m_peerMaxLength - 2 - checkLength);
    std::string data;
    const std::size_t taken = kermit::encode(bytes, m_filePos, room, m_sendPrefix, data);
    m_filePos += taken;
    m_payloadBytes += taken;
    sendPacket('D', std::move(data), m_checkType);
}

void KermitSession::handleAsReceiver(const Packet& packet)
{
    const int expected = m_phase == Phase::ReceiveInit || m_phase == Phase::AwaitServerInit
                             ? 0
                             : nextSeq();
    if (m_phase == Phase::AwaitServerInit && packet.type == 'N') {
        resend(); // the server did not understand the request: ask again
        return;
    }
    if (packet.seq != expected) {
        // The sender did not get our last ACK: send it again.
        if (packet.seq == m_seq && m_phase != Phase::ReceiveInit && m_phase != Phase::AwaitServerInit) {
            ++m_retries;
            send(m_lastSent);
            armTimer(m_options.timing.timeoutMs);
        }
        return;
    }
    m_heard = true;
    const auto data = kermit::decode(packet.data, m_receivePrefix);
    if (!data && packet.type != 'S') {
        sendNak(expected);
        return;
    }
    m_seq = expected;
    switch (m_phase) {
    case Phase::ReceiveInit:
    case Phase::AwaitServerInit:
        if (packet.type != 'S') {
            if (packet.type == 'Y' && m_phase == Phase::AwaitServerInit)
                return; // an ACK of the request; the S follows
            fail(LinkFailure::Refused, std::string("unexpected packet ") + packet.type);
            return;
        }
        adopt(packet.data);
        m_seq = 0;
        {
            const int agreed = m_checkType;
            m_checkType = 1; // the answer to S goes with block check 1
            sendAck(0, initData(packet.data));
            m_checkType = agreed;
        }
        m_phase = Phase::ReceiveFile;
        break;
    case Phase::ReceiveFile:
        if (packet.type == 'F' || packet.type == 'X') {
            m_fileName = data ? *data : std::string();
            m_fileBytes.clear();
            m_phase = Phase::ReceiveData;
            sendAck(m_seq);
        } else if (packet.type == 'B') {
            sendAck(m_seq);
            m_phase = Phase::Over;
            succeed();
        } else {
            fail(LinkFailure::Refused, std::string("unexpected packet ") + packet.type);
        }
        break;
    case Phase::ReceiveData:
        if (packet.type == 'A') {
            sendAck(m_seq);
        } else if (packet.type == 'D') {
            m_fileBytes += *data;
            m_payloadBytes += data->size();
            sendAck(m_seq);
        } else if (packet.type == 'Z') {
            if (!(data && *data == "D"))
                deliver(ReceivedFile{m_fileName, std::exchange(m_fileBytes, {})});
            m_fileBytes.clear();
            m_phase = Phase::ReceiveFile;
            sendAck(m_seq);
        } else {
            fail(LinkFailure::Refused, std::string("unexpected packet ") + packet.type);
        }
        break;
    default:
        break;
    }
}

} // namespace scrivlet
