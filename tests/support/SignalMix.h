#pragma once
// Several RTTY stations in one passband, for the signal browser's tests and
// benchmark: each sends its own text from our modulator (FIGS again after a
// space, as unshift-on-space senders do) on its own mark tone, from its own
// start time and at its own level; white noise comes from the channel
// simulator at an SNR3k measured on the first station.
#include "modem/BaudotText.h"
#include "modem/ChannelSimulator.h"
#include "modem/RttyModulator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace signalmix {

struct Station {
    double markHz = 2125.0;
    std::string text;
    double levelDb = 0.0;         // against the first station
    double startSeconds = 0.0;
};

inline std::vector<float> Mix(const std::vector<Station>& stations, double rate, double snrDb, uint64_t seed,
                              double tailSeconds = 1.0, double shiftHz = 170.0)
{
    std::vector<std::vector<float>> tracks;
    size_t length = 0;
    for (const Station& s : stations) {
        RttyParams p;
        p.markHz = s.markHz;
        p.shiftHz = shiftHz;
        RttyModulator mod(p, rate);
        mod.QueueMark(0.7);
        for (char c : EncodeBaudotText(s.text, true))
            mod.QueueCode(static_cast<uint8_t>(c));
        mod.QueueMark(0.3);
        std::vector<float> track(static_cast<size_t>(s.startSeconds * rate) + mod.PendingSamples());
        const size_t lead = track.size() - mod.PendingSamples();
        mod.Render(track.data() + lead, mod.PendingSamples());
        const float gain = static_cast<float>(std::pow(10.0, s.levelDb / 20.0));
        for (float& v : track)
            v *= gain;
        length = std::max(length, track.size());
        tracks.push_back(std::move(track));
    }
    length += static_cast<size_t>(tailSeconds * rate);
    for (auto& t : tracks)
        t.resize(length, 0.0f);
    ChannelSettings channel;
    channel.snrDb = snrDb;
    channel.seed = seed;
    std::vector<float> out = ChannelSimulator::Apply(tracks[0], rate, channel);
    for (size_t k = 1; k < tracks.size(); ++k)
        for (size_t i = 0; i < length; ++i)
            out[i] += tracks[k][i];
    return out;
}

// White noise alone, at about the level a +10 dB station's noise has.
inline std::vector<float> Noise(double seconds, double rate, uint64_t seed)
{
    std::mt19937_64 rng(seed);
    std::normal_distribution<float> normal(0.0f, 0.2f);
    std::vector<float> out(static_cast<size_t>(seconds * rate));
    for (float& v : out)
        v = normal(rng);
    return out;
}

// Contest exchanges: calls, 599 and serial numbers, so both shifts are used.
inline std::string ContestText(size_t minChars, uint64_t seed)
{
    std::mt19937_64 rng(seed);
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<uint64_t>(n)); };
    const auto call = [&] {
        static const char* prefixes[] = {"K", "W", "N", "DL", "G", "JA", "OH", "VE", "SP", "EA"};
        std::string c = prefixes[pick(10)];
        c += static_cast<char>('0' + pick(10));
        for (int i = 0, n = 1 + pick(3); i < n; ++i)
            c += static_cast<char>('A' + pick(26));
        return c;
    };
    std::string text;
    for (int serial = 1 + pick(50); text.size() < minChars; ++serial) {
        char nr[8];
        std::snprintf(nr, sizeof nr, "%03d", serial % 1000);
        const std::string a = call(), b = call();
        text += pick(2) ? "CQ TEST " + a + " " + a + " TEST\n" : a + " DE " + b + " 599 " + nr + " " + nr + " K\n";
    }
    return text;
}

}  // namespace signalmix
