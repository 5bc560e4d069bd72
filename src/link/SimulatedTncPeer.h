#pragma once
// The simulated controller on the TNC port ("sim:tnc"): signs on when the
// port opens, then answers what the terminal types (SimulatedTnc).
#include "link/SimPeer.h"
#include "link/SimulatedTnc.h"

class SimulatedTncPeer : public SimPeer {
public:
    std::string Opened(const LineSettings&, Clock::time_point) override
    {
        m_tnc = SimulatedTnc{};
        return m_tnc.SignOn();
    }
    std::string Written(std::string_view bytes, Clock::time_point) override { return m_tnc.Input(bytes); }

private:
    SimulatedTnc m_tnc;
};
