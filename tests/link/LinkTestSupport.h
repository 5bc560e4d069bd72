#pragma once
// A SerialLink on a simulated modem the test keeps hold of, with a way to wait
// (on a condition variable, never by polling) for received text.
#include "link/SerialLink.h"
#include "link/SharedPortDevice.h"
#include "link/SimulatedModem.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace linktest {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Generous limit for "this happens eventually": a hang detector, not a speed check.
constexpr auto kEventually = 20s;

// A SerialLink that counts its data-ready callbacks, so a test can wait for
// received text on a condition variable. Owners set the device opener.
struct WatchedLink {
    SerialLink link;
    std::mutex mutex;
    std::condition_variable ready;
    int readyCount = 0;   // guarded by mutex

    WatchedLink()
    {
        link.SetDataReadyCallback([this] {
            {
                std::lock_guard lock(mutex);
                ++readyCount;
            }
            ready.notify_all();
        });
    }

    // Takes received text until at least `n` bytes have come (or the limit).
    std::string Receive(size_t n)
    {
        std::string text;
        const auto deadline = Clock::now() + kEventually;
        std::unique_lock lock(mutex);
        for (;;) {
            const int seen = readyCount;
            lock.unlock();
            text += link.TakeReceived();
            lock.lock();
            if (text.size() >= n || link.IsDown())
                return text;
            if (!ready.wait_until(lock, deadline, [&] { return readyCount != seen; }))
                return text;
        }
    }

    // Waits until the data-ready callback has run `count` times in all.
    bool WaitReady(int count)
    {
        std::unique_lock lock(mutex);
        return ready.wait_for(lock, kEventually, [&] { return readyCount >= count; });
    }
};

struct SimLink : WatchedLink {
    std::shared_ptr<SimulatedModem> modem;

    explicit SimLink(std::string_view mode = {}) : modem(std::make_shared<SimulatedModem>(mode))
    {
        link.SetDeviceOpener([m = modem](int) { return std::make_unique<SharedPortDevice>(m); });
    }
    ~SimLink() { link.Connect(false); }

    void Open(uint32_t baud, uint8_t byteSize, bool ptt = false)
    {
        link.m_nBaud = baud;
        link.m_nByteSize = byteSize;
        link.m_bPttKeying = ptt ? 1 : 0;
        link.Connect(true);
    }

    bool WaitWrites(size_t n)
    {
        return modem->WaitFor([n](const std::vector<SimEvent>& log) { return CountWrites(log) >= n; },
                              kEventually);
    }

    static size_t CountWrites(const std::vector<SimEvent>& log)
    {
        size_t n = 0;
        for (const SimEvent& e : log)
            n += e.kind == SimEvent::Kind::Write;
        return n;
    }
};

inline std::vector<SimEvent> OfKind(const std::vector<SimEvent>& log, SimEvent::Kind kind)
{
    std::vector<SimEvent> out;
    for (const SimEvent& e : log)
        if (e.kind == kind)
            out.push_back(e);
    return out;
}

inline std::string Bytes(std::initializer_list<int> codes)
{
    std::string s;
    for (int c : codes)
        s.push_back(static_cast<char>(c));
    return s;
}

}  // namespace linktest
