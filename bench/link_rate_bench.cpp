// How fast a 100 KB object goes across a line held to 9,600 and 115,200 baud: our Kermit
// sender and C-Kermit's, each to gkermit, through the same relay with the same packet length
// (90) and block check (3). Prints for each: the time, the effective rate (object bytes a
// second), packets sent, packets sent again (counted on the line, the same for both), the
// longest LEN sent and the bytes put on the line.
// Usage: link_rate_bench [BAUD...]   (default 115200 9600; needs socat, gkermit, kermit)
#include "link/kermit_session.h"
#include "link/link_runner.h"
#include "link/pty_lab.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <utility>

using namespace scrivlet;
using namespace scrivlet::testing;

namespace {

constexpr std::size_t kObjectBytes = 100 * 1024;

// Kermit packets as the sender puts them on the line: MARK, LEN, SEQ… The same SEQ twice
// running is a packet sent again.
struct PacketWatch {
    long bytes = 0, packets = 0, resent = 0;
    int longest = 0;
    int at = 0; // 1 after a MARK, 2 after its LEN
    char lastSeq = 0;
    void see(const std::string& chunk)
    {
        bytes += long(chunk.size());
        for (const char c : chunk) {
            if (at == 1)
                longest = std::max(longest, static_cast<unsigned char>(c) - 32);
            else if (at == 2 && std::exchange(lastSeq, c) == c)
                ++resent;
            packets += c == '\x01';
            at = c == '\x01' ? 1 : at == 1 ? 2 : 0;
        }
    }
};

struct Figures {
    double seconds = 0;
    PacketWatch line;
    bool identical = false;
};

std::string object()
{
    std::mt19937 random(1);
    std::string bytes(kObjectBytes, '\0');
    for (char& c : bytes)
        c = char(random());
    return bytes;
}

std::string slurp(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

Figures run(int baud, bool ours)
{
    const std::string bytes = object();
    fixtures::TempDir dir;
    const auto peerDir = dir.path() / "peer";
    std::filesystem::create_directories(peerDir);
    fixtures::writeFile((dir.path() / "object.bin").string(), bytes);
    Figures figures;
    RelayDamage held{0, -1, -1, baud,
                     [&figures](const std::string& chunk) { figures.line.see(chunk); }};
    {
        Lab lab(dir.path().string(), held);
        const pid_t receiver = startProgram({"gkermit", "-i", "-P", "-q", "-e", "90", "-r"},
                                            peerDir.string(), lab.theirs());
        const auto start = std::chrono::steady_clock::now();
        if (ours) {
            auto sender =
                KermitSession::sender({{"object.bin", bytes}}, {{5000, 10}, 3, 90, false});
            runLink(lab.ours(), sender);
        } else {
            const pid_t sender = startProgram(
                {"kermit", "-Y", "-B", "-q", "-l", lab.oursPath(), "-b", "115200", "-i", "-P", "-C",
                 "set carrier-watch off,set flow none,set send packet-length 90,set block-check 3,"
                 "set window 1,set streaming off",
                 "-s", "object.bin"},
                dir.path().string());
            finishProgram(sender, 600);
        }
        finishProgram(receiver, 30);
        figures.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    } // the relay stops here
    figures.identical = slurp(peerDir / "object.bin") == bytes;
    return figures;
}

} // namespace

int main(int argc, char* argv[])
{
    std::vector<int> bauds;
    for (int i = 1; i < argc; ++i)
        bauds.push_back(std::atoi(argv[i]));
    if (bauds.empty())
        bauds = {115200, 9600};
    for (const char* program : {"socat", "gkermit", "kermit"})
        if (!installed(program)) {
            std::printf("%s is not installed\n", program);
            return 1;
        }
    for (const int baud : bauds) {
        for (const bool ours : {true, false}) {
            const Figures f = run(baud, ours);
            std::printf("%6d baud  %-22s %7.2f s  %7.0f bytes/s  packets %5ld  retries %ld  "
                        "longest LEN %d  line bytes %ld  %s\n",
                        baud, ours ? "our sender -> gkermit" : "C-Kermit -> gkermit", f.seconds,
                        double(kObjectBytes) / f.seconds, f.line.packets, f.line.resent,
                        f.line.longest, f.line.bytes, f.identical ? "identical" : "NOT IDENTICAL");
            std::fflush(stdout);
        }
    }
    return 0;
}
