// Keying figures of the sound-card modem on the air, through the link and a
// sound-card port whose PTT line keys a simulated modem's RTS, on the fake
// live-audio backend playing in real time with a sound server's usual
// buffering (20 ms of playback latency, asked for in 5 ms blocks):
//   modem_ptt_to_first_sample_ms        PTT up to the first sample of the
//                                       first character leaving the device
//                                       (the link's 100 ms keying delay
//                                       included)
//   modem_last_sample_to_ptt_release_ms the last sample of the last character
//                                       leaving the device to PTT down (the
//                                       link's 100 ms tail included)
// Each is the median over --runs transmissions (default 5). With --pulse the
// same run goes through a private PulseAudio server instead (playback to its
// null sink, capture from the sink's monitor, where each sample's time of
// leaving the device is its arrival less the capture latency); those figures
// are printed with the suffix _pulse.
//
// Usage: bench_soundcard_bench [--runs N] [--latency-ms L] [--block-ms B] [--pulse]
#include "link/LinkTestSupport.h"
#include "link/SerialPttLine.h"
#include "modem/ProgramLiveAudio.h"
#include "modem/PulseAudioBackend.h"
#include "modem/RttyModulator.h"
#include "modem/SoundCardDevice.h"
#include "support/FakeLiveAudio.h"
#include "support/PrivatePulseServer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace linktest;

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

using Clock = std::chrono::steady_clock;

// What went out, and when sample i of it left the device.
struct Heard {
    std::vector<float> audio;
    std::function<std::optional<Clock::time_point>(uint64_t)> at;
};

// The capture audio of the latest stream opened, each block with the time it
// left the device (its arrival less the stream's latency). Guarded by mutex.
struct Recording {
    std::mutex mutex;
    double rate = SoundCardDevice::kRate;
    std::vector<float> audio;
    std::vector<std::pair<uint64_t, Clock::time_point>> blockEnds;   // end index, when its last sample played

    Heard Take()
    {
        std::lock_guard lock(mutex);
        Heard h;
        h.audio = audio;
        auto ends = blockEnds;
        const double r = rate;
        h.at = [ends, r](uint64_t i) -> std::optional<Clock::time_point> {
            const auto it = std::upper_bound(ends.begin(), ends.end(), i,
                                             [](uint64_t f, const auto& b) { return f < b.first; });
            if (it == ends.end())
                return std::nullopt;
            return it->second - std::chrono::duration_cast<Clock::duration>(
                                    std::chrono::duration<double>(static_cast<double>(it->first - 1 - i) / r));
        };
        return h;
    }
};

class RecordingCapture : public CaptureStream {
public:
    RecordingCapture(std::unique_ptr<CaptureStream> inner, Recording& rec) : m_inner(std::move(inner)), m_rec(rec) {}
    bool Start(BlockHandler onBlock, AudioDownHandler onDown, std::string& error) override
    {
        return m_inner->Start(
            [this, onBlock](const float* s, size_t n) {
                {
                    std::lock_guard lock(m_rec.mutex);
                    m_rec.audio.insert(m_rec.audio.end(), s, s + n);
                    m_rec.blockEnds.emplace_back(m_rec.audio.size(), Clock::now() - m_inner->Latency());
                }
                onBlock(s, n);
            },
            std::move(onDown), error);
    }
    void Stop() override { m_inner->Stop(); }
    std::chrono::microseconds Latency() const override { return m_inner->Latency(); }
    bool IsDown() const override { return m_inner->IsDown(); }

private:
    std::unique_ptr<CaptureStream> m_inner;
    Recording& m_rec;
};

class RecordingBackend : public LiveAudioBackend {
public:
    RecordingBackend(std::unique_ptr<LiveAudioBackend> inner, Recording& rec) : m_inner(std::move(inner)), m_rec(rec) {}
    std::vector<AudioDeviceInfo> Sources() override { return m_inner->Sources(); }
    std::vector<AudioDeviceInfo> Sinks() override { return m_inner->Sinks(); }
    std::unique_ptr<CaptureStream> OpenCapture(const std::string& device, double rate, std::string& error) override
    {
        std::unique_ptr<CaptureStream> c = m_inner->OpenCapture(device, rate, error);
        if (!c)
            return nullptr;
        std::lock_guard lock(m_rec.mutex);
        m_rec.rate = rate;
        m_rec.audio.clear();
        m_rec.blockEnds.clear();
        return std::make_unique<RecordingCapture>(std::move(c), m_rec);
    }
    std::unique_ptr<PlaybackStream> OpenPlayback(const std::string& device, double rate, std::string& error) override
    {
        return m_inner->OpenPlayback(device, rate, error);
    }

private:
    std::unique_ptr<LiveAudioBackend> m_inner;
    Recording& m_rec;
};

struct Timing {
    double pttToFirst = 0.0;
    double lastToRelease = 0.0;
    bool ok = false;
};

