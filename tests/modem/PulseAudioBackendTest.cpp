// The PulseAudio backend against a private server with a null sink: what
// is played to the sink comes back from its monitor, PlayedFrames follows
// the audio actually played, and a device that goes away is reported once.
#include "modem/PulseAudioBackend.h"
#include "support/PulseServerTest.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr double kRate = 8000.0;

// What a stream's thread reports, for the test's thread to wait on.
struct Reports {
    std::mutex mutex;   // guards everything below
    std::condition_variable changed;
    std::vector<float> captured;
    std::vector<std::string> downs;

    void Capture(const float* s, size_t n)
    {
        std::lock_guard lock(mutex);
        captured.insert(captured.end(), s, s + n);
        changed.notify_all();
    }
    void Down(const std::string& reason)
    {
        std::lock_guard lock(mutex);
        downs.push_back(reason);
        changed.notify_all();
    }
    template <typename Pred>
    bool WaitFor(Pred pred, std::chrono::milliseconds timeout = 5s)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, pred);
    }
};

bool Lists(const std::vector<AudioDeviceInfo>& devices, const std::string& name)
{
    return std::any_of(devices.begin(), devices.end(),
                       [&](const AudioDeviceInfo& d) { return d.name == name && !d.description.empty(); });
}

// Frequency of the loud part of `x` from the median spacing of its zero
// crossings (a gap, should the machine be too busy to play in time, moves
// the mean but not the median).
double ToneFrequency(const std::vector<float>& x, double rate)
{
    std::vector<double> spacings;
    double last = -1.0;
    for (size_t i = 1; i < x.size(); ++i) {
        if ((x[i - 1] < 0) == (x[i] < 0) || std::max(std::abs(x[i - 1]), std::abs(x[i])) < 0.05f)
            continue;
        // Where the line between the two samples crosses zero.
        const double at = static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]);
        if (last >= 0.0)
            spacings.push_back(at - last);
        last = at;
    }
    if (spacings.size() < 100)
        return 0.0;
    std::nth_element(spacings.begin(), spacings.begin() + spacings.size() / 2, spacings.end());
    return rate / (2.0 * spacings[spacings.size() / 2]);
}

}  // namespace

class PulseAudioBackendTest : public PulseServerTest {};

TEST_F(PulseAudioBackendTest, ListsTheNullSinkAndItsMonitor)
{
    PulseAudioBackend backend(Server().Address());
    EXPECT_TRUE(Lists(backend.Sinks(), PrivatePulseServer::kSinkName));
    EXPECT_TRUE(Lists(backend.Sources(), PrivatePulseServer::kMonitorName));
}

