#include "link/SimulatedModem.h"

#include "link/BaudotText.h"

#include <algorithm>

namespace {

constexpr const char* kDemoCall = "CQ CQ DE W1AW W1AW K";

// Start bit, data bits and stop bits (one, one and a half or two) at the
// exact rate when there is one; the simulated line has no parity bit.
std::chrono::nanoseconds SimCharTime(const LineSettings& s)
{
    const uint64_t rate = s.baudHundredths ? s.baudHundredths : 100ull * (s.baud ? s.baud : 1);
    const uint64_t halfBits = 2 + 2ull * s.dataBits + (s.stopBits == 1 ? 3 : (s.stopBits == 2 ? 4 : 2));
    return std::chrono::nanoseconds((halfBits * 100000000000ull + 2 * rate - 1) / (2 * rate));
}

std::string RateText(const LineSettings& s)
{
    if (s.baudHundredths == 0 || s.baudHundredths % 100 == 0)
        return std::to_string(s.baudHundredths ? s.baudHundredths / 100 : s.baud);
    char buf[24];
    std::snprintf(buf, sizeof buf, "%u.%02u", s.baudHundredths / 100, s.baudHundredths % 100);
    return buf;
}

}  // namespace

SimulatedModem::SimulatedModem(std::string_view mode)
{
    // One parse for every option, so a trace combines with a peer's options
    // ("band?seed=7&trace=/tmp/k").
    const SimOptions options = SimOptions::Parse(mode);
    m_strTracePath = options.Text("trace");
    m_peer = MakeSimPeer(options);
    m_bDemo = options.mode == "demo";
    m_bLoopback = m_bDemo || options.mode == "loopback";
    m_nFifo = static_cast<size_t>(std::clamp<long long>(options.Integer("fifo", 1), 1, 4096));
    m_charTime = SimCharTime(m_settings);
}

void SimulatedModem::SetClock(LinkClock& clock)
{
    MutexLock lock(m_mutex);
    m_clock = &clock;
    m_wait.SetClock(clock);
}

SimulatedModem::~SimulatedModem()
{
    Close();
}

void SimulatedModem::TraceLocked(const std::string& line)
{
    if (!m_trace)
        return;
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(m_clock->Now() - m_tOpened);
    std::fprintf(m_trace, "%lld %s\n", static_cast<long long>(us.count()), line.c_str());
    std::fflush(m_trace);
}

void SimulatedModem::RecordLocked(SimEvent::Kind kind, std::string bytes, bool level, uint32_t timeoutMs,
                                  Clock::time_point ends, Clock::time_point at)
{
    if (m_trace) {
        static constexpr char kHex[] = "0123456789abcdef";
        std::string line;
        switch (kind) {
        case SimEvent::Kind::Open:
            line = "open " + RateText(m_settings) + " " + std::to_string(m_settings.dataBits);
            break;
        case SimEvent::Kind::Write:
            line = "write ";
            for (unsigned char c : bytes) {
                line += kHex[c >> 4];
                line += kHex[c & 15];
            }
            break;
        case SimEvent::Kind::Rts: line = level ? "rts 1" : "rts 0"; break;
        case SimEvent::Kind::Dtr: line = level ? "dtr 1" : "dtr 0"; break;
        case SimEvent::Kind::Purge: line = "purge"; break;
        case SimEvent::Kind::PurgeOutput: line = "purge tx"; break;
        case SimEvent::Kind::Close: line = "close"; break;
        }
        TraceLocked(line);
    }
    m_log.push_back(SimEvent{kind, at == Clock::time_point{} ? m_clock->Now() : at, std::move(bytes), level,
                             timeoutMs, ends});
    m_clock->NotifyAll(m_changed);
}

