#pragma once
// Test signals for the modem tests: codes through the modulator, audio
// through the demodulator, at the modem's internal rate.
#include "modem/RttyDemodulator.h"
#include "modem/RttyModulator.h"

#include <cstdint>
#include <vector>

namespace modemtest {

inline std::vector<float> Modulate(const RttyParams& p, const std::vector<uint32_t>& codes, double rate = 8000.0)
{
    RttyModulator mod(p, rate);
    mod.QueueMark(0.7);   // the squelch opens on the idle mark
    for (uint32_t c : codes)
        mod.QueueCode(c);
    mod.QueueMark(0.4);
    std::vector<float> out(mod.PendingSamples());
    mod.Render(out.data(), out.size());
    return out;
}

inline std::vector<uint32_t> Demodulate(const RttyParams& p, const std::vector<float>& audio, double rate = 8000.0)
{
    RttyDemodulator demod(p, rate);
    std::vector<uint32_t> codes;
    for (size_t i = 0; i < audio.size(); i += 800) {
        demod.Process(audio.data() + i, std::min<size_t>(800, audio.size() - i));
        for (const DecodedChar& c : demod.Take())
            codes.push_back(c.code);
    }
    return codes;
}

}  // namespace modemtest
