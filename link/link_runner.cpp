#include "link/link_runner.h"

#include <chrono>

namespace scrivlet {

RunOutcome runLink(ByteChannel& channel, LinkEngine& engine, const LinkRun& run)
{
    using Clock = std::chrono::steady_clock;
    auto deliver = [&] {
        for (auto& file : engine.takeFiles())
            if (run.onFile)
                run.onFile(std::move(file));
    };
    auto flush = [&] {
        const std::string out = engine.takeOutput();
        return out.empty() || channel.write(out);
    };

    engine.start();
    auto generation = engine.timerGeneration();
    auto deadline = Clock::now() + std::chrono::milliseconds(engine.timeoutMs());
    std::string inbox;
    while (!engine.finished()) {
        if (run.cancelRequested && run.cancelRequested->load())
            engine.cancel();
        if (!flush())
            return RunOutcome::ChannelFailed;
        deliver();
        if (run.progress)
            run.progress(engine);
        if (engine.finished())
            break;
        if (engine.timerGeneration() != generation) {
            generation = engine.timerGeneration();
            deadline = Clock::now() + std::chrono::milliseconds(engine.timeoutMs());
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            engine.timeout();
            continue;
        }
        inbox.clear();
        // Short waits keep a cancel prompt.
        if (!channel.read(inbox, 4096, int(std::min<long long>(left, 100))))
            return RunOutcome::ChannelFailed;
        if (!inbox.empty())
            engine.receive(inbox);
    }
    const bool written = flush();
    deliver();
    if (run.progress)
        run.progress(engine);
    if (!written)
        return RunOutcome::ChannelFailed;
    return engine.failure() == LinkFailure::None ? RunOutcome::Done : RunOutcome::EngineFailed;
}

std::string describeFailure(const LinkEngine& engine, const std::string& port, LinkTiming timing)
{
    const std::string seconds =
        std::to_string((long(timing.timeoutMs) * timing.retries + 999) / 1000) + " s";
    switch (engine.failure()) {
    case LinkFailure::None:
        return {};
    case LinkFailure::NoAnswer:
        return port + ": no answer within " + seconds + " (is the calculator in server mode?)";
    case LinkFailure::TooManyRetries:
        if (!engine.message().empty())
            return port + ": " + engine.message() + "; check whether the object arrived";
        return port + ": too many retries; the line is too noisy or the calculator stopped answering";
    case LinkFailure::PeerCancelled:
        return port + ": the other side cancelled the transfer" +
               (engine.message().empty() ? std::string() : ": " + engine.message());
    case LinkFailure::Cancelled:
        return port + ": transfer cancelled";
    case LinkFailure::Refused:
        return port + ": the calculator broke off the transfer" +
               (engine.message().empty() ? std::string() : " (" + engine.message() + ")");
    }
    return {};
}

} // namespace scrivlet
