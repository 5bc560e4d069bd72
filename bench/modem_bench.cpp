// Weak-signal figures of the sound-card modem, through the project's own
// channel simulator, unclipped float audio, contest-like text. With
// minimodem installed it decodes the same audio and its figures are printed
// beside ours (minimodem_...).
//
// Usage: bench_modem_bench [--chars N] [--seeds S] [--noise-minutes M] [--only GROUP] [--quick]
//   --chars: characters per point over all seeds (default 6000)
//   --quick: 1200 characters, 3 seeds, one minute of noise
#include "EditDistance.h"
#include "modem/AudioFile.h"
#include "modem/BaudotText.h"
#include "modem/ChannelSimulator.h"
#include "modem/Fft.h"
#include "modem/RttyDemodulator.h"
#include "modem/RttyModulator.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <numbers>
#include <optional>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kRate = 8000.0;

struct Options {
    size_t chars = 6000;
    int seeds = 3;
    double noiseMinutes = 5.0;
    std::string only;   // run one group: bandwidth, awgn, fading, noise, mistune, baud, latency, cpu
    bool Run(const char* group) const { return only.empty() || only == group; }
};

void Figure(const std::string& name, double value, const char* unit)
{
    std::printf("%s %.2f %s\n", name.c_str(), value, unit);
    std::fflush(stdout);
}

// Contest traffic: CQ calls, exchanges with 599 and serial numbers, TU.
std::string ContestText(size_t minChars, uint64_t seed)
{
    std::mt19937_64 rng(seed);
    const auto pick = [&](int n) { return static_cast<int>(rng() % n); };
    const auto call = [&] {
        std::string c;
        const char* prefixes[] = {"K", "W", "N", "AA", "KB", "VE", "DL", "G", "F", "JA", "OH", "SP", "UA", "EA", "I"};
        c += prefixes[pick(15)];
        c += static_cast<char>('0' + pick(10));
        for (int i = 0, n = 1 + pick(3); i < n; ++i)
            c += static_cast<char>('A' + pick(26));
        if (pick(10) == 0)
            c += "/P";
        return c;
    };
    std::string text;
    int serial = 1 + pick(50);
    while (text.size() < minChars) {
        const std::string a = call(), b = call();
        char nr[16];
        std::snprintf(nr, sizeof nr, "%03d", serial++ % 1000);
        switch (pick(4)) {
        case 0: text += "CQ TEST " + a + " " + a + " TEST\n"; break;
        case 1: text += a + " DE " + b + " " + b + " 599 " + nr + " " + nr + " K\n"; break;
        case 2: text += "TU 599 " + std::string(nr) + " " + nr + " " + a + " QRZ?\n"; break;
        default: text += b + " 5NN " + nr + " " + nr + " BK\n"; break;
        }
    }
    return text;
}

struct Signal {
    std::string text;
    std::string codes;
    std::vector<float> audio;
    std::vector<double> stopEnds;   // sample where each code's stop ends
};

Signal MakeSignal(const std::string& text, double baud)
{
    Signal s;
    s.text = text;
    // Sent as an unshift-on-space sender does (FIGS again after a space), so
    // receivers that unshift on space and those that do not read the same text.
    s.codes = EncodeBaudotText(text, true);
    RttyParams p;
    p.baud = baud;
    RttyModulator mod(p, kRate);
    mod.QueueMark(1.0);
    for (char c : s.codes)
        s.stopEnds.push_back(mod.QueueCode(static_cast<uint8_t>(c)));
    mod.QueueMark(1.0);
    s.audio.resize(mod.PendingSamples());
    mod.Render(s.audio.data(), s.audio.size());
    return s;
}

struct Decoded {
    std::string text;
    std::string codes;
};

Decoded DecodeOurs(const std::vector<float>& audio, bool usos = true)
{
    RttyParams p;
    RttyDemodulator demod(p, kRate);
    BaudotPrinter printer(usos);
    Decoded d;
    constexpr size_t kBlock = 4096;
    for (size_t i = 0; i < audio.size(); i += kBlock) {
        demod.Process(audio.data() + i, std::min(kBlock, audio.size() - i));
        for (const DecodedChar& c : demod.Take()) {
            d.codes.push_back(static_cast<char>(c.code));
            printer.Put(static_cast<uint8_t>(c.code), d.text);
        }
    }
    return d;
}

// minimodem on the same audio, through a float WAV; nullopt when absent.
bool HaveMinimodem()
{
    static const bool have = [] {
        for (const char* dir : {"/usr/bin/", "/usr/local/bin/", "/bin/"})
            if (::access((std::string(dir) + "minimodem").c_str(), X_OK) == 0)
                return true;
        return false;
    }();
    return have;
}

