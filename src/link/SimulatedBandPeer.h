#pragma once
// The simulated band on the RTTY port ("sim:band"): the band's text coded for
// the line (Baudot codes with their LTRS/FIGS shifts on a 5-bit link, ASCII
// otherwise) and passed through a fading channel; the operator's codes
// decoded as a far teleprinter prints them and given to the band.
//
// The end of a transmission is RTS dropping (Baudot, where the link keys the
// transmitter with RTS), or on an ASCII link without keying, 1.5 s without
// output.
//
// Options of the device value: seed=<n> (1), errors=<chance per character>
// (0), first=<ms to the first CQ> (3000), cq=<ms between CQ calls> (30000),
// answer=<ms from unkeying to an answer> (1500), pileup=<percent> (25).
#include "link/BaudotCodec.h"
#include "link/FadingChannel.h"
#include "link/SimPeer.h"
#include "link/SimulatedBand.h"
#include "link/SimulatedRttyStatus.h"

class SimulatedBandPeer : public SimPeer {
public:
    explicit SimulatedBandPeer(const SimOptions& options);
    ~SimulatedBandPeer() override;

    static SimulatedBand::Options BandOptions(const SimOptions& options);

    std::string Opened(const LineSettings& settings, Clock::time_point now) override;
    void Closed() override;
    std::string Written(std::string_view bytes, Clock::time_point sentUntil) override;
    void Rts(bool on, Clock::time_point now) override;
    Clock::time_point NextDue() const override;
    std::string Take(Clock::time_point now) override;

private:
    std::string Code(const std::string& text);
    void PublishStatus();

    SimulatedBand m_band;
    FadingChannel m_fading;
    BaudotCodec m_heard;   // decodes the operator's codes
    LineSettings m_settings;
    bool m_bKeyed = false;
    Clock::time_point m_quietAt = Clock::time_point::max();
    SimulatedRttyStatus m_status;
};
