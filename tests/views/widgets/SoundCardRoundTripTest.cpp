// The program's sound-card modem through a real sound server: a line typed
// in the transmit pane goes out on a private server's null sink, comes back
// from the sink's monitor as the port's capture, and appears decoded on the
// receive page; PTT (the simulated modem's RTS, with a trace) is up before
// the first sample leaves the sink and down only after the last.
#include "TransmitFakes.h"

#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/CommandTable.h"
#include "app/MemorySettingsStore.h"
#include "app/SettingsKeys.h"
#include "modem/ProgramLiveAudio.h"
#include "modem/PulseAudioBackend.h"
#include "modem/RttyDemodulator.h"
#include "support/PulseServerTest.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView3.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// RTS changes in a keying trace since its last open, dated on the steady
// clock. The trace's own times count from the simulated modem's open; a thread reads the file
// every millisecond and notes when it saw each line, never before the line
// was written, so the earliest "seen minus written" over all lines is the
// best bound on the open's time (never too early).
class TraceWatch {
public:
    explicit TraceWatch(std::string path)
        : m_path(std::move(path))
        , m_thread([this] { Run(); })
    {
    }
    ~TraceWatch()
    {
        m_bStop = true;
        m_thread.join();
    }
    // (level, time) in order.
    std::vector<std::pair<bool, Clock::time_point>> Changes() const
    {
        std::lock_guard lock(m_mutex);
        std::vector<std::pair<bool, Clock::time_point>> out;
        for (const auto& [level, us] : m_changes)
            out.emplace_back(level, m_opened + std::chrono::microseconds(us));
        return out;
    }

private:
    void Run()
    {
        size_t lines = 0;
        while (!m_bStop) {
            std::ifstream in(m_path);
            std::string line;
            for (size_t n = 0; std::getline(in, line); ++n) {
                if (n < lines)
                    continue;
                lines = n + 1;
                std::istringstream fields(line);
                long long us = 0;
                std::string event, level;
                if (!(fields >> us >> event))
                    continue;
                fields >> level;
                std::lock_guard lock(m_mutex);
                // Each open starts its own count (the port may open twice).
                if (event == "open") {
                    m_opened = {};
                    m_changes.clear();
                }
                const Clock::time_point opened = Clock::now() - std::chrono::microseconds(us);
                if (m_opened == Clock::time_point{} || opened < m_opened)
                    m_opened = opened;
                if (event == "rts")
                    m_changes.emplace_back(level == "1", us);
            }
            std::this_thread::sleep_for(1ms);
        }
    }

    const std::string m_path;
    std::atomic<bool> m_bStop{false};
    mutable std::mutex m_mutex;   // guards m_opened, m_changes
    Clock::time_point m_opened{};
    std::vector<std::pair<bool, long long>> m_changes;
    std::thread m_thread;
};

// What left the sink, heard on its monitor by a decoder of the test's own:
// when the first sound came and when the stop bits of the last character
// ended. A captured block's samples are dated back from its arrival by the
// stream's latency.
class SoundWatch {
public:
    explicit SoundWatch(double baud)
    {
        RttyParams params;
        params.baud = baud;
        m_demod = std::make_unique<RttyDemodulator>(params, kRate);
    }
    ~SoundWatch() { Stop(); }
    bool Start(LiveAudioBackend& backend, std::string& error)
    {
        m_stream = backend.OpenCapture(PrivatePulseServer::kMonitorName, kRate, error);
        return m_stream && m_stream->Start([this](const float* s, size_t n) { Block(s, n); },
                                           [](const std::string&) {}, error);
    }
    void Stop()
    {
        if (m_stream)
            m_stream->Stop();
    }
    Clock::time_point FirstSound() const
    {
        std::lock_guard lock(m_mutex);
        return m_first;
    }
    // When the stop bits of the last line feed ended.
    Clock::time_point LastStopEnd() const
    {
        std::lock_guard lock(m_mutex);
        return m_lastStop;
    }

private:
    static constexpr double kRate = 48000.0;
    static constexpr uint32_t kLineFeed = 0x02;   // Baudot LF
    Clock::time_point TimeOf(double sample) const
    {
        return m_end - std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>((static_cast<double>(m_samples) - sample) / kRate));
    }
    void Block(const float* s, size_t n)
    {
        std::lock_guard lock(m_mutex);
        m_end = Clock::now() - m_stream->Latency();
        m_samples += n;
        for (size_t i = 0; i < n && m_first == Clock::time_point{}; ++i)
            if (std::abs(s[i]) > 0.01f)
                m_first = TimeOf(static_cast<double>(m_samples - n + i));
        m_demod->Process(s, n);
        // The line ends with CR LF; what the decoder makes of the tone
        // fading out after the unkey is no character that was sent.
        for (const DecodedChar& c : m_demod->Take())
            if (c.code == kLineFeed)
                m_lastStop = TimeOf(c.stopEnd * kRate / RttyDemodulator::kRate);
    }

    std::unique_ptr<CaptureStream> m_stream;
    mutable std::mutex m_mutex;   // guards everything below
    std::unique_ptr<RttyDemodulator> m_demod;
    uint64_t m_samples = 0;       // captured so far
    Clock::time_point m_end{};    // when the last captured sample left the sink
    Clock::time_point m_first{}, m_lastStop{};
};