bool SimulatedModem::Open(const LineSettings& settings)
{
    MutexLock lock(m_mutex);
    ++m_nOpens;
    if (m_bOpenFails || m_bOpen)
        return false;
    m_settings = settings;
    m_charTime = SimCharTime(settings);
    m_bOpen = true;
    m_bDown = false;
    m_wait.Reset();
    m_bDrainPending = false;
    m_nWrites = 0;
    m_nStalledBytes = 0;
    const auto now = m_clock->Now();
    m_busyUntil = now;
    m_tOpened = now;
    if (!m_strTracePath.empty() && !m_trace)
        m_trace = std::fopen(m_strTracePath.c_str(), "a");
    RecordLocked(SimEvent::Kind::Open);
    // Opening a tty raises both lines; lowering them is left to the link,
    // so tests see whether it does.
    m_bRts = true;
    m_bDtr = true;
    m_rx.clear();
    m_rxScheduledUntil = now;
    RecordLocked(SimEvent::Kind::Purge);
    m_nextDemo = m_bDemo ? now + m_demoFirst : Clock::time_point::max();
    if (m_peer)
        ScheduleLocked(m_peer->Opened(settings, now), now);
    return true;
}

void SimulatedModem::Close()
{
    MutexLock lock(m_mutex);
    if (!m_bOpen)
        return;
    m_bOpen = false;
    m_rx.clear();
    m_nextDemo = Clock::time_point::max();
    if (m_peer)
        m_peer->Closed();
    RecordLocked(SimEvent::Kind::Close);
    if (m_trace) {
        std::fclose(m_trace);
        m_trace = nullptr;
    }
}

std::string SimulatedModem::DemoCallLocked() const
{
    const std::string text = std::string("\r\n") + kDemoCall + "\r\n";
    return m_settings.dataBits == 5 ? EncodeBaudotText(text) : text;
}

void SimulatedModem::PlayDemoLocked(Clock::time_point now)
{
    if (m_settings.dataBits == 5 || m_settings.dataBits == 7) {
        ScheduleLocked(DemoCallLocked(), now);
        m_nextDemo = now + m_demoInterval;
    } else {
        m_nextDemo = Clock::time_point::max();   // the TNC demo only answers
    }
}

SimulatedModem::Clock::time_point SimulatedModem::ScheduleLocked(std::string_view bytes,
                                                                  Clock::time_point after)
{
    Clock::time_point t = std::max(after, m_rxScheduledUntil);
    Clock::time_point first = t + m_charTime;
    const size_t firstNew = m_rx.size();
    for (char ch : bytes) {
        t += m_charTime;
        m_rx.push_back(Due{t, static_cast<uint8_t>(ch)});
    }
    m_rxScheduledUntil = t;
    // A receive FIFO hands bytes over a group at a time: each becomes
    // readable with the last of its group (or of this burst).
    if (m_nFifo > 1 && m_rx.size() > firstNew) {
        for (size_t i = firstNew; i < m_rx.size(); i += m_nFifo) {
            const size_t end = std::min(i + m_nFifo, m_rx.size());
            for (size_t k = i; k + 1 < end; ++k)
                m_rx[k].when = m_rx[end - 1].when;
        }
        first = m_rx[std::min(firstNew + m_nFifo, m_rx.size()) - 1].when;
    }
    m_clock->NotifyAll(m_changed);
    return first;
}

PortEvents SimulatedModem::WaitEvents()
{
    MutexLock lock(m_mutex);
    PortEvents ev;
    for (;;) {
        if (m_wait.Ends(ev, m_bOpen && !m_bDown))
            return ev;
        auto now = m_clock->Now();
        if (now >= m_nextDemo)
            PlayDemoLocked(now);
        if (m_peer && now >= m_peer->NextDue())
            ScheduleLocked(m_peer->Take(now), now);
        if (!m_rx.empty() && m_rx.front().when <= now)
            ev.flags |= PortEvents::kRxReady;
        const bool canDrain = m_bDrainPending && !m_bStalled;
        if (canDrain && now >= m_busyUntil) {
            m_bDrainPending = false;
            ev.flags |= PortEvents::kDrained;
            ev.drainedWrites = m_nWrites;
            TraceLocked("drained");
        }
        if (ev.flags)
            return ev;
        Clock::time_point until = m_nextDemo;
        if (m_peer)
            until = std::min(until, m_peer->NextDue());
        if (!m_rx.empty())
            until = std::min(until, m_rx.front().when);
        if (canDrain)
            until = std::min(until, m_busyUntil);
        m_wait.Sleep(lock, until);
    }
}

