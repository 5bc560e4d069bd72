// The sound-card modem through a real sound server: a private PulseAudio
// server with a null sink (tests/support/PrivatePulseServer.h), whose
// monitor is the capture device.
//   modem_live_cpu_percent        receiving for --seconds (20): another
//       process (pacat) plays RTTY into the sink while the program's
//       sound-card port (SoundCardDevice, capture from the monitor, playback
//       to the sink, unkeyed) decodes it and feeds the tuning tap, from which
//       a waterfall row is made 20 times a second (as the tuning display
//       asks), and a reader takes the decoded codes as the link would; the
//       whole process's CPU time over the wall time, percent of one core.
//   modem_round_trip_cer_percent  contest text modulated, +10 dB SNR3k white
//       noise added (ChannelSimulator), played to the sink through the
//       backend, captured from the monitor and decoded: character error rate
//       over --chars (300) characters in three seeds, percent.
//
// Usage: bench_modem_live_bench [--only cpu|cer] [--seconds S] [--chars N]
#include "EditDistance.h"
#include "modem/AudioTap.h"
#include "modem/BaudotText.h"
#include "modem/ChannelSimulator.h"
#include "modem/ProgramLiveAudio.h"
#include "modem/PulseAudioBackend.h"
#include "modem/PulsePlaybackStream.h"
#include "modem/RttyDemodulator.h"
#include "modem/RttyModulator.h"
#include "modem/SoundCardDevice.h"
#include "support/PrivatePulseServer.h"
#ifdef VELTRAN_BENCH_WATERFALL
#include "modem/Waterfall.h"
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr double kRate = 48000.0;

void Figure(const char* name, double value, const char* unit)
{
    std::printf("%s %.2f %s\n", name, value, unit);
    std::fflush(stdout);
}

// Contest traffic: calls, 599 and serial numbers, so that both shifts are used.
std::string ContestText(size_t minChars, uint64_t seed)
{
    std::mt19937_64 rng(seed);
    const auto call = [&] {
        static const char* prefixes[] = {"K", "W", "N", "DL", "G", "JA", "OH", "VE"};
        std::string c = prefixes[rng() % 8];
        c += static_cast<char>('0' + rng() % 10);
        for (int i = 0, n = 1 + static_cast<int>(rng() % 3); i < n; ++i)
            c += static_cast<char>('A' + rng() % 26);
        return c;
    };
    std::string text;
    for (int serial = 1 + static_cast<int>(rng() % 50); text.size() < minChars; ++serial) {
        char nr[8];
        std::snprintf(nr, sizeof nr, "%03d", serial % 1000);
        const std::string a = call(), b = call();
        text += rng() % 2 ? "CQ TEST " + a + " " + a + " TEST\n" : a + " DE " + b + " 599 " + nr + " " + nr + " K\n";
    }
    return text;
}

std::vector<float> Modulate(const std::string& text)
{
    RttyModulator mod(RttyParams{}, kRate);
    mod.QueueMark(1.0);
    for (char c : EncodeBaudotText(text, true))
        mod.QueueCode(static_cast<uint8_t>(c));
    mod.QueueMark(0.5);
    std::vector<float> audio(mod.PendingSamples());
    mod.Render(audio.data(), audio.size());
    return audio;
}

double CpuSeconds()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
         + static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The round trip's receiving side: the decoder on the capture thread.
struct Receiver {
    RttyDemodulator demod{RttyParams{}, kRate};
    BaudotPrinter printer{true};
    std::mutex mutex;   // guards text and down
    std::condition_variable changed;
    std::string text;
    bool down = false;

    void Block(const float* s, size_t n)
    {
        demod.Process(s, n);
        std::lock_guard lock(mutex);
        for (const DecodedChar& c : demod.Take())
            printer.Put(static_cast<uint8_t>(c.code), text);
        changed.notify_all();
    }
    void Down(const std::string& reason)
    {
        std::fprintf(stderr, "capture down: %s\n", reason.c_str());
        std::lock_guard lock(mutex);
        down = true;
        changed.notify_all();
    }
};