bool HasDecodedLine(const LineList& lines, const std::string& text)
{
    // The receive page also echoes what was sent, marked with '>'.
    return std::any_of(lines.begin(), lines.end(),
                       [&](std::string_view l) { return l.find(text) != l.npos && l.find('>') == l.npos; });
}

}  // namespace

class SoundCardRoundTrip : public PulseServerTest {
protected:
    void TearDown() override
    {
        tv.reset();
        rv.reset();
        SetProgramLiveAudio(nullptr);
    }

    MemorySettingsStore settings;
    CVELTRANDoc doc{settings};
    CVELTRANApp app{settings};
    txfake::Status status;
    std::unique_ptr<CVELTRANView> rv;
    std::unique_ptr<CVELTRANView3> tv;
};

TEST_F(SoundCardRoundTrip, TypedLineIsHeardBackDecodedWithPttAroundTheAudio)
{
    SetProgramLiveAudio(std::make_unique<PulseAudioBackend>(Server().Address()));
    SoundWatch sound(110);
    std::string error;
    ASSERT_TRUE(sound.Start(*ProgramLiveAudio(), error)) << error;
    const std::string trace = QDir::currentPath().toStdString() + "/ptt.trace";
    std::remove(trace.c_str());
    TraceWatch ptt(trace);

    settings.Put(keys::RTTYPort, 1);
    settings.Put(keys::RTTYBaud, 110);
    settings.Put(keys::Diddle, 0);
    settings.Put(keys::WordMode, 0);
    settings.PutText("Devices", "COM1",
                     std::string("audio:card,capture=") + PrivatePulseServer::kMonitorName
                         + ",playback=" + PrivatePulseServer::kSinkName + ",ptt=rts,pttdev=sim:quiet?trace=" + trace);
    rv = std::make_unique<CVELTRANView>(app, doc, status);
    rv->Link().Connect(false);
    rv->ApplyPortSettings();
    tv = std::make_unique<CVELTRANView3>(app, doc, status);
    tv->resize(400, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tv->m_bPortOpen != 0; }, 5000)) << "the sound-card port did not open";

    QTest::keyClicks(tv.get(), "cq test de w1aw 599");
    QTest::keyClick(tv.get(), Qt::Key_Return);
    tv->OnCommand(ID_TOOLS_TRANSMIT);
    const auto& rx = doc.GetList(CVELTRANDoc::kReceiveList);
    ASSERT_TRUE(QTest::qWaitFor([&] { return HasDecodedLine(rx, "CQ TEST DE W1AW 599"); }, 15000))
        << [&] { std::string all; for (std::string_view l : rx) all.append(l) += "|\n"; return all; }();
    tv->OnCommand(ID_TOOLS_RECEIVE);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const auto changes = ptt.Changes();
        return !changes.empty() && changes.back().first == false
            && std::any_of(changes.begin(), changes.end(), [](const auto& c) { return c.first; });
    }, 5000));
    std::this_thread::sleep_for(200ms);   // the monitor's last blocks
    sound.Stop();

    const auto changes = ptt.Changes();
    const auto up = std::find_if(changes.begin(), changes.end(), [](const auto& c) { return c.first; });
    const auto down = std::find_if(up, changes.end(), [](const auto& c) { return !c.first; });
    ASSERT_NE(down, changes.end());
    const Clock::time_point first = sound.FirstSound(), last = sound.LastStopEnd();
    ASSERT_NE(last, Clock::time_point{}) << "nothing was heard on the sink";
    // PTT's times are never too early (TraceWatch), the sound's are as
    // the stream's latency says.
    EXPECT_LT(up->second, first) << "PTT rose after the first sample";
    EXPECT_GT(down->second, last) << "PTT dropped before the last character had been sent";
    EXPECT_TRUE(std::none_of(down, changes.end(), [](const auto& c) { return c.first; })) << "keyed once";
}
