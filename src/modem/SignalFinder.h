#pragma once
// Finds RTTY signals in the averaged spectrum of the modem's 8 kHz audio:
// pairs of tones one shift apart, both well above the noise floor and of
// about the same strength (a lone carrier, or one tone of a strong signal
// and the skirt of its keying sidebands, is not a pair). Of overlapping
// pairs only the strongest is kept, so one signal is found once, and a
// neighbour whose mark lies a little above another signal's space is still
// found on its own.
//
// The floor is a low percentile of the spectrum between the band's edges,
// so a crowded band does not raise it; the SNR of a pair is its tones' power
// above the floor over the floor's power in 3 kHz (SNR3k).
//
// Not thread-safe: one owner.
#include <complex>
#include <cstddef>
#include <vector>

struct FoundSignal {
    double lowHz = 0.0;    // the lower tone
    double highHz = 0.0;   // lowHz + |shift|
    double snrDb = 0.0;
    double CentreHz() const { return 0.5 * (lowHz + highHz); }
};

class SignalFinder {
public:
    static constexpr size_t kSize = 2048;   // FFT length: 3.9 Hz bins at 8 kHz
    static constexpr size_t kHop = 1024;
    // Each tone's mean power per bin over the floor for a pair to count:
    // reached near SNR3k -10 dB, never by noise alone (the floor lies about
    // a quarter below the mean of noise, and the averaged windows spread by
    // about a sixth).
    static constexpr double kDetect = 3.0;
    // Estimates averaged before the first pairs are named.
    static constexpr int kSettleBlocks = 4;
    // A tone this close to a stronger pair's tone belongs to that pair.
    static constexpr double kToneGuardHz = 40.0;
    // The weaker tone at least this fraction of the stronger.
    static constexpr double kBalance = 0.1;

    SignalFinder(double rate, double shiftHz, double baud, double lowHz, double highHz);

    // Feeds samples; true when at least one new estimate was made.
    bool Process(const float* x, size_t n);
    // The pairs of the newest estimate, strongest first.
    const std::vector<FoundSignal>& Found() const { return m_found; }
    // Two pairs this close (centres) are the same signal.
    double SameSignalHz() const { return 0.75 * m_shift; }
    // The newest block alone (not averaged): the mean power per bin in the
    // windows of both tones over the floor. Falls within a block of a
    // signal's end, where the average takes a second or more.
    double BlockRatio(double lowHz, double highHz) const;
    // Whether a pair at `lowHz` shares a tone with the pair `other`.
    static bool SharesTone(double lowHz, double highHz, const FoundSignal& other);

private:
    void Analyse();
    // Summed power of the bins within m_halfWidth of `hz`, from `prefix`.
    double WindowPower(const std::vector<double>& prefix, double hz) const;

    double m_shift;       // |shift|
    double m_halfWidth;   // Hz each side of a tone
    double m_low, m_high;
    double m_binHz;
    std::vector<float> m_ring;
    size_t m_pos = 0;
    size_t m_fill = 0;
    size_t m_sinceHop = 0;
    std::vector<float> m_window;
    std::vector<std::complex<float>> m_work;
    std::vector<double> m_power;   // averaged power per bin
    std::vector<double> m_prefix;  // running sums of m_power
    std::vector<double> m_blockPrefix;   // the same of the newest block alone
    double m_floor = 0.0;
    std::vector<double> m_sorted;
    int m_blocks = 0;
    std::vector<FoundSignal> m_found;
};
