// Serial link figures on the simulated modem, one "name value unit" line each:
//   link_idle_cpu_percent             CPU of the process over 10 s with an RTTY link
//                                     (45 baud, 5 bits) and a TNC link (9600) open, idle
//   link_tx_line_utilisation_percent  600 codes at 45 baud: characters per second
//                                     achieved over the line's 45 / 7
//   link_rx_latency_us_p99            a byte due on the line -> owner woken with it
//                                     (10,000 bytes at 19200 baud)
//   link_rx_throughput_cps            19200 baud 8N1 for 30 s
//   link_rx_lost_chars                bytes sent in that run and never received
#include "link/SerialLink.h"
#include "link/SharedPortDevice.h"
#include "link/SimulatedModem.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
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

std::shared_ptr<SimulatedModem> Attach(SerialLink& link, uint32_t baud, uint8_t bits, bool ptt)
{
    auto modem = std::make_shared<SimulatedModem>();
    link.SetDeviceOpener([modem](int) { return std::make_unique<SharedPortDevice>(modem); });
    link.m_nBaud = baud;
    link.m_nByteSize = bits;
    link.m_bPttKeying = ptt ? 1 : 0;
    link.Connect(true);
    return modem;
}

void IdleCpu()
{
    SerialLink rtty;
    SerialLink tnc;
    Attach(rtty, 45, 5, true);
    Attach(tnc, 9600, 8, false);
    rtty.m_bDiddle = 1;   // as the owner sets it; idle fill only runs while active
    rtty.Wake();
    const double cpu0 = ProcessCpuSeconds();
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(10s);
    const double cpu = ProcessCpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    std::printf("link_idle_cpu_percent %.3f %%\n", 100.0 * cpu / wall);
    std::fflush(stdout);
}

void TxUtilisation()
{
    SerialLink link;
    auto modem = Attach(link, 45, 5, true);
    std::string codes;
    for (int i = 0; i < 600; ++i)
        codes.push_back(i % 2 ? 21 : 10);   // RYRY...
    link.QueueText(codes);
    modem->WaitFor([&](const std::vector<SimEvent>& log) {
        size_t n = 0;
        for (const SimEvent& e : log)
            if (e.kind == SimEvent::Kind::Write)
                n += e.bytes.size();
        return n >= codes.size();
    }, 200s);
    Clock::time_point first{}, last{};
    size_t lastSize = 0, total = 0;
    for (const SimEvent& e : modem->Log()) {
        if (e.kind != SimEvent::Kind::Write)
            continue;
        if (total == 0)
            first = e.time;
        last = e.time;
        lastSize = e.bytes.size();
        total += lastSize;
    }
    const auto end = last + modem->CharTime() * static_cast<int64_t>(lastSize);
    const double seconds = std::chrono::duration<double>(end - first).count();
    const double achieved = static_cast<double>(total) / seconds;
    const double lineRate = 45.0 / 7.0;
    std::printf("link_tx_line_utilisation_percent %.2f %%\n", 100.0 * achieved / lineRate);
    std::fflush(stdout);
    link.Connect(false);
}

// Receives `count` bytes fed at line speed; returns each byte's latency from
// its due time to the owner's wake-up, and the time the last byte arrived.
struct RxRun {
    std::vector<double> latencyUs;
    size_t received = 0;
    size_t wrong = 0;
    double seconds = 0;
};

RxRun Receive(size_t count)
{
    SerialLink link;
    auto modem = Attach(link, 19200, 8, false);
    std::mutex mutex;
    std::condition_variable done;
    RxRun run;
    run.latencyUs.reserve(count);
    Clock::time_point firstDue{};
    Clock::time_point lastArrival{};
    const auto charTime = modem->CharTime();
    std::string payload;
    for (size_t i = 0; i < count; ++i)
        payload.push_back(static_cast<char>('!' + i % 90));
    bool started = false;
    link.SetDataReadyCallback([&] {
        const auto now = Clock::now();
        const std::string got = link.TakeReceived();
        std::lock_guard lock(mutex);
        if (!started)
            return;
        for (char c : got) {
            const size_t k = run.received++;
            if (k >= count || c != payload[k]) {
                ++run.wrong;
                continue;
            }
            const auto due = firstDue + charTime * static_cast<int64_t>(k);
            run.latencyUs.push_back(std::chrono::duration<double, std::micro>(now - due).count());
        }
        lastArrival = now;
        if (run.received >= count)
            done.notify_all();
    });
    {
        std::lock_guard lock(mutex);
        started = true;
        firstDue = modem->FeedAtLineSpeed(payload);
    }
    const auto limit = charTime * static_cast<int64_t>(count) + 10s;
    std::unique_lock lock(mutex);
    done.wait_for(lock, limit, [&] { return run.received >= count; });
    run.seconds = std::chrono::duration<double>(lastArrival - (firstDue - charTime)).count();
    lock.unlock();
    link.SetDataReadyCallback(nullptr);
    link.Connect(false);
    return run;
}

void RxLatency()
{
    RxRun run = Receive(10000);
    std::sort(run.latencyUs.begin(), run.latencyUs.end());
    const double p99 = run.latencyUs.empty() ? -1 : run.latencyUs[run.latencyUs.size() * 99 / 100];
    if (std::getenv("LINK_BENCH_VERBOSE") && !run.latencyUs.empty())
        std::fprintf(stderr, "latency p50 %.1f p90 %.1f max %.1f us\n", run.latencyUs[run.latencyUs.size() / 2],
                     run.latencyUs[run.latencyUs.size() * 9 / 10], run.latencyUs.back());
    std::printf("link_rx_latency_us_p99 %.1f us\n", p99);
    std::fflush(stdout);
}

void RxThroughput()
{
    const size_t count = 1920 * 30;
    const RxRun run = Receive(count);
    const size_t good = run.received - std::min(run.received, run.wrong);
    std::printf("link_rx_throughput_cps %.1f chars/s\n", static_cast<double>(good) / run.seconds);
    std::printf("link_rx_lost_chars %zu chars\n", count - std::min(count, good));
    std::fflush(stdout);
}

}  // namespace

// With arguments, runs only the named parts: idle, tx, latency, throughput.
int main(int argc, char** argv)
{
    const std::vector<std::string> only(argv + 1, argv + argc);
    auto wanted = [&](const char* part) {
        return only.empty() || std::find(only.begin(), only.end(), part) != only.end();
    };
    if (wanted("idle"))
        IdleCpu();
    if (wanted("tx"))
        TxUtilisation();
    if (wanted("latency"))
        RxLatency();
    if (wanted("throughput"))
        RxThroughput();
    return 0;
}
