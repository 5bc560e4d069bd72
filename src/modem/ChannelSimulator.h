#pragma once
// An HF channel for tests, benchmarks and the demo: Watterson two-path
// fading (two equal-power Rayleigh paths with Gaussian Doppler spectra, the
// second delayed), a frequency offset, a baud error (the whole signal sped up
// or slowed down in time, then moved back onto its centre frequency, as a
// sender whose clock runs off), and white Gaussian noise at a given SNR3k:
// signal power (measured on the input while keyed, before fading) over the
// noise power in 3 kHz. Float samples throughout, never clipped. The same
// seed gives the same output.
//
// Not thread-safe: one owner.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct FadingProfile {
    std::string name;
    double delayMs = 0.0;      // differential delay of the second path
    double spreadHz = 0.0;     // Doppler spread, 2 sigma
};

// The presets by name: "good", "moderate", "poor", "flutter",
// "mid-quiet", "mid-moderate", "mid-disturbed", "low-quiet", "low-moderate",
// "low-disturbed", "high-quiet", "high-moderate", "high-disturbed".
std::optional<FadingProfile> FadingPreset(std::string_view name);
const std::vector<FadingProfile>& FadingPresets();

struct ChannelSettings {
    double snrDb = 100.0;
    std::optional<FadingProfile> fading;   // none: a flat, steady path
    double offsetHz = 0.0;
    // Sender speed over nominal minus one (0.01: 1 % fast); the centre
    // frequency is kept at `centreHz`.
    double baudError = 0.0;
    double centreHz = 2210.0;
    uint64_t seed = 1;
    bool noise = true;
};

class ChannelSimulator {
public:
    // Applies the channel to the whole signal at `rate`.
    static std::vector<float> Apply(const std::vector<float>& in, double rate, const ChannelSettings& settings);
    // Mean power of the keyed part: blocks of 10 ms whose power is at least
    // 1 % of the strongest block's.
    static double KeyedPower(const std::vector<float>& signal, double rate);
    // Noise variance per sample for `snrDb` with signal power `power` at `rate`.
    static double NoiseVariance(double power, double snrDb, double rate);
};