TEST_F(PulseAudioBackendTest, ToneToTheSinkComesBackFromTheMonitorOncePlayed)
{
    PulseAudioBackend backend(Server().Address());
    std::string error;
    auto capture = backend.OpenCapture(PrivatePulseServer::kMonitorName, kRate, error);
    auto playback = backend.OpenPlayback(PrivatePulseServer::kSinkName, kRate, error);
    ASSERT_TRUE(capture && playback) << error;
    Reports reports;
    ASSERT_TRUE(capture->Start([&](const float* s, size_t n) { reports.Capture(s, n); },
                               [&](const std::string& r) { reports.Down(r); }, error))
        << error;

    // 0.5 s of 1275 Hz, then silence; the fill handler notes how much had
    // been played when it handed over the tone's last sample.
    constexpr uint64_t kToneFrames = 4000;
    constexpr double kTone = 1275.0;
    uint64_t filled = 0;
    uint64_t playedAtLastSample = 0;
    const auto fill = [&](float* out, size_t n) {
        for (size_t i = 0; i < n; ++i, ++filled)
            out[i] = filled < kToneFrames
                ? 0.5f * static_cast<float>(std::sin(2 * std::numbers::pi * kTone * static_cast<double>(filled) / kRate))
                : 0.0f;
        if (filled >= kToneFrames && !playedAtLastSample)
            playedAtLastSample = playback->PlayedFrames() + 1;   // +1: seen
    };
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(playback->Start(fill, [&](const std::string& r) { reports.Down(r); }, error)) << error;

    // PlayedFrames has no notification of its own: look every 10 ms.
    const auto deadline = started + 5s;
    while (playback->PlayedFrames() < kToneFrames && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    const auto drainedAfter = std::chrono::steady_clock::now() - started;
    ASSERT_GE(playback->PlayedFrames(), kToneFrames);
    // Played, not just handed over: the last sample left the buffer after
    // it was written, and not before its own time had passed.
    EXPECT_LT(playedAtLastSample - 1, kToneFrames);
    EXPECT_GE(drainedAfter, std::chrono::milliseconds(kToneFrames * 1000 / static_cast<uint64_t>(kRate)));
    EXPECT_GT(playback->Latency().count(), 0);

    // The monitor has heard the whole tone a little later.
    ASSERT_TRUE(reports.WaitFor([&] {
        const auto& c = reports.captured;
        const auto loud = [](float v) { return std::abs(v) > 0.2f; };
        // (|sin| > 0.4 for 74 % of a sine's samples)
        return std::count_if(c.begin(), c.end(), loud) > 2800 && c.size() > 800
            && std::none_of(c.end() - 800, c.end(), loud);
    }));
    playback->Stop();
    capture->Stop();
    std::lock_guard guard(reports.mutex);
    EXPECT_NEAR(ToneFrequency(reports.captured, kRate), kTone, 5.0);
    EXPECT_TRUE(reports.downs.empty());
    EXPECT_FALSE(capture->IsDown() || playback->IsDown());
}

class PulseDeviceGoneTest : public PulseServerTest {};

// A sink unloaded while its stream runs (a USB sound card unplugged): the
// down handler fires once, and Stop returns.
TEST_F(PulseDeviceGoneTest, UnloadedSinkTakesItsStreamsDown)
{
    for (const bool capturing : {true, false}) {
        SCOPED_TRACE(capturing ? "capturing" : "playing");
        const std::string sink = capturing ? "veltran_gone_rx" : "veltran_gone_tx";
        ASSERT_TRUE(Server().Pactl({"load-module", "module-null-sink", "sink_name=" + sink,
                                    PrivatePulseServer::kSinkOptions}));
        PulseAudioBackend backend(Server().Address());
        std::string error;
        Reports reports;
        const auto onDown = [&](const std::string& r) { reports.Down(r); };
        std::unique_ptr<CaptureStream> capture;
        std::unique_ptr<PlaybackStream> playback;
        if (capturing) {
            capture = backend.OpenCapture(sink + ".monitor", kRate, error);
            ASSERT_TRUE(capture && capture->Start([&](const float* s, size_t n) { reports.Capture(s, n); }, onDown, error))
                << error;
            ASSERT_TRUE(reports.WaitFor([&] { return !reports.captured.empty(); }));
        } else {
            playback = backend.OpenPlayback(sink, kRate, error);
            ASSERT_TRUE(playback && playback->Start([](float* out, size_t n) { std::fill(out, out + n, 0.1f); }, onDown, error))
                << error;
        }

        ASSERT_TRUE(Server().Pactl({"unload-module", "module-null-sink"}));
        EXPECT_TRUE(reports.WaitFor([&] { return !reports.downs.empty(); }));
        EXPECT_TRUE(capturing ? capture->IsDown() : playback->IsDown());
        if (capture)
            capture->Stop();
        if (playback)
            playback->Stop();
        std::lock_guard lock(reports.mutex);
        EXPECT_EQ(reports.downs.size(), 1u);
    }
}

class PulseServerGoneTest : public PulseServerTest {};

TEST_F(PulseServerGoneTest, ServerThatStopsTakesBothStreamsDown)
{
    PulseAudioBackend backend(Server().Address());
    std::string error;
    auto capture = backend.OpenCapture(PrivatePulseServer::kMonitorName, kRate, error);
    auto playback = backend.OpenPlayback(PrivatePulseServer::kSinkName, kRate, error);
    Reports reports;
    const auto onDown = [&](const std::string& r) { reports.Down(r); };
    ASSERT_TRUE(capture->Start([&](const float* s, size_t n) { reports.Capture(s, n); }, onDown, error)) << error;
    ASSERT_TRUE(playback->Start([](float* out, size_t n) { std::fill(out, out + n, 0.0f); }, onDown, error)) << error;
    ASSERT_TRUE(reports.WaitFor([&] { return !reports.captured.empty(); }));

    Server().Stop();
    EXPECT_TRUE(reports.WaitFor([&] { return reports.downs.size() >= 2; }));
    capture->Stop();
    playback->Stop();
    std::lock_guard lock(reports.mutex);
    ASSERT_EQ(reports.downs.size(), 2u);
    for (const std::string& reason : reports.downs)
        EXPECT_EQ(reason.rfind("Lost the sound server", 0), 0u) << reason;
}

TEST(PulseAudioBackend, NoServerMeansNoDevicesAndStreamsThatDoNotStart)
{
    PulseAudioBackend backend("unix:/nonexistent/veltran/native");
    EXPECT_TRUE(backend.Sources().empty());
    EXPECT_TRUE(backend.Sinks().empty());
    std::string error;
    auto capture = backend.OpenCapture("", kRate, error);
    ASSERT_TRUE(capture);
    EXPECT_FALSE(capture->Start([](const float*, size_t) {}, [](const std::string&) {}, error));
    EXPECT_NE(error.find("No sound server"), std::string::npos) << error;
    EXPECT_FALSE(backend.OpenPlayback("", 0.0, error)) << "a rate of 0 is no stream";
}
