#pragma once
// Every RTTY signal in the passband at once. The capture audio is cleaned
// and brought to the modem's 8 kHz once; a SignalFinder looks for mark/space
// pairs at the port's shift between kLowHz and kHighHz, and each new one gets
// its own RttyDemodulator (up to kMaxSignals) behind a band-pass around its
// tones, which first hears the last kReplaySeconds of audio so that the
// characters sent while the signal was being found are not lost. Each decoder follows its signal with its own AFC
// and keeps quiet on noise with its own squelch, so what it prints is what
// the main decoder would print on that tone.
//
// A decoder alone prints a few characters of noise after its signal stops,
// until its squelch has seen the silence; the browser holds characters for
// a while and drops those decided after the tones fell silent.
//
// Per signal the browser keeps the mark tone, an SNR estimate, the line being
// printed (or the last one), and the call signs seen; a signal neither found
// in the spectrum nor loud at its tones for kAgeOutSeconds is dropped (its
// decoder's squelch is no guide: behind the band-pass, noise can hold it
// open).
//
// Not thread-safe: one owner (the command-line scan, or the browser dock's
// timer on the window's thread).
#include "modem/Resampler.h"
#include "modem/RttyDemodulator.h"
#include "modem/RttyParams.h"
#include "modem/RttyTextPrinter.h"
#include "modem/SampleGuard.h"
#include "modem/SignalFinder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct BrowsedSignal {
    int id = 0;                 // stable while the signal is kept
    double markHz = 0.0;        // the tone its decoder now listens on for mark
    double snrDb = 0.0;         // SNR3k, the newest estimate
    std::string line;           // the line being printed, else the last one
    std::vector<std::string> calls;   // call signs seen, oldest first
    double silentSeconds = 0.0;       // since it was last heard
};

// One finished line of one signal.
struct BrowsedLine {
    int id = 0;
    double markHz = 0.0;
    std::string text;
};

class SignalBrowser {
public:
    static constexpr int kMaxSignals = 16;
    static constexpr double kLowHz = 300.0;
    static constexpr double kHighHz = 2900.0;
    static constexpr double kAgeOutSeconds = 60.0;
    static constexpr double kReplaySeconds = 1.0;
    // A line this long is handed on even without a newline.
    static constexpr size_t kMaxLine = 100;
    static constexpr size_t kMaxCalls = 8;
    // Each decoder hears its signal through a band-pass this far beyond its
    // tones (the keying sidebands and some mistuning), falling off over
    // kTransitionHz, so a neighbour 20 dB stronger does not swamp it.
    static constexpr double kPassHz = 60.0;
    static constexpr double kTransitionHz = 60.0;
    // A found pair this much stronger than a kept signal it shares a tone
    // with replaces it.
    static constexpr double kStrongerDb = 6.0;
    // A decoder's squelch closes half a second to a second or two after its
    // signal stops (behind the band-pass, sometimes not at all); each
    // character is held this long (at 8 kHz), then dropped if it was decided
    // after the tones were last heard loud (above kLoudRatio and
    // kLoudFraction of their usual level in the finder's newest block).
    static constexpr uint64_t kHoldSamples = 2 * static_cast<uint64_t>(RttyDemodulator::kRate);
    static constexpr double kLoudRatio = 3.0;
    static constexpr double kLoudFraction = 0.25;
    // A character is decided a little after its stop bit has ended, the
    // first one read from the silence after it at least a character later.
    static constexpr uint64_t kDecideSamples = 800;

    // `params` gives the speed, shift and framing of the signals looked for
    // (its mark tone is not used); `inputRate` is the capture's rate.
    SignalBrowser(const RttyParams& params, double inputRate);
    ~SignalBrowser();

    void Process(const float* in, size_t n);
    // Prints what is held and ends every line in progress, as at the end
    // of a recording.
    void Flush();
    // The lines finished since the last call, in the order they ended.
    std::vector<BrowsedLine> TakeLines();
    // The signals now kept, lowest mark tone first.
    std::vector<BrowsedSignal> Signals() const;
    // Audio processed, seconds.
    double Seconds() const { return static_cast<double>(m_n) / RttyDemodulator::kRate; }

private:
    struct Channel;

    void OnEstimate();
    void Spawn(const FoundSignal& found);
    void EndLine(Channel& c);
    double MarkFor(const FoundSignal& found) const;
    double CentreOf(const Channel& c) const;

    RttyParams m_params;
    SampleGuard m_guard;
    Resampler m_resampler;
    std::vector<float> m_clean;
    std::vector<float> m_block;
    SignalFinder m_finder;
    std::vector<float> m_replay;   // the newest kReplaySeconds at 8 kHz, a ring
    size_t m_replayPos = 0;
    uint64_t m_n = 0;              // samples processed at 8 kHz
    std::vector<FoundSignal> m_pending;   // found once, kept if found again
    std::vector<std::unique_ptr<Channel>> m_channels;
    std::vector<BrowsedLine> m_lines;
    int m_nextId = 1;
};