bool LiveCpu(const PrivatePulseServer& server, double seconds)
{
    const std::string text = ContestText(static_cast<size_t>(seconds * 7 + 50), 5);
    std::vector<float> audio = Modulate(text);
    audio.resize(std::min(audio.size(), static_cast<size_t>((seconds + 2) * kRate)));
    const std::string raw = (std::filesystem::temp_directory_path()
                             / ("veltran-live-" + std::to_string(::getpid()) + ".f32")).string();
    {
        std::ofstream out(raw, std::ios::binary);
        out.write(reinterpret_cast<const char*>(audio.data()), static_cast<std::streamsize>(audio.size() * sizeof(float)));
    }
    SetProgramLiveAudio(std::make_unique<PulseAudioBackend>(server.Address()));
    SoundCardDevice port(std::string("audio:card,capture=") + PrivatePulseServer::kMonitorName
                             + ",playback=" + PrivatePulseServer::kSinkName + ",ptt=none",
                         false);
    LineSettings line;
    line.baud = 45;
    line.dataBits = 5;
    if (!port.Open(line)) {
        std::fprintf(stderr, "sound-card port: %s\n", port.OpenErrorText().c_str());
        return false;
    }
    // The link's side: decoded codes to text.
    std::string heard;
    bool down = false;
    std::thread reader([&] {
        BaudotPrinter printer(true);
        for (;;) {
            const PortEvents e = port.WaitEvents();
            if (e.flags & PortEvents::kRxReady) {
                uint8_t codes[256];
                for (size_t n; (n = port.Read(codes, sizeof codes)) > 0;)
                    for (size_t i = 0; i < n; ++i)
                        printer.Put(codes[i], heard);
            }
            if (e.flags & PortEvents::kDown)
                down = true;
            if (e.flags & (PortEvents::kCancelled | PortEvents::kDown))
                return;
        }
    });
    const pid_t player = server.StartClient({"pacat", "--playback", "-d", PrivatePulseServer::kSinkName, "--raw",
                                             "--format=float32le", "--rate=48000", "--channels=1",
                                             "--latency-msec=40", raw});
    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    const auto until = t0 + std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
#ifdef VELTRAN_BENCH_WATERFALL
    Waterfall waterfall(512);
    for (auto next = t0 + 50ms; next < until; next += 50ms) {
        std::this_thread::sleep_until(next);
        waterfall.Update(RttyAudioTap());
    }
#else
    std::fprintf(stderr, "no waterfall in this tree: receive and decode only\n");
    std::this_thread::sleep_until(until);
#endif
    const double cpu = CpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    port.Cancel();
    reader.join();
    port.Close();
    SetProgramLiveAudio(nullptr);
    PrivatePulseServer::StopClient(player);
    std::filesystem::remove(raw);
    std::fprintf(stderr, "decoded %zu characters in %.1f s%s\n", heard.size(), wall, down ? ", port went down" : "");
    Figure("modem_live_cpu_percent", 100.0 * cpu / wall, "%");
    return !down && !heard.empty();
}

bool RoundTripCer(const PrivatePulseServer& server, size_t chars)
{
    // Three seeds, one after another on the air with a second of silence
    // between them.
    std::string sent;
    std::vector<float> air;
    for (uint64_t seed = 0; seed < 3; ++seed) {
        const std::string text = ContestText(chars / 3, 100 + seed);
        ChannelSettings channel;
        channel.snrDb = 10.0;
        channel.seed = 31 + seed;
        std::vector<float> part = ChannelSimulator::Apply(Modulate(text), kRate, channel);
        float peak = 0.0f;
        for (float v : part)
            peak = std::max(peak, std::abs(v));
        for (float& v : part)
            v *= 0.9f / peak;   // never clipped on the way
        air.insert(air.end(), part.begin(), part.end());
        air.resize(air.size() + static_cast<size_t>(kRate), 0.0f);
        sent += text;
    }
    PulseAudioBackend backend(server.Address());
    std::string error;
    auto capture = backend.OpenCapture(PrivatePulseServer::kMonitorName, kRate, error);
    auto playback = backend.OpenPlayback(PrivatePulseServer::kSinkName, kRate, error);
    Receiver rx;
    if (!capture || !playback
        || !capture->Start([&](const float* s, size_t n) { rx.Block(s, n); },
                           [&](const std::string& r) { rx.Down(r); }, error)) {
        std::fprintf(stderr, "capture: %s\n", error.c_str());
        return false;
    }
    size_t next = 0;   // playback thread only
    const auto fill = [&](float* out, size_t n) {
        for (size_t i = 0; i < n; ++i, ++next)
            out[i] = next < air.size() ? air[next] : 0.0f;
    };
    if (!playback->Start(fill, [&](const std::string& r) { rx.Down(r); }, error)) {
        std::fprintf(stderr, "playback: %s\n", error.c_str());
        return false;
    }
    const auto seconds = std::chrono::duration<double>(static_cast<double>(air.size()) / kRate + 10.0);
    {
        std::unique_lock lock(rx.mutex);
        rx.changed.wait_for(lock, seconds, [&] { return rx.down || playback->PlayedFrames() >= air.size(); });
    }
    std::this_thread::sleep_for(300ms);   // the monitor's last blocks
    if (const auto* pulse = dynamic_cast<const PulsePlaybackStream*>(playback.get()))
        std::fprintf(stderr, "playback underruns: %llu\n", static_cast<unsigned long long>(pulse->Underruns()));
    playback->Stop();
    capture->Stop();
    std::lock_guard lock(rx.mutex);
    Figure("modem_round_trip_cer_percent", 100.0 * static_cast<double>(EditDistance(sent, rx.text)) / sent.size(), "%");
    return !rx.down;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string only;
    double seconds = 20.0;
    size_t chars = 300;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--only")
            only = argv[i + 1];
        else if (a == "--seconds")
            seconds = std::atof(argv[i + 1]);
        else if (a == "--chars")
            chars = static_cast<size_t>(std::atol(argv[i + 1]));
    }
    PrivatePulseServer server;
    if (!server.Ok()) {
        std::fprintf(stderr, "no private sound server: %s\n", server.Error().c_str());
        return 1;
    }
    bool ok = true;
    if (only.empty() || only == "cpu")
        ok = LiveCpu(server, seconds) && ok;
    if (only.empty() || only == "cer")
        ok = RoundTripCer(server, chars) && ok;
    return ok ? 0 : 1;
}
