// Rig control figures against a real rigctld (Hamlib's dummy rig), one
// "name value unit" line each:
//   rig_poll_cpu_percent    CPU of this process over 20 s while the rig is
//                           polled at 1 Hz through rigctld (goal <= 0.1)
//   rig_ptt_latency_ms      the link keys (its SetRts, after its 100 ms
//                           wait) -> rigctld reports PTT on; median of 10
//                           transmissions on the simulated modem (goal <= 50)
//   rig_ptt_latency_ms_max  the largest of those
// Without rigctld (libhamlib-utils) nothing is measured and it says so.
#include "link/HamlibRig.h"
#include "link/PttRoutedPort.h"
#include "link/RigPttLine.h"
#include "link/SerialLink.h"
#include "link/SharedPortDevice.h"
#include "link/SimulatedModem.h"
#include "support/Rigctld.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

std::shared_ptr<HamlibRig> RigOn(const Rigctld& daemon)
{
    HamlibRigConfig config;
    config.model = HamlibRigConfig::kNetRigctl;
    config.port = daemon.Address();
    return std::make_shared<HamlibRig>(config);
}

bool WaitUp(const Rig& rig)
{
    const auto deadline = Clock::now() + 10s;
    while (rig.Reading().frequencyHz == 0) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// Notes when the link asks for PTT on, then passes the request on.
class TimedPtt : public PttLine {
public:
    TimedPtt(std::unique_ptr<PttLine> line, std::atomic<int64_t>& keyedAt) : m_line(std::move(line)), m_keyedAt(keyedAt) {}
    bool Open(std::string& error) override { return m_line->Open(error); }
    void Close() override { m_line->Close(); }
    void Set(bool keyed) override
    {
        if (keyed)
            m_keyedAt = Clock::now().time_since_epoch().count();
        m_line->Set(keyed);
    }
    bool IsKeyed() const override { return m_line->IsKeyed(); }
    bool IsDown() const override { return m_line->IsDown(); }

private:
    std::unique_ptr<PttLine> m_line;
    std::atomic<int64_t>& m_keyedAt;
};

void PollCpu(const Rigctld& daemon)
{
    auto rig = RigOn(daemon);
    if (!WaitUp(*rig)) {
        std::printf("rig_poll_cpu_percent nan percent\n");
        return;
    }
    const double cpu0 = ProcessCpuSeconds();
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(20s);
    const double cpu = ProcessCpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    std::printf("rig_poll_cpu_percent %.4f percent\n", 100.0 * cpu / wall);
}

void PttLatency(const Rigctld& daemon)
{
    auto rig = RigOn(daemon);
    if (!WaitUp(*rig)) {
        std::printf("rig_ptt_latency_ms nan ms\n");
        return;
    }
    std::atomic<int64_t> keyedAt{0};
    auto modem = std::make_shared<SimulatedModem>("");
    SerialLink link;
    link.SetDeviceOpener([&](int) {
        return std::make_unique<PttRoutedPort>(std::make_unique<SharedPortDevice>(modem),
                                               std::make_unique<TimedPtt>(std::make_unique<RigPttLine>(rig), keyedAt));
    });
    link.m_nBaud = 300;
    link.m_nByteSize = 5;
    link.m_bPttKeying = 1;
    link.Connect(true);
    std::vector<double> ms;
    for (int i = 0; i < 10; ++i) {
        keyedAt = 0;
        std::string text = "RY";
        link.SendText(text);
        const auto deadline = Clock::now() + 5s;
        while (keyedAt == 0 && Clock::now() < deadline)
            std::this_thread::sleep_for(100us);
        while (daemon.Ptt() != true && Clock::now() < deadline) {
        }
        const auto seen = Clock::now().time_since_epoch().count();
        if (keyedAt != 0 && Clock::now() < deadline)
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::duration(seen - keyedAt.load())).count());
        while ((link.m_bKeyed || daemon.Ptt() != false) && Clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
    }
    link.Connect(false);
    if (ms.empty()) {
        std::printf("rig_ptt_latency_ms nan ms\n");
        return;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("rig_ptt_latency_ms %.2f ms\n", ms[ms.size() / 2]);
    std::printf("rig_ptt_latency_ms_max %.2f ms\n", ms.back());
}

}  // namespace

int main()
{
    if (Rigctld::Program().empty()) {
        std::fprintf(stderr, "rigctld not installed (libhamlib-utils): no rig figures\n");
        return 0;
    }
    Rigctld daemon;
    if (!daemon.Running()) {
        std::fprintf(stderr, "rigctld did not start: no rig figures\n");
        return 1;
    }
    PttLatency(daemon);
    PollCpu(daemon);
    return 0;
}
