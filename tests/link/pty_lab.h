#pragma once

// Pseudo-terminal pairs made by socat, peer programs started on them, and a relay that joins
// two pairs and can damage, lose, stop or slow the bytes between them.
#include "link/serial_channel.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace scrivlet::testing {

inline bool installed(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= dirs.size();) {
        const auto end = std::min(dirs.find(':', start), dirs.size());
        if (::access((dirs.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// Starts argv in folder; with stdioLine its standard input and output are that line.
inline pid_t startProgram(const std::vector<std::string>& argv, const std::string& folder,
                          const std::string& stdioLine = {})
{
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    if (::chdir(folder.c_str()) != 0)
        ::_exit(127);
    if (!stdioLine.empty()) {
        const int fd = ::open(stdioLine.c_str(), O_RDWR | O_NOCTTY);
        ::dup2(fd, 0);
        ::dup2(fd, 1);
    }
    // Its messages go to a file: rx gives up when its standard error is /dev/null.
    const int log = ::open((argv[0] + ".log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    ::dup2(log, 2);
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
}

// The program's exit status, or -1 when it had to be stopped after the given time.
inline int finishProgram(pid_t pid, int seconds)
{
    int status = 0;
    for (int waited = 0; waited < seconds * 50; ++waited) {
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

// Two joined pseudo-terminals, ours and theirs, under folder.
class PtyPair {
public:
    PtyPair(const std::string& folder, const std::string& name)
        : ours(folder + "/" + name + "-ours"), theirs(folder + "/" + name + "-theirs")
    {
        m_pid = startProgram({"socat", "-t", "5", "pty,raw,echo=0,link=" + ours, "pty,raw,echo=0,link=" + theirs}, folder);
        for (int i = 0; i < 200 && !(std::filesystem::exists(ours) && std::filesystem::exists(theirs)); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~PtyPair()
    {
        ::kill(m_pid, SIGTERM);
        finishProgram(m_pid, 2);
    }
    std::string ours, theirs;

private:
    pid_t m_pid;
};

struct RelayDamage {
    double corruptRate = 0;  // chance per byte of one flipped bit
    int dropChunk = -1;      // the n-th read from our side is lost
    long silentAfter = -1;   // bytes from our side after which the other stops answering
    int baud = 0;            // holds each direction to this rate (10 bits a byte), 0 for no limit
    std::function<void(const std::string&)> watch = {}; // sees what comes from our side, undamaged
};

// Carries bytes between the far end of one pair and the near end of another.
class Relay {
public:
    Relay(const std::string& left, const std::string& right, RelayDamage damage) : m_damage(damage)
    {
        std::string error;
        m_left = SerialChannel::open(left, 115200, error);
        m_right = SerialChannel::open(right, 115200, error);
        m_threads.emplace_back([this] { pump(*m_left, *m_right, true); });
        m_threads.emplace_back([this] { pump(*m_right, *m_left, false); });
    }
    long carried() const { return m_carried; } // bytes from our side
    long marks() const { return m_marks; }     // 01 bytes from our side: Kermit packets sent
    ~Relay()
    {
        m_stop = true;
        for (auto& t : m_threads)
            t.join();
    }

private:
    void pump(SerialChannel& from, SerialChannel& to, bool fromOurs)
    {
        std::mt19937 random(fromOurs ? 11 : 12);
        std::uniform_real_distribution<double> chance(0, 1);
        auto free = std::chrono::steady_clock::now();
        int chunks = 0;
        while (!m_stop) {
            std::string bytes;
            from.read(bytes, 512, 20);
            if (bytes.empty())
                continue;
            if (fromOurs && chunks++ == m_damage.dropChunk)
                continue;
            if (fromOurs) {
                m_carried += long(bytes.size());
                m_marks += long(std::count(bytes.begin(), bytes.end(), '\x01'));
                if (m_damage.watch)
                    m_damage.watch(bytes);
            }
            if (!fromOurs && m_damage.silentAfter >= 0 && m_carried > m_damage.silentAfter)
                continue;
            for (char& c : bytes)
                if (m_damage.corruptRate > 0 && chance(random) < m_damage.corruptRate)
                    c = char(c ^ (1 << (random() % 8)));
            if (m_damage.baud > 0) {
                free = std::max(free, std::chrono::steady_clock::now()) +
                       std::chrono::microseconds(long(bytes.size()) * 10'000'000 / m_damage.baud);
                std::this_thread::sleep_until(free);
            }
            to.write(bytes);
        }
    }
    RelayDamage m_damage;
    std::unique_ptr<SerialChannel> m_left, m_right;
    std::atomic<bool> m_stop{false};
    std::atomic<long> m_carried{0};
    std::atomic<long> m_marks{0};
    std::vector<std::thread> m_threads;
};

// Our end and theirs, joined directly or through a relay.
class Lab {
public:
    Lab(const std::string& folder, std::optional<RelayDamage> damage = std::nullopt)
        : m_near(folder, "near")
    {
        std::string error;
        m_channel = SerialChannel::open(m_near.ours, 115200, error); // open before the peer talks
        if (!damage)
            return;
        m_far = std::make_unique<PtyPair>(folder, "far");
        m_relay = std::make_unique<Relay>(m_near.theirs, m_far->ours, *damage);
    }
    SerialChannel& ours() const { return *m_channel; }
    const std::string& oursPath() const { return m_near.ours; }
    const Relay* relay() const { return m_relay.get(); }
    const std::string& theirs() const { return m_far ? m_far->theirs : m_near.theirs; }

private:
    PtyPair m_near;
    std::unique_ptr<SerialChannel> m_channel;
    std::unique_ptr<PtyPair> m_far;
    std::unique_ptr<Relay> m_relay;
};

} // namespace scrivlet::testing