std::optional<std::string> DecodeMinimodem(const std::vector<float>& audio)
{
    if (!HaveMinimodem())
        return std::nullopt;
    const std::string path = (std::filesystem::temp_directory_path() / ("modem-bench-" + std::to_string(::getpid()) + ".wav")).string();
    std::string error;
    if (!WriteAudioFile(path, audio, kRate, true, error))
        return std::nullopt;
    int fds[2];
    if (::pipe(fds) != 0)
        return std::nullopt;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], 1);
        ::close(fds[0]);
        ::close(fds[1]);
        const int devnull = ::open("/dev/null", O_WRONLY);
        if (devnull >= 0)
            ::dup2(devnull, 2);
        ::execlp("minimodem", "minimodem", "--rx", "-q", "-f", path.c_str(), "-M", "2125", "-S", "2295", "rtty",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
        out.append(buf, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    std::filesystem::remove(path);
    std::string text;
    for (char c : out)
        if (c != '\r')
            text.push_back(c);
    return text;
}

struct PointResult {
    double cer = 0.0;          // percent
    double codeCer = 0.0;      // percent, on Baudot codes
    double mmCer = -1.0;       // minimodem, percent (-1: not run)
    double mmCodeCer = -1.0;
};

struct Point {
    double snr = 0.0;
    std::optional<FadingProfile> fading;
    double offset = 0.0;
    double senderBaud = 45.45;
    bool minimodem = true;
};

PointResult RunPoint(const Options& o, const Point& pt)
{
    size_t sent = 0, errors = 0, sentCodes = 0, codeErrors = 0, mmErrors = 0, mmCodeErrors = 0;
    bool mmRan = false;
    for (int s = 0; s < o.seeds; ++s) {
        const Signal sig = MakeSignal(ContestText(o.chars / o.seeds, 1000 + s), pt.senderBaud);
        ChannelSettings ch;
        ch.snrDb = pt.snr;
        ch.fading = pt.fading;
        ch.offsetHz = pt.offset;
        ch.seed = 77 + s * 1009 + static_cast<uint64_t>(std::fabs(pt.snr) * 10);
        const std::vector<float> rx = ChannelSimulator::Apply(sig.audio, kRate, ch);
        const Decoded d = DecodeOurs(rx);
        sent += sig.text.size();
        errors += EditDistance(sig.text, d.text);
        // Codes without the leading LTRS, which the idle line hides.
        const std::string codes = sig.codes.substr(1);
        sentCodes += codes.size();
        codeErrors += EditDistance(codes, EncodeBaudotText(d.text, true).substr(1));
        if (pt.minimodem) {
            if (const auto mm = DecodeMinimodem(rx)) {
                mmRan = true;
                mmErrors += EditDistance(sig.text, *mm);
                mmCodeErrors += EditDistance(codes, EncodeBaudotText(*mm, true).substr(1));
            }
        }
    }
    PointResult r;
    r.cer = 100.0 * errors / sent;
    r.codeCer = 100.0 * codeErrors / sentCodes;
    if (mmRan) {
        r.mmCer = 100.0 * mmErrors / sent;
        r.mmCodeCer = 100.0 * mmCodeErrors / sentCodes;
    }
    return r;
}

// The SNR where the CER curve crosses `target` percent, interpolating
// log CER linearly between sweep points (descending SNR).
double Crossing(const std::vector<std::pair<double, double>>& curve, double target)
{
    for (size_t i = 1; i < curve.size(); ++i) {
        const auto [s0, c0] = curve[i - 1];
        const auto [s1, c1] = curve[i];
        if (c0 <= target && c1 >= target) {
            const double l0 = std::log(std::max(c0, 0.01)), l1 = std::log(std::max(c1, 0.01));
            const double f = l1 == l0 ? 0.0 : (std::log(target) - l0) / (l1 - l0);
            return s0 + f * (s1 - s0);
        }
    }
    return std::nan("");
}

std::string SnrName(double snr)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%.1fdb", snr < 0 ? "m" : "p", std::fabs(snr));
    return buf;
}

struct Sweep {
    std::vector<std::pair<double, double>> ours, mm;
    double cerAtM10 = -1, mmCerAtM10 = -1;
};

