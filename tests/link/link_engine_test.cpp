#include "link/kermit_packet.h"
#include "link/kermit_session.h"
#include "link/xmodem.h"
#include "link_simulation.h"

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

using testing::allByteValues;
using testing::Line;
using testing::randomBytes;
using testing::simulate;

const std::vector<std::string> kPayloads = {"", "x", allByteValues(), randomBytes(100 * 1024)};
constexpr LinkTiming kTiming{1000, 10};

std::unique_ptr<LinkEngine> makeSender(bool kermit, const std::string& bytes, KermitOptions k = {},
                                       bool oneK = true)
{
    k.timing = kTiming;
    if (kermit)
        return std::make_unique<KermitSession>(KermitSession::sender({{"PRG", bytes}}, k));
    return std::make_unique<XModemSender>(bytes, kTiming, oneK);
}

std::unique_ptr<LinkEngine> makeReceiver(bool kermit, KermitOptions k = {},
                                         xmodem::Check request = xmodem::Check::Crc)
{
    k.timing = kTiming;
    if (kermit)
        return std::make_unique<KermitSession>(KermitSession::receiver(k));
    return std::make_unique<XModemReceiver>(kTiming, request);
}

TEST(LinkEngines, EveryPayloadArrivesByteForByteWithEveryCheck)
{
    for (const auto& bytes : kPayloads) {
        for (int check = 1; check <= 3; ++check) {
            for (const bool eightBit : {false, true}) {
                KermitOptions options{{}, check, 90, eightBit};
                auto sender = makeSender(true, bytes, options);
                auto receiver = makeReceiver(true, options);
                Line there, back;
                simulate(*sender, *receiver, there, back);
                ASSERT_EQ(sender->failure(), LinkFailure::None) << check << eightBit;
                const auto files = receiver->takeFiles();
                ASSERT_EQ(files.size(), 1u);
                EXPECT_EQ(files[0].name, "PRG");
                EXPECT_EQ(files[0].bytes, bytes) << bytes.size() << " bytes, check " << check;
                EXPECT_EQ(static_cast<KermitSession&>(*sender).agreedCheckType(), check);
            }
        }
        for (const auto request : {xmodem::Check::Sum, xmodem::Check::Crc, xmodem::Check::KermitCrc}) {
            auto sender = makeSender(false, bytes);
            auto receiver = makeReceiver(false, {}, request);
            Line there, back;
            simulate(*receiver, *sender, back, there);
            ASSERT_EQ(sender->failure(), LinkFailure::None);
            const auto files = receiver->takeFiles();
            ASSERT_EQ(files.size(), 1u);
            EXPECT_EQ(files[0].bytes, bytes) << bytes.size() << " bytes, request " << int(request);
        }
    }
}

TEST(LinkEngines, DamageAndLossAreRepairedOrEndTheTransferWithNothingDelivered)
{
    const std::string bytes = randomBytes(20 * 1024, 3);
    for (const bool kermit : {true, false}) {
        for (unsigned seed = 1; seed <= 6; ++seed) {
            SCOPED_TRACE(std::string(kermit ? "kermit" : "xmodem") + " seed " + std::to_string(seed));
            auto sender = makeSender(kermit, bytes);
            auto receiver = makeReceiver(kermit);
            Line there, back;
            there.random.seed(seed);
            back.random.seed(seed + 100);
            there.corruptRate = back.corruptRate = 1.0 / 3000;
            there.dropWrite = int(seed * 3);
            back.dropWrite = int(seed * 5);
            simulate(*sender, *receiver, there, back);
            EXPECT_EQ(sender->failure(), LinkFailure::None);
            EXPECT_GT(sender->retries() + receiver->retries(), 0u);
            const auto files = receiver->takeFiles();
            ASSERT_EQ(files.size(), 1u);
            EXPECT_EQ(files[0].bytes, bytes);
        }
        // The line dies midway: both sides give up and nothing arrives.
        auto sender = makeSender(kermit, bytes);
        auto receiver = makeReceiver(kermit);
        Line there, back;
        there.silentAfter = 5000;
        simulate(*sender, *receiver, there, back);
        EXPECT_EQ(sender->failure(), LinkFailure::TooManyRetries);
        EXPECT_EQ(receiver->failure(), LinkFailure::TooManyRetries);
        EXPECT_TRUE(receiver->takeFiles().empty());
        // Nobody there at all.
        auto lonely = makeSender(kermit, bytes);
        Line none, nothing;
        none.silentAfter = nothing.silentAfter = 0;
        auto deaf = makeReceiver(kermit);
        simulate(*lonely, *deaf, none, nothing);
        EXPECT_EQ(lonely->failure(), LinkFailure::NoAnswer);
    }
}

TEST(LinkEngines, CancelMidwayTellsTheOtherSideAndDeliversNothing)
{
    for (const bool kermit : {true, false}) {
        for (const bool senderCancels : {true, false}) {
            auto sender = makeSender(kermit, randomBytes(50 * 1024));
            auto receiver = makeReceiver(kermit);
            LinkEngine& canceller = senderCancels ? *sender : *receiver;
            Line there, back;
            simulate(*sender, *receiver, there, back, [&] {
                if (!canceller.finished() && sender->payloadBytes() > 10 * 1024)
                    canceller.cancel();
            });
            EXPECT_EQ(canceller.failure(), LinkFailure::Cancelled);
            // A Kermit sender ends the file with Z D: its receiver finishes, keeping nothing.
            EXPECT_EQ((senderCancels ? *receiver : *sender).failure(),
                      kermit && senderCancels ? LinkFailure::None : LinkFailure::PeerCancelled);
            EXPECT_TRUE(receiver->takeFiles().empty());
        }
    }
}

TEST(KermitPackets, PrefixingRoundTripsAndRepeatCountsFromThePeerAreUnderstood)
{
    const std::string bytes = allByteValues() + "##&&~~";
    for (const kermit::Prefixing p :
         {kermit::Prefixing{'#', 0, 0}, kermit::Prefixing{'#', '&', '~'},
          kermit::Prefixing{'#', 0, '~', true}}) {
        std::string encoded;
        ASSERT_EQ(kermit::encode(bytes, 0, 10000, p, encoded), bytes.size());
        EXPECT_EQ(kermit::decode(encoded, p), bytes);
    }
    EXPECT_EQ(kermit::decode("~(A#~~%#J", {'#', 0, '~'}), std::string(8, 'A') + "~" + std::string(5, '\n'));
    EXPECT_EQ(kermit::decode("ab#", {'#', 0, 0}), std::nullopt);
    // A packet cut short by a new MARK is dropped and the next one found.
    std::string line = std::string("\x01+") + kermit::frame({2, 'D', "abc"}, 3);
    EXPECT_EQ(kermit::parse(line, 3).kind, kermit::Parsed::Kind::Bad);
    const auto next = kermit::parse(line, 3);
    EXPECT_EQ(next.kind, kermit::Parsed::Kind::Good);
    EXPECT_EQ(next.packet.data, "abc");
}

} // namespace
} // namespace scrivlet