size_t SimulatedModem::Read(uint8_t* buffer, size_t max)
{
    MutexLock lock(m_mutex);
    if (!m_bOpen || m_bDown)
        return 0;
    const auto now = m_clock->Now();
    size_t n = 0;
    while (n < max && !m_rx.empty() && m_rx.front().when <= now) {
        const uint8_t b = m_rx.front().byte;
        m_rx.pop_front();
        if (b != 0)   // zero bytes are dropped, as a real port set up by the link does
            buffer[n++] = b;
    }
    return n;
}

size_t SimulatedModem::Write(const uint8_t* data, size_t len, uint32_t timeoutMs)
{
    MutexLock lock(m_mutex);
    ++m_nWrites;
    if (!m_bOpen || m_bDown)
        return 0;
    size_t take = len;
    if (m_bStalled) {
        const auto deadline = m_clock->Now() + std::chrono::milliseconds(timeoutMs);
        while (m_bStalled && !m_wait.Cancelled() && !m_bDown && m_nStalledBytes + len > m_nStallCapacity) {
            if (!m_clock->WaitUntil(m_changed, lock, deadline))
                break;
        }
        if (m_bDown || !m_bOpen)
            return 0;
        if (m_bStalled) {
            take = std::min(len, m_nStallCapacity - std::min(m_nStallCapacity, m_nStalledBytes));
            m_nStalledBytes += take;
        }
    }
    // One reading of the clock: the write's time in the log is the moment
    // its pacing starts from, so the gap between two logged writes is never
    // shorter than the line took for the first.
    const auto now = m_clock->Now();
    const auto start = std::max(now, m_busyUntil);
    m_busyUntil = start + m_charTime * static_cast<int64_t>(take);
    m_bDrainPending = true;
    const std::string bytes(reinterpret_cast<const char*>(data), take);
    if (m_bLoopback)
        ScheduleLocked(bytes, start);
    if (m_bDemo && m_settings.dataBits == 8 && bytes.find('\r') != std::string::npos)
        ScheduleLocked("\ncmd:", start);
    if (m_peer)
        ScheduleLocked(m_peer->Written(bytes, m_busyUntil), start);
    RecordLocked(SimEvent::Kind::Write, bytes, false, timeoutMs, m_busyUntil, now);
    return take;
}

void SimulatedModem::SetRts(bool on)
{
    MutexLock lock(m_mutex);
    if (!m_bOpen || m_bDown)
        return;
    m_bRts = on;
    if (m_peer)
        m_peer->Rts(on, m_clock->Now());
    RecordLocked(SimEvent::Kind::Rts, {}, on);
}

void SimulatedModem::SetDtr(bool on)
{
    MutexLock lock(m_mutex);
    if (!m_bOpen || m_bDown)
        return;
    m_bDtr = on;
    RecordLocked(SimEvent::Kind::Dtr, {}, on);
}

void SimulatedModem::Purge()
{
    MutexLock lock(m_mutex);
    if (!m_bOpen || m_bDown)
        return;
    m_rx.clear();
    const auto now = m_clock->Now();
    m_rxScheduledUntil = now;
    m_busyUntil = std::min(m_busyUntil, now);
    m_nStalledBytes = 0;
    RecordLocked(SimEvent::Kind::Purge);
}

void SimulatedModem::PurgeOutput()
{
    MutexLock lock(m_mutex);
    if (!m_bOpen || m_bDown)
        return;
    // What was still to go is cut off where it stands; the drain it waited
    // for is due at once.
    const auto now = m_clock->Now();
    m_busyUntil = std::min(m_busyUntil, now);
    m_nStalledBytes = 0;
    RecordLocked(SimEvent::Kind::PurgeOutput);
}

