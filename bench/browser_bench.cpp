// The signal browser (every RTTY signal in the passband at once), on
// stations from our modulator through the channel simulator's white noise:
//   browser_two_signals_cer_percent      two stations 250 Hz apart, each at
//       +10 dB SNR3k: character error rate over both, percent;
//   browser_weak_neighbour_cer_percent   a +10 dB station with one 20 dB
//       stronger 300 Hz above it: the weak one's error rate, percent;
//   browser_cpu_percent_16               16 decoders at once on 48 kHz
//       capture audio (sixteen stations at 85 Hz shift): processing time
//       over audio time while all 16 run, percent of one core;
//   browser_false_chars_per_min          white noise alone: characters the
//       whole browser prints a minute.
//
// Usage: bench_browser_bench [--chars N] [--seeds S] [--noise-minutes M] [--only GROUP]
//   --chars: characters per station over all seeds (default 1200);
//   GROUP: two, weak, cpu or noise.
#include "EditDistance.h"
#include "modem/SignalBrowser.h"
#include "support/SignalMix.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

struct Options {
    size_t chars = 1200;
    int seeds = 3;
    double noiseMinutes = 3.0;
    std::string only;
    bool Run(const char* group) const { return only.empty() || only == group; }
};

void Figure(const char* name, double value, const char* unit)
{
    std::printf("%s %.2f %s\n", name, value, unit);
    std::fflush(stdout);
}

// Each station's text by its mark tone: the lines of the decoders within
// kNearHz of it. Lines of decoders near no station are counted in `stray`.
constexpr double kNearHz = 20.0;

std::map<double, std::string> Browse(const std::vector<float>& audio, double rate, const std::vector<double>& tones,
                                     size_t* stray = nullptr)
{
    SignalBrowser browser(RttyParams{}, rate);
    std::map<double, std::string> text;
    const auto take = [&] {
        for (const BrowsedLine& line : browser.TakeLines()) {
            bool near = false;
            for (double t : tones)
                if (std::abs(t - line.markHz) < kNearHz) {
                    text[t] += line.text + "\n";
                    near = true;
                }
            if (!near && stray)
                *stray += line.text.size();
        }
    };
    for (size_t i = 0; i < audio.size(); i += 4096) {
        browser.Process(audio.data() + i, std::min<size_t>(4096, audio.size() - i));
        take();
    }
    browser.Flush();
    take();
    return text;
}

// Error rate of the stations in `measured` (indices into `stations`).
double Cer(const Options& o, std::vector<signalmix::Station> stations, const std::vector<size_t>& measured)
{
    size_t errors = 0, sent = 0, stray = 0;
    for (int seed = 0; seed < o.seeds; ++seed) {
        std::vector<double> tones;
        for (size_t k = 0; k < stations.size(); ++k) {
            stations[k].text = signalmix::ContestText(o.chars / o.seeds, 100 * seed + k + 1);
            tones.push_back(stations[k].markHz);
        }
        const auto got = Browse(signalmix::Mix(stations, 8000.0, 10.0, seed + 11), 8000.0, tones, &stray);
        for (size_t k : measured) {
            const auto it = got.find(stations[k].markHz);
            errors += EditDistance(stations[k].text, it == got.end() ? std::string() : it->second);
            sent += stations[k].text.size();
        }
    }
    if (stray)
        std::fprintf(stderr, "browser bench: %zu characters from decoders on no station\n", stray);
    return 100.0 * static_cast<double>(errors) / static_cast<double>(sent);
}

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--chars")
            o.chars = std::strtoul(argv[i + 1], nullptr, 10);
        else if (a == "--seeds")
            o.seeds = std::max(1, std::atoi(argv[i + 1]));
        else if (a == "--noise-minutes")
            o.noiseMinutes = std::atof(argv[i + 1]);
        else if (a == "--only")
            o.only = argv[i + 1];
    }
    if (o.Run("two"))
        Figure("browser_two_signals_cer_percent", Cer(o, {{1275.0, {}, 0.0, 0.0}, {1525.0, {}, 0.0, 0.5}}, {0, 1}), "%");
    if (o.Run("weak"))
        Figure("browser_weak_neighbour_cer_percent", Cer(o, {{1275.0, {}, 0.0, 0.0}, {1575.0, {}, 20.0, 0.3}}, {0}), "%");
    if (o.Run("cpu")) {
        // Sixteen 170 Hz stations do not fit between 300 and 2,900 Hz; a
        // decoder costs the same at any shift, so these use 85 Hz, 160 Hz apart.
        constexpr double rate = 48000.0;
        RttyParams narrow;
        narrow.shiftHz = 85.0;
        std::vector<signalmix::Station> stations;
        for (int k = 0; k < SignalBrowser::kMaxSignals; ++k)
            stations.push_back({330.0 + 160.0 * k, signalmix::ContestText(150, k + 1), 0.0, 0.1 * k});
        const std::vector<float> audio = signalmix::Mix(stations, rate, 10.0, 5, 0.0, narrow.shiftHz);
        SignalBrowser browser(narrow, rate);
        double busy = 0.0, audioSeconds = 0.0;
        size_t most = 0;
        constexpr size_t block = 960;   // 20 ms, as the sound card delivers it
        for (size_t i = 0; i < audio.size(); i += block) {
            const size_t n = std::min(block, audio.size() - i);
            const bool all = browser.Signals().size() >= static_cast<size_t>(SignalBrowser::kMaxSignals);
            const auto t0 = std::chrono::steady_clock::now();
            browser.Process(audio.data() + i, n);
            browser.TakeLines();
            if (all) {
                busy += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
                audioSeconds += n / rate;
            }
            most = std::max(most, browser.Signals().size());
        }
        if (audioSeconds > 0.0)
            Figure("browser_cpu_percent_16", 100.0 * busy / audioSeconds, "%");
        else
            std::fprintf(stderr, "browser bench: only %zu decoders ran at once\n", most);
    }
    if (o.Run("noise")) {
        const std::vector<float> noise = signalmix::Noise(60.0 * o.noiseMinutes, 8000.0, 9);
        SignalBrowser browser(RttyParams{}, 8000.0);
        size_t chars = 0;
        for (size_t i = 0; i < noise.size(); i += 4096) {
            browser.Process(noise.data() + i, std::min<size_t>(4096, noise.size() - i));
            for (const BrowsedLine& line : browser.TakeLines())
                chars += line.text.size();
        }
        browser.Flush();
        for (const BrowsedLine& line : browser.TakeLines())
            chars += line.text.size();
        Figure("browser_false_chars_per_min", static_cast<double>(chars) / o.noiseMinutes, "chars/min");
    }
    return 0;
}
