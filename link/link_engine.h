#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace scrivlet {

// How a transfer ended when it did not end well.
enum class LinkFailure {
    None,
    NoAnswer,       // the other side never answered within the retries
    TooManyRetries, // it answered, then the retries ran out on one packet
    PeerCancelled,  // the other side sent an error or cancel; message() holds its text
    Cancelled,      // cancel() was called here
    Refused,        // the other side broke the protocol or refused the request
};

// A file that arrived whole. The engines never write files: the caller does, all at once.
struct ReceivedFile {
    std::string name; // as the sender named it (may be empty for XModem)
    std::string bytes;
};

// A protocol engine: a state machine fed bytes and time. It owns no port and no clock. The
// caller calls start(), then repeatedly sends takeOutput() to the other side, feeds what comes
// back to receive(), and calls timeout() when timeoutMs() passed since the timer was last
// armed (timerGeneration() changes each time it is armed) with no call of receive() that made
// progress. finished() ends the loop; failure() says how.
class LinkEngine {
public:
    virtual ~LinkEngine() = default;

    virtual void start() = 0;
    virtual void receive(std::string_view bytes) = 0;
    virtual void timeout() = 0;
    // Ends the transfer now, telling the other side.
    virtual void cancel() = 0;

    std::string takeOutput() { return std::exchange(m_output, {}); }
    bool hasOutput() const { return !m_output.empty(); }
    int timeoutMs() const { return m_timeoutMs; }
    std::uint64_t timerGeneration() const { return m_timerGeneration; }

    bool finished() const { return m_finished; }
    LinkFailure failure() const { return m_failure; }
    // The other side's words when it cancelled, or what went wrong, in one line.
    const std::string& message() const { return m_message; }

    std::vector<ReceivedFile> takeFiles() { return std::exchange(m_files, {}); }

    // Counters for progress and measurement.
    std::uint64_t payloadBytes() const { return m_payloadBytes; } // file bytes sent or received
    std::uint64_t packetsSent() const { return m_packetsSent; }
    std::uint64_t retries() const { return m_retries; }

protected:
    void send(std::string_view bytes) { m_output.append(bytes); }
    void armTimer(int ms)
    {
        m_timeoutMs = ms;
        ++m_timerGeneration;
    }
    void succeed() { m_finished = true; }
    void fail(LinkFailure failure, std::string message = {})
    {
        m_finished = true;
        m_failure = failure;
        m_message = std::move(message);
    }
    void deliver(ReceivedFile file) { m_files.push_back(std::move(file)); }

    std::uint64_t m_payloadBytes = 0;
    std::uint64_t m_packetsSent = 0;
    std::uint64_t m_retries = 0;

private:
    std::string m_output;
    int m_timeoutMs = 0;
    std::uint64_t m_timerGeneration = 0;
    bool m_finished = false;
    LinkFailure m_failure = LinkFailure::None;
    std::string m_message;
    std::vector<ReceivedFile> m_files;
};

// What the caller chooses for every engine.
struct LinkTiming {
    int timeoutMs = 5000; // wait for an answer before sending again
    int retries = 10;     // sends of one packet before giving up
};

// A file to send.
struct OutgoingFile {
    std::string name; // the name the other side is told
    std::string bytes;
};

} // namespace scrivlet
