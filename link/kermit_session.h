#pragma once

#include "link/kermit_packet.h"
#include "link/link_engine.h"

#include <string>
#include <vector>

namespace scrivlet {

struct KermitOptions {
    LinkTiming timing;
    int checkType = 3;         // block check proposed: 1, 2 or 3
    int maxPacketLength = 90;  // largest LEN sent and accepted, at most 94
    bool eightBitPrefix = false; // ask for the 8th-bit prefix (for 7-bit lines)
};

// One Kermit transaction, as sender, receiver or client of a server:
//   send    S F D… Z … B, waiting for each ACK (also what a server takes from a client)
//   receive waits for S and takes files until B
//   get     sends R with a name, then receives what the server sends
//   finish  sends G F and waits for the ACK
// Server commands (R, G) go out with block check 1 whatever was agreed before, as the
// calculators require. Data is sent without repeat counts and with every control character
// prefixed, as the calculators need, except to a receiver that offers long packets (a full
// Kermit program, which no calculator is): it gets only the risky few prefixed. Repeat counts
// and the 8th-bit prefix from the other side are understood.
// Each packet is sent at most timing.retries times. A sender cancelled midway ends the file
// with Z D (discard) and the batch with B, so the receiver keeps no part of it; otherwise a
// cancel, or giving up on a line that answered before, sends E.
class KermitSession final : public LinkEngine {
public:
    static KermitSession sender(std::vector<OutgoingFile> files, KermitOptions options = {});
    static KermitSession receiver(KermitOptions options = {});
    static KermitSession getter(std::string remoteName, KermitOptions options = {});
    static KermitSession finisher(KermitOptions options = {});

    void start() override;
    void receive(std::string_view bytes) override;
    void timeout() override;
    void cancel() override;

    int agreedCheckType() const { return m_checkType; }

private:
    enum class Phase {
        SendInit, SendFile, SendData, SendEof, SendBreak,
        AwaitServerInit, ReceiveInit, ReceiveFile, ReceiveData,
        AwaitFinish, Over
    };
    KermitSession(Phase phase, KermitOptions options);

    std::string initData(const std::string& peerInit) const;
    void adopt(const std::string& peerInit);
    void sendPacket(char type, std::string data, int checkType);
    void sendAck(int seq, std::string data = {});
    void sendNak(int seq);
    void resend();
    void giveUp();
    void handle(const kermit::Packet& packet);
    void handleAsSender(const kermit::Packet& packet);
    void handleAsReceiver(const kermit::Packet& packet);
    void advanceSender(const kermit::Packet& ack);
    void sendNextFileOrBreak();
    void sendData();
    void peerError(const kermit::Packet& packet);
    int nextSeq() const { return (m_seq + 1) & 63; }
    bool sending() const { return m_phase <= Phase::SendBreak; }

    Phase m_phase;
    KermitOptions m_options;
    std::vector<OutgoingFile> m_outgoing;
    std::size_t m_fileIndex = 0;
    std::size_t m_filePos = 0;
    std::string m_remoteName;

    int m_seq = 0;
    int m_checkType = 1;
    int m_peerMaxLength = 80;
    kermit::Prefixing m_sendPrefix;
    kermit::Prefixing m_receivePrefix;

    std::string m_inbox;
    std::string m_lastSent; // framed, for sending again
    int m_tries = 0;
    bool m_heard = false;
    bool m_cancelling = false;

    std::string m_fileName;
    std::string m_fileBytes;
};

} // namespace scrivlet
