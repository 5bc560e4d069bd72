#pragma once
// A plain tone-switching RTTY sender, independent of the modem's own
// modulator: each element (start, data, stop bits) is a separate tone burst
// that starts again at phase zero, as a sound card playing separate tone
// files does, so every transition has a phase jump and no shaping. Tones are
// given as heard (no reverse setting, no shift convention), bit lengths are
// kept exact in time, and bits go out LSB first with mark = 1.
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

struct ToneSender {
    double rate = 8000.0;
    double baud = 45.45;
    double markHz = 2125.0;
    double spaceHz = 2295.0;
    double stopBits = 1.5;
    int dataBits = 5;
    float amplitude = 0.5f;

    // Mark for `leaderBits` bits, the codes back to back, then half a second
    // of mark.
    std::vector<float> Send(const std::vector<uint32_t>& codes, double leaderBits = 25.0) const
    {
        std::vector<float> out;
        double t = 0.0;   // where the next element starts, in samples (fractional)
        const double bit = rate / baud;
        const auto element = [&](bool mark, double bits) {
            const double end = t + bits * bit;
            const double w = 2.0 * std::numbers::pi * (mark ? markHz : spaceHz) / rate;
            for (auto i = static_cast<size_t>(std::ceil(t)); static_cast<double>(i) < end; ++i)
                out.push_back(amplitude * static_cast<float>(std::sin(w * (static_cast<double>(i) - t))));
            t = end;
        };
        element(true, leaderBits);
        for (uint32_t c : codes) {
            element(false, 1.0);
            for (int k = 0; k < dataBits; ++k)
                element(((c >> k) & 1u) != 0, 1.0);
            element(true, stopBits);
        }
        element(true, 0.5 * baud);
        return out;
    }
};
