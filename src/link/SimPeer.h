#pragma once
// The far side of a simulated modem: what answers the program on the line.
// The modem owns one (or none, for a plain modem), chosen by the device
// value's mode, and calls it under its own lock; a peer never blocks and
// never calls back into the modem. Texts it returns are bytes for the
// program's receive side, which the modem paces at the line speed.
#include "link/PortDevice.h"
#include "link/SimOptions.h"

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

class SimPeer {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~SimPeer() = default;
    // The port opened; returns bytes to receive straight away.
    virtual std::string Opened(const LineSettings& settings, Clock::time_point now) = 0;
    virtual void Closed() {}
    // The program wrote `bytes`; they have left the line by `sentUntil`.
    // Returns bytes sent back in answer (an echo, a prompt).
    virtual std::string Written(std::string_view bytes, Clock::time_point sentUntil) = 0;
    virtual void Rts(bool /*on*/, Clock::time_point /*now*/) {}
    // When Take has something (time_point::max() for never), and that text.
    virtual Clock::time_point NextDue() const { return Clock::time_point::max(); }
    virtual std::string Take(Clock::time_point /*now*/) { return {}; }
};

// "band" gives the simulated band (options seed, errors, first, cq, answer,
// pileup: see SimulatedBandPeer.h), "tnc" the simulated controller; any other
// mode has no peer.
std::unique_ptr<SimPeer> MakeSimPeer(const SimOptions& options);