// Descends from `start` in 0.5 dB steps to -10 dB and on until both
// decoders pass 12 % (or, with `stopPercent`, until ours passes that).
Sweep RunSweep(const Options& o, Point pt, double start, const std::string& label, bool withMinimodem,
               double stopPercent = 0.0)
{
    Sweep sw;
    bool mmDone = !withMinimodem || !HaveMinimodem();
    bool oursDone = false;
    for (double snr = start; snr >= -14.0 && !(oursDone && mmDone); snr -= 0.5) {
        pt.snr = snr;
        pt.minimodem = !mmDone;
        const PointResult r = RunPoint(o, pt);
        if (!oursDone) {
            sw.ours.push_back({snr, r.cer});
            Figure(label + "_cer_" + SnrName(snr) + "_percent", r.cer, "%");
        }
        if (!mmDone && r.mmCer >= 0) {
            sw.mm.push_back({snr, r.mmCer});
            Figure("minimodem_" + label.substr(label.find('_') + 1) + "_cer_" + SnrName(snr) + "_percent", r.mmCer, "%");
        }
        if (std::fabs(snr + 10.0) < 1e-9) {
            sw.cerAtM10 = r.cer;
            sw.mmCerAtM10 = r.mmCer;
            if (label == "modem_awgn") {
                Figure("modem_awgn_code_cer_m10db_percent", r.codeCer, "%");
                if (r.mmCodeCer >= 0)
                    Figure("minimodem_awgn_code_cer_m10db_percent", r.mmCodeCer, "%");
            }
        }
        // Down to -10 dB at least (a figure of its own), then until 12 %.
        oursDone = oursDone || (stopPercent > 0.0 ? r.cer > stopPercent : r.cer > 12.0 && snr <= -10.0);
        mmDone = mmDone || (r.mmCer > 12.0 && snr <= -10.0);
    }
    return sw;
}

