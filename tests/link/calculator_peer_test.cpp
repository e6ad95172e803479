// Peers that play the calculator's part where it differs from a textbook Kermit or XModem
// program: short packets, every control character prefixed, a stale NAK on connect, server
// commands with block check 1, XRECV asking with D for Kermit's CRC, XSEND's one 1K block.
#include "link/kermit_packet.h"
#include "link/kermit_session.h"
#include "link/xmodem.h"
#include "link_simulation.h"

#include <gtest/gtest.h>

#include <optional>

namespace scrivlet {
namespace {

using testing::allByteValues;
using testing::Line;
using testing::randomBytes;
using testing::simulate;

constexpr LinkTiming kTiming{1000, 10};
constexpr int kCalculatorPacket = 50; // a 50g refused longer data packets

// Every packet on the line: LEN within the calculator's limit, nothing but printable
// characters between MARK and the closing CR.
void expectCalculatorSafe(const std::string& bytes)
{
    std::size_t start = 0;
    while ((start = bytes.find(kermit::kMark, start)) != std::string::npos) {
        const auto end = bytes.find('\r', start);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(kermit::unChar(bytes[start + 1]), kCalculatorPacket);
        for (std::size_t i = start + 1; i < end; ++i) {
            const auto low = static_cast<unsigned char>(bytes[i]) & 0x7F;
            ASSERT_TRUE(low >= 32 && low != 127) << "raw control byte " << int(bytes[i]);
        }
        start = end;
    }
}

TEST(CalculatorPeer, KermitSendKeepsToShortPrefixedPacketsAndSurvivesAStaleNak)
{
    const std::string bytes = allByteValues() + randomBytes(3000);
    auto sender = KermitSession::sender({{"PRG", bytes}}, {kTiming, 3, 90, false});
    auto calculator = KermitSession::receiver({kTiming, 3, kCalculatorPacket, false});
    Line there, back;
    there.watch = expectCalculatorSafe;
    back.stale = kermit::frame({0, 'N', {}}, 1);
    simulate(sender, calculator, there, back);
    EXPECT_EQ(sender.failure(), LinkFailure::None);
    const auto files = calculator.takeFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].bytes, bytes);
}

// Our sender answered by hand: S gets init (MAXL 50 … EOL, QCTL, QBIN, CHKT 3, REPT, CAPAS).
// No CAPAS, attributes only, long packets on a 7-bit line or with another EOL: all prefixed.
TEST(CalculatorPeer, ControlCharactersGoBareOnlyToAFullKermitOnAnEightBitLine)
{
    for (const std::string init :
         {"R% @-#Y3 ", "R% @-#Y3 (", "R% @-#&3 *", "R% @+#Y3 *", "R% @-#Y3 *"}) {
        auto sender = KermitSession::sender({{"PRG", allByteValues()}}, {kTiming, 3, 90, false});
        sender.start();
        sender.receive(kermit::frame({0, 'Y', init}, 1));
        std::string line;
        for (int seq = 1; !sender.finished() && seq < 100; ++seq) {
            line += sender.takeOutput();
            sender.receive(kermit::frame({seq & 63, 'Y', {}}, 3));
        }
        if (init != "R% @-#Y3 *") {
            expectCalculatorSafe(line);
            continue;
        }
        EXPECT_NE(line.find('\x02'), std::string::npos);
        for (const char c : line)
            EXPECT_TRUE(c == 1 || c == '\r' ||
                        !kermit::needsPrefixOnCleanLine(static_cast<unsigned char>(c)))
                << int(c);
    }
}

// The calculator's server: takes R and G F only when sent with block check 1, sends the file
// asked for with its own short packets, and says "Error: …" in an E packet for unknown names.
class CalculatorServer final : public LinkEngine {
public:
    explicit CalculatorServer(std::string variable) : m_variable(std::move(variable)) {}
    void start() override { armTimer(kTiming.timeoutMs); }
    void timeout() override
    {
        if (m_sender)
            return relay([&] { m_sender->timeout(); });
        armTimer(kTiming.timeoutMs);
    }
    void cancel() override {}
    void receive(std::string_view bytes) override
    {
        if (m_sender)
            return relay([&] { m_sender->receive(bytes); });
        m_inbox.append(bytes);
        const auto parsed = kermit::parse(m_inbox, 1);
        if (parsed.kind != kermit::Parsed::Kind::Good) {
            ++commandsWithWrongCheck;
            return;
        }
        if (parsed.packet.type == 'R' && parsed.packet.data == "PRG") {
            m_sender.emplace(KermitSession::sender({{"PRG", m_variable}}, {kTiming, 3, kCalculatorPacket, false}));
            relay([&] { m_sender->start(); });
        } else if (parsed.packet.type == 'R') {
            send(kermit::frame({0, 'E', "Error: Undefined Name"}, 1));
        } else if (parsed.packet.type == 'G' && parsed.packet.data == "F") {
            send(kermit::frame({parsed.packet.seq, 'Y', {}}, 1));
            succeed();
        }
    }
    int commandsWithWrongCheck = 0;

private:
    template <typename F> void relay(F step)
    {
        step();
        send(m_sender->takeOutput());
        if (m_sender->timerGeneration() != m_generation)
            m_generation = m_sender->timerGeneration(), armTimer(m_sender->timeoutMs());
        if (m_sender->finished())
            m_sender.reset(), armTimer(kTiming.timeoutMs);
    }
    std::string m_variable;
    std::string m_inbox;
    std::optional<KermitSession> m_sender;
    std::uint64_t m_generation = 0;
};