Timing OneTransmission(const std::string& value, const std::function<Heard()>& heardOf)
{
    Timing t;
    auto ptt = std::make_shared<SimulatedModem>();
    WatchedLink w;
    w.link.SetDeviceOpener([&](int) {
        return std::make_unique<SoundCardDevice>(value, false,
                                                 [&](const AudioDeviceValue&) -> std::unique_ptr<PttLine> {
                                                     return std::make_unique<SerialPttLine>(
                                                         std::make_unique<SharedPortDevice>(ptt),
                                                         SerialPttLine::Line::Rts, "sim");
                                                 });
    });
    w.link.m_nBaud = 45;
    w.link.m_nByteSize = 5;
    w.link.m_bPttKeying = 1;
    w.link.Connect(true);
    if (!w.link.IsOpen())
        return t;
    std::string text = "RYRY";
    w.link.SendText(text);
    const bool released = ptt->WaitFor(
        [](const std::vector<SimEvent>& log) {
            const auto rts = OfKind(log, SimEvent::Kind::Rts);
            return rts.size() >= 3 && !rts.back().level;
        },
        kEventually);
    w.link.Connect(false);
    if (!released)
        return t;
    const auto rts = OfKind(ptt->Log(), SimEvent::Kind::Rts);

    // Where the characters are in what was played: the demodulator finds
    // them, behind a steady mark its squelch needs.
    const Heard out = heardOf();
    const std::vector<float>& played = out.audio;
    const auto first = std::find_if(played.begin(), played.end(), [](float x) { return x != 0.0f; });
    if (first == played.end())
        return t;
    RttyParams p;
    p.baud = 45.45;
    RttyModulator lead(p, SoundCardDevice::kRate);
    std::vector<float> heard(static_cast<size_t>(0.7 * SoundCardDevice::kRate));
    lead.Render(heard.data(), heard.size());
    const size_t offset = heard.size();
    const size_t from = static_cast<size_t>(first - played.begin());
    heard.insert(heard.end(), first, played.end());
    heard.resize(heard.size() + static_cast<size_t>(0.4 * SoundCardDevice::kRate), 0.0f);
    RttyDemodulator demod(p, SoundCardDevice::kRate);
    demod.Process(heard.data(), heard.size());
    const std::vector<DecodedChar> chars = demod.Take();
    if (chars.size() < 5)
        return t;
    const double scale = SoundCardDevice::kRate / RttyDemodulator::kRate;
    const double bit = RttyDemodulator::kRate / p.baud;
    const auto frameAt = [&](double pos8k) {
        return out.at(static_cast<uint64_t>(pos8k * scale - static_cast<double>(offset)) + from);
    };
    const auto firstStart = frameAt(chars.front().stopEnd - p.FrameBits() * bit);
    const auto lastEnd = frameAt(chars.back().stopEnd);
    if (!firstStart || !lastEnd || rts.size() < 3)
        return t;
    t.pttToFirst = std::chrono::duration<double, std::milli>(*firstStart - rts[1].time).count();
    t.lastToRelease = std::chrono::duration<double, std::milli>(rts[2].time - *lastEnd).count();
    t.ok = true;
    return t;
}

bool Figures(const std::string& value, const std::function<Heard()>& heardOf, int runs, const char* suffix)
{
    std::vector<double> lead, tail;
    for (int i = 0; i < runs; ++i) {
        const Timing t = OneTransmission(value, heardOf);
        if (!t.ok) {
            std::fprintf(stderr, "transmission %d: no complete keying seen\n", i + 1);
            continue;
        }
        lead.push_back(t.pttToFirst);
        tail.push_back(t.lastToRelease);
    }
    if (lead.empty())
        return false;
    std::printf("modem_ptt_to_first_sample_ms%s %.1f ms\n", suffix, Median(lead));
    std::printf("modem_last_sample_to_ptt_release_ms%s %.1f ms\n", suffix, Median(tail));
    std::fflush(stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = 5;
    int latencyMs = 20;
    int blockMs = 5;
    bool pulse = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--pulse")
            pulse = true;
        else if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--latency-ms" && i + 1 < argc)
            latencyMs = std::max(0, std::atoi(argv[++i]));
        else if (a == "--block-ms" && i + 1 < argc)
            blockMs = std::max(1, std::atoi(argv[++i]));
    }
    FakeLiveAudio::Options options;
    options.playbackLatency = std::chrono::milliseconds(latencyMs);
    options.blockFrames = static_cast<size_t>(SoundCardDevice::kRate * blockMs / 1000);
    auto backend = std::make_unique<FakeLiveAudio>(options);
    FakeLiveAudio& fake = *backend;
    SetProgramLiveAudio(std::move(backend));
    const bool fakeOk = Figures("audio:card,ptt=rts,pttdev=sim",
                                [&] { return Heard{fake.Played(), [&](uint64_t i) { return fake.PlayedAt(i); }}; },
                                runs, "");
    SetProgramLiveAudio(nullptr);
    if (!pulse)
        return fakeOk ? 0 : 1;

    PrivatePulseServer server;
    if (!server.Ok()) {
        std::fprintf(stderr, "no private sound server: %s\n", server.Error().c_str());
        return 1;
    }
    Recording rec;
    SetProgramLiveAudio(std::make_unique<RecordingBackend>(std::make_unique<PulseAudioBackend>(server.Address()), rec));
    const bool pulseOk = Figures(std::string("audio:card,capture=") + PrivatePulseServer::kMonitorName +
                                     ",playback=" + PrivatePulseServer::kSinkName + ",ptt=rts,pttdev=sim",
                                 [&] { return rec.Take(); }, runs, "_pulse");
    SetProgramLiveAudio(nullptr);
    return fakeOk && pulseOk ? 0 : 1;
}