double OccupiedBandwidth99()
{
    RttyParams p;
    RttyModulator mod(p, kRate);
    std::mt19937_64 rng(9);
    for (int i = 0; i < 1500; ++i)
        mod.QueueCode(static_cast<uint32_t>(rng() % 32));
    std::vector<float> x(mod.PendingSamples());
    mod.Render(x.data(), x.size());
    constexpr size_t kN = 16384;
    std::vector<double> power(kN / 2, 0.0);
    std::vector<std::complex<float>> buf(kN);
    for (size_t start = 0; start + kN <= x.size(); start += kN / 2) {
        for (size_t i = 0; i < kN; ++i)
            buf[i] = x[start + i] * static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / kN));
        FftInPlace(buf);
        for (size_t b = 0; b < kN / 2; ++b)
            power[b] += std::norm(buf[b]);
    }
    double total = 0.0;
    for (double v : power)
        total += v;
    const double centre = p.markHz + p.shiftHz / 2.0;
    for (double half = 1.0; half < 1000.0; half += 1.0) {
        double inside = 0.0;
        for (size_t b = 0; b < kN / 2; ++b)
            if (std::fabs(b * kRate / kN - centre) <= half)
                inside += power[b];
        if (inside >= 0.99 * total)
            return 2.0 * half;
    }
    return 2000.0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--quick") {
            o.chars = 1200;
            o.noiseMinutes = 1.0;
        } else if (a == "--chars" && i + 1 < argc)
            o.chars = static_cast<size_t>(std::atol(argv[++i]));
        else if (a == "--seeds" && i + 1 < argc)
            o.seeds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--noise-minutes" && i + 1 < argc)
            o.noiseMinutes = std::atof(argv[++i]);
        else if (a == "--only" && i + 1 < argc)
            o.only = argv[++i];
        else {
            std::fprintf(stderr, "usage: %s [--chars N] [--seeds S] [--noise-minutes M] [--only GROUP] [--quick]\n", argv[0]);
            return 2;
        }
    }
    std::fprintf(stderr, "modem bench: %zu chars per point over %d seeds; minimodem %s\n", o.chars, o.seeds,
                 HaveMinimodem() ? "found" : "not installed");

    if (o.Run("bandwidth"))
        Figure("modem_tx_99pct_bandwidth_hz", OccupiedBandwidth99(), "Hz");

    // AWGN (needed as the reference of the mistune and baud-error penalties).
    const bool needBase = o.Run("awgn") || o.Run("mistune") || o.Run("baud");
    const Sweep awgn = needBase ? RunSweep(o, Point{}, -4.0, "modem_awgn", o.Run("awgn")) : Sweep{};
    const double base1 = Crossing(awgn.ours, 1.0);
    if (o.Run("awgn")) {
        Figure("modem_awgn_snr_1pct_db", base1, "dB");
        Figure("modem_awgn_snr_10pct_db", Crossing(awgn.ours, 10.0), "dB");
        Figure("modem_awgn_cer_m10db_percent", awgn.cerAtM10, "%");
        if (!awgn.mm.empty()) {
            Figure("minimodem_awgn_snr_1pct_db", Crossing(awgn.mm, 1.0), "dB");
            Figure("minimodem_awgn_snr_10pct_db", Crossing(awgn.mm, 10.0), "dB");
            Figure("minimodem_awgn_cer_m10db_percent", awgn.mmCerAtM10, "%");
        }
    }

    // Fading.
    if (o.Run("fading")) {
        for (const auto& [name, preset, snr] : {std::tuple{"flutter", "flutter", 20.0}, std::tuple{"poor", "poor", 10.0}}) {
            Point pt;
            pt.snr = snr;
            pt.fading = FadingPreset(preset);
            const PointResult r = RunPoint(o, pt);
            Figure(std::string("modem_") + name + "_cer_" + (snr == 20.0 ? "20db" : "10db") + "_percent", r.cer, "%");
            if (r.mmCer >= 0)
                Figure(std::string("minimodem_") + name + "_cer_" + (snr == 20.0 ? "20db" : "10db") + "_percent", r.mmCer, "%");
        }
    }

    // Noise only.
    if (o.Run("noise")) {
        std::mt19937_64 rng(5);
        std::normal_distribution<float> normal(0.0f, 0.25f);
        std::vector<float> noise(static_cast<size_t>(o.noiseMinutes * 60.0 * kRate));
        for (float& v : noise)
            v = normal(rng);
        Figure("modem_noise_false_chars_per_min", DecodeOurs(noise).codes.size() / o.noiseMinutes, "chars/min");
        if (const auto mm = DecodeMinimodem(noise))
            Figure("minimodem_noise_false_chars_per_min", mm->size() / o.noiseMinutes, "chars/min");
    }

    // Mistune and baud error: the 1 % point again, penalty against AWGN.
    const double start = std::isnan(base1) ? -4.0 : std::ceil((base1 + 2.0) * 2.0) / 2.0;
    if (o.Run("mistune")) {
        Point pt;
        pt.offset = 50.0;
        const Sweep sw = RunSweep(o, pt, start, "modem_mistune50", false, 3.0);
        Figure("modem_mistune_50hz_penalty_db", Crossing(sw.ours, 1.0) - base1, "dB");
    }
    if (o.Run("baud")) {
        double worst = -1e9;
        for (double baud : {45.0, 45.8}) {
            Point pt;
            pt.senderBaud = baud;
            const Sweep sw = RunSweep(o, pt, start, baud == 45.0 ? "modem_baud45p0" : "modem_baud45p8", false, 3.0);
            worst = std::max(worst, Crossing(sw.ours, 1.0) - base1);
        }
        Figure("modem_baud_error_penalty_db", worst, "dB");
    }

    // Latency: end of stop bit to character out, fed in 10 ms blocks at +20 dB.
    if (o.Run("latency")) {
        const Signal sig = MakeSignal(ContestText(1500, 42), 45.45);
        ChannelSettings ch;
        ch.snrDb = 20.0;
        const std::vector<float> rx = ChannelSimulator::Apply(sig.audio, kRate, ch);
        RttyParams p;
        RttyDemodulator demod(p, kRate);
        std::vector<double> lat;
        size_t index = 0;
        for (size_t i = 0; i < rx.size(); i += 80) {
            const size_t n = std::min<size_t>(80, rx.size() - i);
            demod.Process(rx.data() + i, n);
            for (const DecodedChar& c : demod.Take()) {
                (void)c;
                // Clean enough that characters come one for one; the first
                // code (LTRS) may be lost in the idle line.
                while (index < sig.stopEnds.size() && sig.stopEnds[index] < static_cast<double>(i + n) - 4000.0)
                    ++index;
                if (index < sig.stopEnds.size()) {
                    lat.push_back((static_cast<double>(i + n) - sig.stopEnds[index]) / kRate * 1000.0);
                    ++index;
                }
            }
        }
        std::sort(lat.begin(), lat.end());
        Figure("modem_latency_ms_p99", lat.empty() ? -1.0 : lat[static_cast<size_t>(0.99 * (lat.size() - 1))], "ms");
    }

    // CPU: one decoder on 48 kHz sound-card input (resampling included).
    if (o.Run("cpu")) {
        RttyParams p;
        RttyModulator mod(p, 48000.0);
        std::mt19937_64 rng(3);
        for (int i = 0; i < 400; ++i)
            mod.QueueCode(static_cast<uint32_t>(rng() % 32));
        std::vector<float> x(mod.PendingSamples());
        mod.Render(x.data(), x.size());
        RttyDemodulator demod(p, 48000.0);
        const auto t0 = std::chrono::steady_clock::now();
        for (size_t i = 0; i < x.size(); i += 960)
            demod.Process(x.data() + i, std::min<size_t>(960, x.size() - i));
        const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        Figure("modem_decode_cpu_percent", 100.0 * secs / (x.size() / 48000.0), "%");
    }
    return 0;
}
