#pragma once

#include "link/byte_channel.h"
#include "link/link_engine.h"

#include <atomic>
#include <functional>

namespace scrivlet {

// Runs an engine over a channel with the steady clock until it finishes, the channel fails or
// cancelRequested becomes true (then the engine cancels and tells the other side). Each file
// that arrives goes to onFile at once; progress is called after every step.
struct LinkRun {
    std::function<void(ReceivedFile&&)> onFile;
    std::function<void(const LinkEngine&)> progress;
    const std::atomic<bool>* cancelRequested = nullptr;
};

enum class RunOutcome { Done, EngineFailed, ChannelFailed };

RunOutcome runLink(ByteChannel& channel, LinkEngine& engine, const LinkRun& run = {});

// One line for an engine's failure on a port, e.g.
// "/dev/ttyUSB0: no answer within 50 s (is the calculator in server mode?)".
std::string describeFailure(const LinkEngine& engine, const std::string& port, LinkTiming timing);

} // namespace scrivlet
