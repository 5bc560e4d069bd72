#pragma once
// The keying rules checked over whole random sessions: seeded sequences of
// operator commands on a 45-baud RTTY link with RTS keying over the
// simulated modem, on a virtual clock (so a session of minutes takes
// milliseconds and every moment is exact), then the modem's record read
// against the rules:
// - PTT falls within 50 ms of a Receive or Clear TX Buffer (on a quiet line
//   the finished text keeps its tail: 100 ms after the last stop bit);
// - a fall that is not a cut (no output purged) comes no earlier than the
//   last stop bit plus 100 ms;
// - PTT rises only when a command asks for it: under Manual the latest of
//   Transmit, Receive, Clear and a reopened port was Transmit; under
//   Delay/Auto the latest of text and Clear was text;
// - nothing is written while PTT is down, and DTR (not PTT) never rises;
// - under Delay, text leaves the Delay buffer for the link only once the
//   receive channel has been quiet for more than 3 s.
#include "link/SimulatedModem.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace keying {

// Text is what reached the link's queue, Receive and Clear what took the
// transmitter off the air, Transmit what asked for it under Manual, Heard
// the receive channel carrying traffic. A Note is read by no rule: it says
// in the account what the operator or a macro did (a Receive under Auto, a
// Ctrl-Q beginning its wait).
struct Command {
    enum class Kind { Text, Transmit, Receive, Clear, Vanish, Reopen, Note, Heard };
    Kind kind;
    std::chrono::steady_clock::time_point at;
    std::string what;     // for the account only
    bool direct = false;  // Text sent past the Delay buffer (a tape's)
};

// What a session ran and what the modem saw.
struct Session {
    bool manual = true;
    bool delay = false;   // not Manual: Delay rather than Auto (the rules are Auto's)
    bool diddle = false;
    std::vector<Command> commands;
    std::vector<SimEvent> log;
};

// Each broken rule, in words with its moment; empty when all hold.
std::vector<std::string> CheckKeying(const Session& session);

// The session as lines of "<ms> <command or event>", to read a failure by.
std::string Describe(const Session& session);

struct Outcome {
    std::vector<std::string> broken;
    std::string account;   // Describe(), only when something broke
};

// Runs one seeded session on the link alone (Manual or Auto, idle fill on
// or off, text, Transmit, Receive, Send/Receive, Clear TX Buffer, the device
// vanishing and opening again), and checks it.
Outcome RunLinkSession(uint32_t seed);

}  // namespace keying
