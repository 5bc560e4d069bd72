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
// Each is the median over --runs transmissions (default 5).
//
// Usage: bench_soundcard_bench [--runs N] [--latency-ms L] [--block-ms B]
#include "link/LinkTestSupport.h"
#include "link/SerialPttLine.h"
#include "modem/ProgramLiveAudio.h"
#include "modem/RttyModulator.h"
#include "modem/SoundCardDevice.h"
#include "support/FakeLiveAudio.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace linktest;

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

struct Timing {
    double pttToFirst = 0.0;
    double lastToRelease = 0.0;
    bool ok = false;
};

Timing OneTransmission(FakeLiveAudio& fake)
{
    Timing t;
    auto ptt = std::make_shared<SimulatedModem>();
    WatchedLink w;
    w.link.SetDeviceOpener([&](int) {
        return std::make_unique<SoundCardDevice>("audio:card,ptt=rts,pttdev=sim", false,
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
    const std::vector<float> played = fake.Played();
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
        return fake.PlayedAt(static_cast<uint64_t>(pos8k * scale - static_cast<double>(offset)) + from);
    };
    const auto firstStart = frameAt(chars.front().stopEnd - p.FrameBits() * bit);
    const auto lastEnd = frameAt(chars.back().stopEnd);
    if (!firstStart || !lastEnd)
        return t;
    t.pttToFirst = std::chrono::duration<double, std::milli>(*firstStart - rts[1].time).count();
    t.lastToRelease = std::chrono::duration<double, std::milli>(rts[2].time - *lastEnd).count();
    t.ok = true;
    return t;
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = 5;
    int latencyMs = 20;
    int blockMs = 5;
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs")
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--latency-ms")
            latencyMs = std::max(0, std::atoi(argv[++i]));
        else if (a == "--block-ms")
            blockMs = std::max(1, std::atoi(argv[++i]));
    }
    FakeLiveAudio::Options options;
    options.playbackLatency = std::chrono::milliseconds(latencyMs);
    options.blockFrames = static_cast<size_t>(SoundCardDevice::kRate * blockMs / 1000);
    auto backend = std::make_unique<FakeLiveAudio>(options);
    FakeLiveAudio& fake = *backend;
    SetProgramLiveAudio(std::move(backend));
    std::vector<double> lead, tail;
    for (int i = 0; i < runs; ++i) {
        const Timing t = OneTransmission(fake);
        if (!t.ok) {
            std::fprintf(stderr, "transmission %d: no complete keying seen\n", i + 1);
            continue;
        }
        lead.push_back(t.pttToFirst);
        tail.push_back(t.lastToRelease);
    }
    SetProgramLiveAudio(nullptr);
    if (lead.empty())
        return 1;
    std::printf("modem_ptt_to_first_sample_ms %.1f ms\n", Median(lead));
    std::printf("modem_last_sample_to_ptt_release_ms %.1f ms\n", Median(tail));
    return 0;
}
