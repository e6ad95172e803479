#pragma once

#include "link/link_engine.h"

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <utility>

namespace scrivlet::testing {

// What the line does to the bytes going one way: damage at a rate, lose the n-th write, or go
// silent after a number of bytes.
struct Line {
    double corruptRate = 0;
    int dropWrite = -1;
    long silentAfter = -1;
    std::mt19937 random{7};
    int writes = 0;
    long carried = 0;
    std::function<void(const std::string&)> watch; // sees every write before damage
    std::string stale; // waits on the line before anything is sent

    std::string carry(std::string bytes)
    {
        if (watch)
            watch(bytes);
        bytes.insert(0, std::exchange(stale, {}));
        if (writes++ == dropWrite)
            return {};
        if (silentAfter >= 0 && carried + long(bytes.size()) > silentAfter)
            bytes.resize(std::size_t(std::max(0L, silentAfter - carried)));
        carried += long(bytes.size());
        std::uniform_real_distribution<double> chance(0, 1);
        for (char& c : bytes)
            if (corruptRate > 0 && chance(random) < corruptRate)
                c = char(c ^ (1 << (random() % 8)));
        return bytes;
    }
};

// Runs two engines against each other on a virtual clock until both finish or an hour of
// virtual time passes. a starts first. Returns the virtual milliseconds taken.
inline long simulate(LinkEngine& a, LinkEngine& b, Line& aToB, Line& bToA,
                     std::function<void()> eachStep = {})
{
    long now = 0;
    long deadlineA = 0, deadlineB = 0;
    auto genA = a.timerGeneration(), genB = b.timerGeneration();
    a.start();
    b.start();
    for (int step = 0; step < 10'000'000 && now < 3'600'000; ++step) {
        if (eachStep)
            eachStep();
        if (a.timerGeneration() != genA)
            genA = a.timerGeneration(), deadlineA = now + a.timeoutMs();
        if (b.timerGeneration() != genB)
            genB = b.timerGeneration(), deadlineB = now + b.timeoutMs();
        const std::string toB = aToB.carry(a.takeOutput());
        const std::string toA = bToA.carry(b.takeOutput());
        if (!toB.empty() && !b.finished())
            b.receive(toB);
        if (!toA.empty() && !a.finished())
            a.receive(toA);
        if (!toA.empty() || !toB.empty() || a.hasOutput() || b.hasOutput())
            continue;
        if (a.finished() && b.finished())
            break;
        if (a.timerGeneration() != genA || b.timerGeneration() != genB)
            continue;
        long next = a.finished() ? deadlineB : b.finished() ? deadlineA : std::min(deadlineA, deadlineB);
        now = std::max(now, next);
        if (!a.finished() && deadlineA <= now)
            a.timeout(), ++genA, deadlineA = now + a.timeoutMs();
        if (!b.finished() && deadlineB <= now)
            b.timeout(), ++genB, deadlineB = now + b.timeoutMs();
        genA = a.timerGeneration(), genB = b.timerGeneration();
    }
    return now;
}

inline std::string allByteValues()
{
    std::string s;
    for (int i = 0; i < 256; ++i)
        s += char(i);
    return s;
}

inline std::string randomBytes(std::size_t n, unsigned seed = 1)
{
    std::mt19937 random(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = char(random());
    return s;
}

} // namespace scrivlet::testing