TEST(CalculatorPeer, ServerCommandsGoWithBlockCheckOneAndErrorsComeBackAsText)
{
    const std::string bytes = randomBytes(5000, 9);
    CalculatorServer server(bytes);
    auto get = KermitSession::getter("PRG", {kTiming, 3, 90, false});
    Line there, back;
    back.watch = expectCalculatorSafe;
    simulate(get, server, there, back);
    ASSERT_EQ(get.failure(), LinkFailure::None);
    EXPECT_EQ(get.agreedCheckType(), 3);
    const auto files = get.takeFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].bytes, bytes);

    auto missing = KermitSession::getter("NOPE", {kTiming, 3, 90, false});
    simulate(missing, server, there, back);
    EXPECT_EQ(missing.failure(), LinkFailure::PeerCancelled);
    EXPECT_EQ(missing.message(), "Error: Undefined Name");

    auto finish = KermitSession::finisher({kTiming, 3, 90, false});
    simulate(finish, server, there, back);
    EXPECT_EQ(finish.failure(), LinkFailure::None);
    EXPECT_TRUE(server.finished());
    EXPECT_EQ(server.commandsWithWrongCheck, 0);
}

TEST(CalculatorPeer, XRecvAskingWithDGetsKermitsCrcHighByteFirst)
{
    const std::string bytes = randomBytes(3000, 4);
    XModemSender sender(bytes, kTiming);
    XModemReceiver xrecv(kTiming, xmodem::Check::KermitCrc);
    Line there, back;
    std::string firstBlock;
    there.watch = [&](const std::string& b) {
        if (firstBlock.empty())
            firstBlock = b;
    };
    simulate(xrecv, sender, back, there);
    ASSERT_EQ(sender.failure(), LinkFailure::None);
    EXPECT_EQ(sender.check(), xmodem::Check::KermitCrc);
    ASSERT_EQ(firstBlock.size(), 3u + 1024 + 2);
    const auto crc = kermit::crc16(firstBlock.substr(3, 1024));
    EXPECT_EQ(firstBlock.substr(1027), std::string({char(crc >> 8), char(crc & 0xFF)}));
    EXPECT_EQ(xrecv.takeFiles().at(0).bytes, bytes);
}

// XSEND: one 1K block, then 128-byte blocks, the last padded.
class CalculatorXSend final : public LinkEngine {
public:
    explicit CalculatorXSend(const std::string& bytes)
    {
        for (std::size_t pos = 0; pos < bytes.size();) {
            const std::size_t n = pos == 0 ? 1024 : 128;
            std::string data = bytes.substr(pos, n);
            data.resize(n, xmodem::kPad);
            m_blocks.push_back(data);
            pos += n;
        }
    }
    void start() override { armTimer(10000); }
    void timeout() override { armTimer(10000); }
    void cancel() override {}
    void receive(std::string_view bytes) override
    {
        for (const char c : bytes) {
            if (c == 'C' || c == 'D')
                m_crc = c == 'C' ? 1 : 2;
            if (c == xmodem::kAck && m_next > 0 && m_next > m_blocks.size())
                return succeed();
            if (c == xmodem::kAck || (m_next == 0 && (c == 'C' || c == 'D')))
                ++m_next;
            if (c == xmodem::kAck || c == xmodem::kNak || m_next == 1)
                sendCurrent();
        }
    }

private:
    void sendCurrent()
    {
        if (m_next > m_blocks.size())
            return send(std::string(1, xmodem::kEot));
        const std::string& data = m_blocks[m_next - 1];
        const auto crc = m_crc == 1 ? xmodem::crc16(data) : kermit::crc16(data);
        send(std::string{data.size() == 1024 ? xmodem::kStx : xmodem::kSoh, char(m_next), char(255 - m_next)} +
             data + std::string{char(crc >> 8), char(crc & 0xFF)});
    }
    std::vector<std::string> m_blocks;
    std::size_t m_next = 0;
    int m_crc = 1;
};

TEST(CalculatorPeer, XSendsOneKBlockThenShortBlocksArriveWithThePaddingDropped)
{
    for (const auto request : {xmodem::Check::Crc, xmodem::Check::KermitCrc}) {
        const std::string bytes = randomBytes(1024 + 128 * 3 + 17, 5);
        CalculatorXSend xsend(bytes);
        XModemReceiver receiver(kTiming, request);
        Line there, back;
        simulate(receiver, xsend, there, back);
        ASSERT_EQ(receiver.failure(), LinkFailure::None);
        EXPECT_EQ(receiver.takeFiles().at(0).bytes, bytes);
    }
}

} // namespace
} // namespace scrivlet
