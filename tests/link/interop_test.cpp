// Our engines against real Kermit and XModem programs (gkermit, C-Kermit, lrzsz) over socat's
// pseudo-terminals, directly or through a relay that damages, loses or stops the bytes.
#include "link/kermit_session.h"
#include "link/link_runner.h"
#include "link/xmodem.h"
#include "link_simulation.h"
#include "pty_lab.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

namespace scrivlet {
namespace {

using namespace testing;

constexpr LinkTiming kTiming{1000, 6};
// rx waits a second for quiet after the first EOT before its NAK: wait longer than that.
constexpr LinkTiming kXModemTiming{2000, 3};

#define REQUIRE_PROGRAMS(...)                                                                      \
    for (const char* program : {"socat", __VA_ARGS__})                                             \
        if (!installed(program))                                                                   \
            GTEST_SKIP() << program << " is not installed (Debian: ckermit, gkermit, lrzsz, socat)";

const std::map<std::string, std::string>& samples()
{
    static const std::map<std::string, std::string> files = {
        {"empty.bin", ""}, {"one.bin", "\x1A"}, {"all.bin", allByteValues()}, {"big.bin", randomBytes(100 * 1024)}};
    return files;
}

std::string slurp(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeSamples(const std::filesystem::path& folder)
{
    for (const auto& [name, bytes] : samples())
        fixtures::writeFile((folder / name).string(), bytes);
}

std::vector<std::string> ckermit(const std::string& line, std::vector<std::string> action)
{
    std::vector<std::string> argv = {"kermit", "-Y", "-B", "-q", "-l", line, "-b", "115200", "-i", "-P", "-C",
                                     "set carrier-watch off,set flow none,set file names literal"};
    argv.insert(argv.end(), action.begin(), action.end());
    return argv;
}

struct Outcome {
    RunOutcome run;
    LinkFailure failure;
    std::string message;
    std::vector<ReceivedFile> files;
};

Outcome runOurs(ByteChannel& channel, LinkEngine& engine, std::atomic<bool>* cancel = nullptr,
                std::uint64_t cancelAfter = 0)
{
    Outcome outcome{};
    LinkRun run;
    run.onFile = [&](ReceivedFile&& f) { outcome.files.push_back(std::move(f)); };
    run.cancelRequested = cancel;
    run.progress = [&](const LinkEngine& e) {
        if (cancel && e.payloadBytes() > cancelAfter)
            *cancel = true;
    };
    outcome.run = runLink(channel, engine, run);
    outcome.failure = engine.failure();
    outcome.message = engine.message();
    return outcome;
}

std::vector<OutgoingFile> outgoingSamples()
{
    std::vector<OutgoingFile> files;
    for (const auto& [name, bytes] : samples())
        files.push_back({name, bytes});
    return files;
}

// Keeps a copy of what is written to the line.
struct Recorded final : ByteChannel {
    explicit Recorded(ByteChannel& line) : line(line) {}
    bool write(std::string_view bytes) override { return written.append(bytes), line.write(bytes); }
    bool read(std::string& out, std::size_t max, int ms) override
    {
        return line.read(out, max, ms);
    }
    std::string error() const override { return line.error(); }
    ByteChannel& line;
    std::string written;
};

// Both offer long packets: they get most control characters bare (here STX) and the files
// still arrive byte for byte.
TEST(Interop, OurKermitSenderToGKermitAndCKermitReceivers)
{
    REQUIRE_PROGRAMS("gkermit", "kermit");
    for (const bool gk : {true, false}) {
        fixtures::TempDir dir;
        Lab lab(dir.path());
        const pid_t peer = gk ? startProgram({"gkermit", "-i", "-P", "-q", "-r"}, dir.path(), lab.theirs())
                              : startProgram(ckermit(lab.theirs(), {"-r"}), dir.path());
        auto sender = KermitSession::sender(outgoingSamples(), {kTiming, 3, 90, false});
        Recorded line(lab.ours());
        EXPECT_EQ(runOurs(line, sender).run, RunOutcome::Done);
        EXPECT_EQ(finishProgram(peer, 10), 0);
        for (const auto& [name, bytes] : samples())
            EXPECT_TRUE(slurp(std::filesystem::path(dir.path()) / name) == bytes) << name << (gk ? " gkermit" : " C-Kermit");
        EXPECT_NE(line.written.find('\x02'), std::string::npos);
    }
}

TEST(Interop, GKermitAndCKermitSendersToOurReceiver)
{
    REQUIRE_PROGRAMS("gkermit", "kermit");
    for (const bool gk : {true, false}) {
        fixtures::TempDir dir;
        writeSamples(dir.path());
        Lab lab(dir.path());
        std::vector<std::string> names = {"-s"};
        for (const auto& [name, bytes] : samples())
            names.push_back(name);
        names.insert(names.begin(), {"gkermit", "-i", "-P", "-q"});
        const pid_t peer = gk ? startProgram(names, dir.path(), lab.theirs())
                              : startProgram(ckermit(lab.theirs(), {names.begin() + 4, names.end()}), dir.path());
        auto receiver = KermitSession::receiver({kTiming, 3, 90, false});
        const Outcome outcome = runOurs(lab.ours(), receiver);
        EXPECT_EQ(outcome.run, RunOutcome::Done);
        EXPECT_EQ(finishProgram(peer, 10), 0);
        ASSERT_EQ(outcome.files.size(), samples().size());
        for (const auto& file : outcome.files) {
            const auto sample = samples().find(file.name);
            ASSERT_NE(sample, samples().end()) << file.name;
            EXPECT_TRUE(file.bytes == sample->second) << file.name << (gk ? " gkermit" : " C-Kermit");
        }
    }
}

TEST(Interop, OurClientGetsSendsAndFinishesWithCKermitServer)
{
    REQUIRE_PROGRAMS("kermit");
    fixtures::TempDir dir;
    writeSamples(dir.path());
    Lab lab(dir.path());
    const pid_t server = startProgram(ckermit(lab.theirs(), {"-x"}), dir.path());
    const KermitOptions options{kTiming, 3, 90, false};
    auto get = KermitSession::getter("big.bin", options);
    const Outcome got = runOurs(lab.ours(), get);
    ASSERT_EQ(got.files.size(), 1u);
    EXPECT_TRUE(got.files[0].bytes == samples().at("big.bin"));
    auto missing = KermitSession::getter("nothing.bin", options);
    const Outcome none = runOurs(lab.ours(), missing);
    EXPECT_EQ(none.failure, LinkFailure::PeerCancelled);
    EXPECT_NE(none.message.find("not found"), std::string::npos) << none.message;
    auto send = KermitSession::sender({{"sent.bin", allByteValues()}}, options);
    EXPECT_EQ(runOurs(lab.ours(), send).run, RunOutcome::Done);
    EXPECT_EQ(slurp(std::filesystem::path(dir.path()) / "sent.bin"), allByteValues());
    auto finish = KermitSession::finisher(options);
    EXPECT_EQ(runOurs(lab.ours(), finish).run, RunOutcome::Done);
    EXPECT_EQ(finishProgram(server, 5), 0);
}

TEST(Interop, XModemWithLrzsz)
{
    REQUIRE_PROGRAMS("sx", "rx");
    for (const auto& [name, bytes] : samples()) {
        fixtures::TempDir dir;
        writeSamples(dir.path());
        {
            Lab lab(dir.path());
            // sx pads its last block with 1A; a file of one 1A byte cannot survive that.
            const pid_t sx = startProgram({"sx", "-k", "-b", name}, dir.path(), lab.theirs());
            XModemReceiver receiver(kXModemTiming);
            const Outcome outcome = runOurs(lab.ours(), receiver);
            EXPECT_EQ(finishProgram(sx, 10), 0);
            ASSERT_EQ(outcome.files.size(), 1u);
            if (name != "one.bin") {
                EXPECT_TRUE(outcome.files[0].bytes == bytes) << "sx " << name;
            }
        }
        if (bytes.empty())
            continue; // rx takes no empty transfer
        Lab lab(dir.path());
        const pid_t rx = startProgram({"rx", "-c", "-b", "out.bin"}, dir.path(), lab.theirs());
        std::this_thread::sleep_for(std::chrono::milliseconds(500)); // rx drops input while it starts
        XModemSender sender(bytes, kXModemTiming);
        // rx acknowledges our EOT and flushes its terminal as it leaves, which on a
        // pseudo-terminal can throw the ACK away before socat reads it: we then say just that.
        const Outcome sent = runOurs(lab.ours(), sender);
        if (sent.run != RunOutcome::Done) {
            EXPECT_EQ(sent.message, xmodem::kEndUnconfirmed) << name;
        }
        EXPECT_EQ(finishProgram(rx, 10), 0) << slurp(std::filesystem::path(dir.path()) / "rx.log");
        const std::string got = slurp(std::filesystem::path(dir.path()) / "out.bin");
        EXPECT_TRUE(got.substr(0, bytes.size()) == bytes) << "rx " << name;
        EXPECT_EQ(got.find_first_not_of('\x1A', bytes.size()), std::string::npos); // only padding
    }
}

// Our sender through a relay: a damaged line with one lost chunk is repaired; when the other
// side stops answering, we give up with no file on our side, and rx removes its part on our CAN.
// (gkermit keeps the part it has when the line stops: that case is left out.)
void sendThroughRelay(bool kermit, RelayDamage damage)
{
    const std::string bytes = samples().at("big.bin");
    fixtures::TempDir dir;
    Lab lab(dir.path(), damage);
    const pid_t peer = kermit ? startProgram({"gkermit", "-i", "-P", "-q", "-b", "1", "-r"}, dir.path(), lab.theirs())
                              : startProgram({"rx", "-c", "-b", "-t", "10", "out.bin"}, dir.path(), lab.theirs());
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // rx drops input while it starts
    std::unique_ptr<LinkEngine> sender;
    // Through damage, a timeout beyond rx's wait and drain before its NAK (2 s) keeps the two
    // from crossing.
    const LinkTiming xmodemTiming = damage.silentAfter < 0 ? LinkTiming{3000, 10} : kXModemTiming;
    if (kermit)
        sender = std::make_unique<KermitSession>(KermitSession::sender({{"big.bin", bytes}}, {kTiming, 3, 90, false}));
    else
        sender = std::make_unique<XModemSender>(bytes, xmodemTiming);
    const Outcome outcome = runOurs(lab.ours(), *sender);
    const int status = finishProgram(peer, 8);
    const auto received = std::filesystem::path(dir.path()) / (kermit ? "big.bin" : "out.bin");
    if (damage.silentAfter < 0) {
        EXPECT_TRUE(outcome.run == RunOutcome::Done ||
                    (!kermit && outcome.message == xmodem::kEndUnconfirmed))
            << outcome.message;
        EXPECT_EQ(status, 0);
        EXPECT_GT(sender->retries(), 0u);
        EXPECT_TRUE(slurp(received).substr(0, bytes.size()) == bytes);
    } else {
        EXPECT_EQ(outcome.failure, LinkFailure::TooManyRetries);
        EXPECT_TRUE(outcome.files.empty());
        if (!kermit) {
            EXPECT_NE(status, 0);
            EXPECT_FALSE(std::filesystem::exists(received)) << "a partial file was left";
        }
    }
}

TEST(Interop, KermitThroughADamagedLineIsRepaired)
{
    REQUIRE_PROGRAMS("gkermit");
    sendThroughRelay(true, {1.0 / 10000, 5, -1, 0});
}

TEST(Interop, KermitGivesUpWhenTheOtherSideStopsAnswering)
{
    REQUIRE_PROGRAMS("gkermit");
    sendThroughRelay(true, {0, -1, 30000, 0});
}

TEST(Interop, XModemThroughADamagedLineIsRepaired)
{
    REQUIRE_PROGRAMS("rx");
    sendThroughRelay(false, {1.0 / 30000, 5, -1, 0}); // rx waits a second of quiet after each error
}

TEST(Interop, XModemGivesUpWhenTheOtherSideStopsAnsweringAndRxKeepsNothing)
{
    REQUIRE_PROGRAMS("rx");
    sendThroughRelay(false, {0, -1, 30000, 0});
}

TEST(Interop, CancelMidwayStopsBothSidesAndLeavesNoFile)
{
    REQUIRE_PROGRAMS("gkermit");
    const std::string bytes = samples().at("big.bin");
    for (const bool weSend : {true, false}) {
        fixtures::TempDir dir;
        writeSamples(dir.path());
        Lab lab(dir.path(), RelayDamage{0, -1, -1, 115200});
        const std::filesystem::path peerDir = std::filesystem::path(dir.path()) / "peer";
        std::filesystem::create_directories(peerDir);
        const pid_t peer = weSend ? startProgram({"gkermit", "-i", "-P", "-q", "-r"}, peerDir.string(), lab.theirs())
                                  : startProgram({"gkermit", "-i", "-P", "-q", "-s", "../big.bin"}, peerDir.string(), lab.theirs());
        std::atomic<bool> cancel{false};
        std::unique_ptr<LinkEngine> engine;
        if (weSend)
            engine = std::make_unique<KermitSession>(KermitSession::sender({{"big.bin", bytes}}, {kTiming, 3, 90, false}));
        else
            engine = std::make_unique<KermitSession>(KermitSession::receiver({kTiming, 3, 90, false}));
        const Outcome outcome = runOurs(lab.ours(), *engine, &cancel, 20000);
        EXPECT_EQ(outcome.failure, LinkFailure::Cancelled);
        EXPECT_TRUE(outcome.files.empty());
        const int status = finishProgram(peer, 10);
        if (!weSend) { // our receiver's E stops gkermit; our sender's Z D and B end its batch
            EXPECT_NE(status, 0);
        }
        EXPECT_FALSE(std::filesystem::exists(peerDir / "big.bin"));
    }
}

} // namespace
} // namespace scrivlet
