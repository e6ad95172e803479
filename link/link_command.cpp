#include "link/link_command.h"

#include "common/file_io.h"
#include "link/kermit_session.h"
#include "link/link_runner.h"
#include "link/serial_channel.h"
#include "link/xmodem.h"

#include <atomic>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace scrivlet {
namespace {

constexpr const char* kUsage =
    "usage: vantor-scrivlet --send FILE... --port DEV [--speed N] [--protocol kermit|xmodem]\n"
    "       vantor-scrivlet --get NAME --port DEV [-o FILE] [--speed N] [--protocol kermit|xmodem]\n"
    "       options: [--timeout SECONDS] [--retries N]\n";

struct Request {
    enum class Mode { None, Send, Get } mode = Mode::None;
    std::vector<std::string> files;
    std::string remoteName;
    std::string port;
    std::string output;
    int speed = 9600;
    bool xmodem = false;
    LinkTiming timing{5000, 10};
    std::string error;
};

bool parseNumber(const std::string& text, int low, int high, int& value)
{
    try {
        std::size_t used = 0;
        const int v = std::stoi(text, &used);
        if (used != text.size() || v < low || v > high)
            return false;
        value = v;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

Request parseRequest(const std::vector<std::string>& arguments)
{
    Request r;
    for (std::size_t i = 0; i < arguments.size() && r.error.empty(); ++i) {
        const std::string& a = arguments[i];
        const auto value = [&]() -> std::string {
            if (i + 1 < arguments.size())
                return arguments[++i];
            r.error = a + " needs a value";
            return {};
        };
        if (a == "--send" || a == "--get") {
            if (r.mode != Request::Mode::None)
                r.error = "give one of --send and --get, once";
            r.mode = a == "--send" ? Request::Mode::Send : Request::Mode::Get;
            if (r.mode == Request::Mode::Get)
                r.remoteName = value();
        } else if (a == "--port") {
            r.port = value();
        } else if (a == "-o") {
            r.output = value();
        } else if (a == "--speed") {
            if (const auto v = value(); r.error.empty() && !parseNumber(v, 1, 4000000, r.speed))
                r.error = "--speed needs a number of baud";
        } else if (a == "--timeout") {
            int seconds = 0;
            if (const auto v = value(); r.error.empty() && !parseNumber(v, 1, 300, seconds))
                r.error = "--timeout needs a number of seconds from 1 to 300";
            r.timing.timeoutMs = seconds * 1000;
        } else if (a == "--retries") {
            if (const auto v = value(); r.error.empty() && !parseNumber(v, 1, 100, r.timing.retries))
                r.error = "--retries needs a number from 1 to 100";
        } else if (a == "--protocol") {
            const auto v = value();
            if (v == "xmodem" || v == "kermit")
                r.xmodem = v == "xmodem";
            else if (r.error.empty())
                r.error = "--protocol is kermit or xmodem";
        } else if (a.size() > 1 && a[0] == '-') {
            r.error = "unknown option " + a;
        } else if (r.mode == Request::Mode::Send) {
            r.files.push_back(a);
        } else {
            r.error = "unexpected argument " + a;
        }
    }
    if (!r.error.empty())
        return r;
    if (r.port.empty())
        r.error = "--port DEV is needed (for example --port /dev/ttyUSB0)";
    else if (r.mode == Request::Mode::Send && r.files.empty())
        r.error = "--send needs at least one file";
    else if (r.mode == Request::Mode::Send && r.xmodem && r.files.size() > 1)
        r.error = "XModem sends one file at a time";
    else if (r.mode == Request::Mode::Send && !r.output.empty())
        r.error = "-o goes with --get";
    return r;
}

std::atomic<bool> g_interrupted{false};

extern "C" void onInterrupt(int) { g_interrupted = true; }

// A name from the other side, made safe to use in the current folder.
std::string localName(const std::string& remote)
{
    std::string name = remote.substr(remote.find_last_of("/\\") == std::string::npos ? 0 : remote.find_last_of("/\\") + 1);
    if (name.empty() || name == "." || name == ".." || name.find('\0') != std::string::npos)
        return "received";
    return name;
}

// Asks at the terminal; without one the answer is no.
bool mayReplace(const std::string& path, std::ostream& err)
{
    if (!std::filesystem::exists(path))
        return true;
    if (!::isatty(STDIN_FILENO)) {
        err << "vantor-scrivlet: " << path << " exists and was not replaced (use -o to choose another name)\n";
        return false;
    }
    err << path << " exists. Replace it? [y/N] " << std::flush;
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "y" || answer == "Y" || answer == "yes";
}

} // namespace

std::optional<int> runLinkCommand(const std::vector<std::string>& arguments, std::ostream& out,
                                  std::ostream& err)
{
    const bool asked = std::any_of(arguments.begin(), arguments.end(),
                                   [](const std::string& a) { return a == "--send" || a == "--get"; });
    if (!asked)
        return std::nullopt;
    const Request r = parseRequest(arguments);
    if (!r.error.empty()) {
        err << "vantor-scrivlet: " << r.error << '\n' << kUsage;
        return 2;
    }

    std::vector<OutgoingFile> outgoing;
    for (const auto& path : r.files) {
        auto read = readWholeFile(path);
        if (!read.ok) {
            err << "vantor-scrivlet: " << path << ": " << read.reason << '\n';
            return 1;
        }
        outgoing.push_back({std::filesystem::path(path).filename().string(), std::move(read.bytes)});
    }
    const std::string firstTarget = r.output.empty() ? localName(r.remoteName) : r.output;
    if (r.mode == Request::Mode::Get && !mayReplace(firstTarget, err))
        return 1;

    std::string openError;
    auto channel = SerialChannel::open(r.port, r.speed, openError);
    if (!channel) {
        err << "vantor-scrivlet: " << openError << '\n';
        return 1;
    }

    std::unique_ptr<LinkEngine> engine;
    const KermitOptions kermit{r.timing, 3, 90, false};
    if (r.mode == Request::Mode::Send)
        engine = r.xmodem ? std::unique_ptr<LinkEngine>(std::make_unique<XModemSender>(outgoing[0].bytes, r.timing))
                          : std::make_unique<KermitSession>(KermitSession::sender(std::move(outgoing), kermit));
    else
        engine = r.xmodem ? std::unique_ptr<LinkEngine>(std::make_unique<XModemReceiver>(r.timing))
                          : std::make_unique<KermitSession>(KermitSession::getter(r.remoteName, kermit));

    bool writeFailed = false;
    bool first = true;
    LinkRun run;
    run.cancelRequested = &g_interrupted;
    run.onFile = [&](ReceivedFile&& file) {
        const std::string target = first ? firstTarget : localName(file.name);
        const bool check = !first; // the first target was asked about before the transfer
        first = false;
        if (check && !mayReplace(target, err)) {
            writeFailed = true;
            return;
        }
        const auto written = writeFileAtomically(target, file.bytes);
        if (!written.ok) {
            err << "vantor-scrivlet: " << target << ": " << written.reason << '\n';
            writeFailed = true;
            return;
        }
        out << "received " << target << " (" << file.bytes.size() << " bytes)\n";
    };
    g_interrupted = false;
    const auto previous = std::signal(SIGINT, onInterrupt);
    const RunOutcome outcome = runLink(*channel, *engine, run);
    std::signal(SIGINT, previous);

    if (outcome == RunOutcome::ChannelFailed) {
        err << "vantor-scrivlet: " << channel->error() << '\n';
        return 1;
    }
    if (outcome == RunOutcome::EngineFailed) {
        err << "vantor-scrivlet: " << describeFailure(*engine, r.port, r.timing) << '\n';
        return 1;
    }
    if (r.mode == Request::Mode::Send)
        for (const auto& path : r.files)
            out << "sent " << path << '\n';
    return writeFailed ? 1 : 0;
}

std::optional<int> runLinkCommand(const std::vector<std::string>& arguments)
{
    return runLinkCommand(arguments, std::cout, std::cerr);
}

} // namespace scrivlet
