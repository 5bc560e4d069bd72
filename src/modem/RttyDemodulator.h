#pragma once
// Receives RTTY from audio. The input (any rate) is resampled to 8 kHz and
// mixed down against the mark and the space tone (moved by the AFC offset).
// Each tone is integrated over quarter-bit blocks; four blocks make a filter
// matched to one bit. From the same blocks come four slicers that disagree
// usefully:
//   0  coherent over the bit, plain tone comparison (best in white noise),
//   1  coherent, each tone against its own tracked level (automatic threshold
//      correction: a tone in a selective fade still counts),
//   2  the four quarter-bit energies added (tolerates the phase running away
//      within a bit, as under flutter),
//   3  quarter-bit energies with threshold correction.
// Characters are found by their start bit and checked by their stop bit;
// once found, the character clock is tracked from one character to the
// next (contest traffic is sent back to back), and each character's bits are
// taken from the slicer that is most confident about that character. A
// squelch (ToneWatch) keeps noise alone from printing; the characters decided
// before it has had its first say (a recording or capture that starts just
// ahead of the text) are held and printed once it opens. Bad samples are
// cleaned first (SampleGuard), and the running sums are rebuilt from their
// windows now and then, so no sample can stop the decoder for long.
//
// Not thread-safe: one owner.
#include "modem/RttyParams.h"
#include "modem/Resampler.h"
#include "modem/SampleGuard.h"
#include "modem/ToneWatch.h"

#include <array>
#include <complex>
#include <cstdint>
#include <vector>

struct DecodedChar {
    uint32_t code = 0;          // data bits, first received in bit 0
    double stopEnd = 0.0;       // 8 kHz sample position where its stop bits end
    uint64_t emittedAt = 0;     // 8 kHz samples processed when it was decided
    float confidence = 0.0f;    // 0..1
    int slicer = 0;
};

class RttyDemodulator {
public:
    static constexpr double kRate = 8000.0;
    static constexpr int kSlicers = 4;
    // A start bit that reads this clearly as mark (soft value, -1..1) is
    // taken for a pause in the sender's traffic, not a noisy start bit.
    static constexpr float kPauseStart = 0.3f;
    // Characters decided while the squelch is closed are held until it has
    // made this many estimates (about a second), and printed if it opens.
    static constexpr int kHoldEstimates = 8;

    RttyDemodulator(const RttyParams& params, double inputRate);

    // Feeds input samples; decoded characters collect until Take.
    void Process(const float* in, size_t n);
    std::vector<DecodedChar> Take();

    // Samples processed at 8 kHz.
    uint64_t Position() const { return m_n; }
    double AfcOffset() const { return m_spectrum.Offset(); }
    bool SquelchOpen() const { return m_spectrum.SignalPresent(); }
    // Makes every character come from one slicer (-1: choose per character).
    void ForceSlicer(int slicer) { m_forced = slicer; }

private:
    struct Tones {
        float mark[kSlicers / 2];    // coherent, quarter-energy amplitude
        float space[kSlicers / 2];
    };
    struct Frame {
        std::array<std::array<float, 10>, kSlicers> soft{};   // per slicer, per bit
        std::array<Tones, 10> tones{};
        int bits = 0;          // start + data + one stop
        double metric = 0.0;   // timing metric
    };

    void Step(float x);
    void Schedule();
    Tones TonesAt(double centre) const;
    float Soft(const Tones& t, int slicer) const;
    double StopCentre(double tau) const;
    Frame FrameAt(double tau) const;
    bool LooksIdle(const Frame& f) const;
    bool StartMissing(const Frame& f) const;
    bool FrameValid(const Frame& f, int slicer) const;
    void Decide(const Frame& f, double tau);
    void ReleaseHeld();
    void SetTones(double offset);
    double Needed(double tau) const;   // sample index a frame at tau needs

    RttyParams m_params;
    SampleGuard m_guard;
    std::vector<float> m_clean;
    Resampler m_resampler;
    std::vector<float> m_block;
    ToneWatch m_spectrum;
    double m_appliedOffset = 0.0;

    // Mixers and quarter-bit integrators.
    std::complex<double> m_loMark{1.0, 0.0}, m_loSpace{1.0, 0.0};
    std::complex<double> m_stepMark, m_stepSpace;
    std::complex<double> m_accMark{}, m_accSpace{};
    std::vector<std::complex<float>> m_qMark, m_qSpace;   // last N4 products
    int m_quarter = 0;          // N4
    double m_bit = 0.0;         // samples per bit
    double m_period = 0.0;      // nominal samples per character
    static constexpr size_t kHistory = 16384;
    std::vector<std::complex<float>> m_histMark, m_histSpace;   // integrator outputs
    uint64_t m_n = 0;

    // Tracked tone levels for threshold correction: [coherent, quarter].
    float m_levelMark[2] = {0, 0}, m_levelSpace[2] = {0, 0};

    // Character clock.
    bool m_locked = false;
    double m_hunt = 0.0;        // next start candidate while hunting
    double m_expect = 0.0;      // expected next start while locked
    double m_trackPeriod = 0.0;
    int m_lockedCount = 0;
    int m_recentInvalid = 0;    // invalid frames among the last few
    int m_forced = -1;

    std::vector<DecodedChar> m_out;
    // Decided while the squelch could not yet tell; see the class comment.
    std::vector<DecodedChar> m_held;
    bool m_holding = true;
};