void SimulatedModem::Wake()
{
    MutexLock lock(m_mutex);
    m_wait.Wake();
}

void SimulatedModem::Cancel()
{
    MutexLock lock(m_mutex);
    m_wait.Cancel();
}

bool SimulatedModem::IsDown() const
{
    MutexLock lock(m_mutex);
    return m_bDown;
}

void SimulatedModem::SetLoopback(bool on)
{
    MutexLock lock(m_mutex);
    m_bLoopback = on;
}

void SimulatedModem::SetStalled(bool stalled, size_t capacity)
{
    MutexLock lock(m_mutex);
    m_bStalled = stalled;
    m_nStallCapacity = capacity;
    if (!stalled) {
        m_nStalledBytes = 0;
        m_busyUntil = std::max(m_busyUntil, m_clock->Now());
    }
    m_clock->NotifyAll(m_changed);
}

void SimulatedModem::SetOpenFails(bool fails)
{
    MutexLock lock(m_mutex);
    m_bOpenFails = fails;
}

void SimulatedModem::SetDemoTiming(std::chrono::milliseconds first, std::chrono::milliseconds interval)
{
    MutexLock lock(m_mutex);
    m_demoFirst = first;
    m_demoInterval = interval;
    if (m_bOpen && m_bDemo)
        m_nextDemo = m_clock->Now() + first;
    m_clock->NotifyAll(m_changed);
}

void SimulatedModem::Feed(std::string_view bytes)
{
    MutexLock lock(m_mutex);
    const auto now = m_clock->Now();
    for (char ch : bytes)
        m_rx.push_back(Due{now, static_cast<uint8_t>(ch)});
    m_rxScheduledUntil = std::max(m_rxScheduledUntil, now);
    m_clock->NotifyAll(m_changed);
}

SimulatedModem::Clock::time_point SimulatedModem::FeedAtLineSpeed(std::string_view bytes)
{
    MutexLock lock(m_mutex);
    return ScheduleLocked(bytes, m_clock->Now());
}

void SimulatedModem::Vanish()
{
    MutexLock lock(m_mutex);
    m_bDown = true;
    m_clock->NotifyAll(m_changed);
}

std::vector<SimEvent> SimulatedModem::Log() const
{
    MutexLock lock(m_mutex);
    return m_log;
}

std::vector<std::string> SimulatedModem::Writes() const
{
    MutexLock lock(m_mutex);
    std::vector<std::string> writes;
    for (const SimEvent& e : m_log)
        if (e.kind == SimEvent::Kind::Write)
            writes.push_back(e.bytes);
    return writes;
}

bool SimulatedModem::Rts() const
{
    MutexLock lock(m_mutex);
    return m_bRts;
}

bool SimulatedModem::Dtr() const
{
    MutexLock lock(m_mutex);
    return m_bDtr;
}

bool SimulatedModem::IsOpen() const
{
    MutexLock lock(m_mutex);
    return m_bOpen;
}

LineSettings SimulatedModem::Settings() const
{
    MutexLock lock(m_mutex);
    return m_settings;
}

int SimulatedModem::OpenCount() const
{
    MutexLock lock(m_mutex);
    return m_nOpens;
}

std::chrono::nanoseconds SimulatedModem::CharTime() const
{
    MutexLock lock(m_mutex);
    return m_charTime;
}

bool SimulatedModem::WaitFor(const std::function<bool(const std::vector<SimEvent>&)>& done,
                             std::chrono::milliseconds limit) const
{
    MutexLock lock(m_mutex);
    const auto deadline = m_clock->Now() + limit;
    while (!done(m_log)) {
        if (!m_clock->WaitUntil(m_changed, lock, deadline))
            return done(m_log);
    }
    return true;
}
