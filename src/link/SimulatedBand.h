#pragma once
// The other stations on a simulated band, as the receiver hears them. One
// station calls CQ every so often with its own call sign. When the operator's
// transmission ends and it held a CQ signed "DE <call>", a station answers
// that call with a report and a serial number, and now and then a second one
// calls at the same time (right behind the first). When the operator then
// sends an exchange (a report) naming one of them, that station confirms and
// signs off. Calling the CQ station ("<its call> DE <call>") makes it answer
// the same way.
//
// All text is put together from a seeded random source, so a seed gives the
// same stations and words every run. The CQ station and the answering
// stations draw from separate streams: what one says never depends on when
// the other spoke.
//
// The band deals in text; the simulated modem codes it for the line (Baudot
// with shifts, or ASCII) and paces it. While the operator transmits, nothing
// is heard (one transceiver, half duplex): what falls due is held until the
// transmitter is unkeyed. Not thread-safe: the modem calls it under its lock.
#include <chrono>
#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <string_view>
#include <vector>

class SimulatedBand {
public:
    using Clock = std::chrono::steady_clock;

    struct Options {
        uint32_t seed = 1;
        std::chrono::milliseconds cqFirst{3000};
        std::chrono::milliseconds cqInterval{30000};
        // From the end of the operator's transmission to an answer.
        std::chrono::milliseconds answerDelay{1500};
        // Chance in percent that a second station answers a CQ as well.
        int pileupPercent = 25;
    };

    explicit SimulatedBand(const Options& options);

    // The band starts (the port opened): the first CQ comes `cqFirst` later.
    void Start(Clock::time_point now);
    void Keyed(Clock::time_point now);
    // The transmission ended: the band reacts to what it heard of it.
    void Unkeyed(Clock::time_point now);
    // Text of the operator's transmission, as a far teleprinter prints it.
    void Hear(std::string_view text);

    // The next moment something falls due (time_point::max() when nothing
    // will, or while the transmitter is keyed).
    Clock::time_point NextDue() const;
    // Everything due at `now`, in order, or empty.
    std::string Take(Clock::time_point now);

    // The station calling CQ, and the stations waiting for the operator's
    // exchange (for status displays).
    const std::string& CqCall() const { return m_strCqCall; }
    const std::vector<std::string>& Callers() const { return m_callers; }

private:
    struct Item {
        Clock::time_point when;
        std::string text;
    };
    struct Caller {
        std::string call;
        std::string report;
        int serial = 0;
    };

    std::string NewCall(std::mt19937& rng) const;
    std::string CqText();
    std::string AnswerText(const std::string& op, const Caller& c);
    std::string ConfirmText(const std::string& op, const std::string& call);
    void Schedule(Clock::time_point when, std::string text);

    Options m_options;
    std::mt19937 m_cqRng;
    std::mt19937 m_qsoRng;
    std::string m_strCqCall;
    std::string m_strOpCall;        // the operator's call, from the last "DE <call>"
    std::string m_strHeard;         // the current transmission so far
    std::vector<Caller> m_pending;  // answered the operator, waiting for the exchange
    std::vector<std::string> m_callers;
    std::deque<Item> m_items;       // in time order
    Clock::time_point m_nextCq = Clock::time_point::max();
    bool m_bKeyed = false;
};
