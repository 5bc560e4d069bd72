#include "link/SerialLink.h"
#include "link/SerialLinkTiming.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

using namespace seriallink;

SerialLink::SerialLink() = default;

SerialLink::~SerialLink()
{
    Connect(false);
}

bool SerialLink::PortUsable() const
{
    return m_hPort && !m_bDown.load();
}

void SerialLink::Notify()
{
    {
        MutexLock lock(m_txMutex);
        ++m_nTxWakeGen;
    }
    m_clock->NotifyAll(m_txWake);
}

void SerialLink::Wake()
{
    Notify();
}

uint32_t SerialLink::WriteTimeoutMs(size_t len) const
{
    // 19200 / baud ms per byte (426 at 45 baud). Above 19200 baud the division
    // gives 0, which would make every write that must wait for room fail at
    // once: keep at least 1 ms per byte.
    const uint32_t perByte = std::max<uint32_t>(1, 19200 / std::max<uint32_t>(1, m_nBaud));
    return static_cast<uint32_t>(std::min<uint64_t>(uint64_t{perByte} * len, UINT32_MAX));
}

// ---- opening and closing -------------------------------------------------

void SerialLink::Connect(bool open)
{
    if (!open) {
        // A transmission ends with its port: opened again, the link keys
        // only when asked again.
        m_bRunning = 0;
        m_bTxActive = 0;
        Notify();
        // Release anything blocked on the device first: a write waiting for
        // room on a stalled line, the receive thread's wait, a key's waits.
        if (m_hPort)
            m_hPort->Cancel();
        {
            // A key under way is abandoned; an unkey finishes its tail.
            MutexLock lock(m_keyMutex);
            ++m_nKeyCut;
        }
        m_clock->NotifyAll(m_keyChanged);
        JoinThread(m_txThread);
        if (m_hPort) {
            PurgeLineOutput();
            CutKeying();
            m_hPort->Purge();
        }
        JoinThread(m_rxThread);
        if (m_hPort) {
            m_hPort->Close();
            m_hPort.reset();
        }
        m_bOpen = false;
        m_nOpenError = 0;
        m_strOpenError.clear();
        return;
    }

    // A link whose device went away is open in name only: opening it again
    // lets go of the dead device and opens afresh (an adapter plugged in again).
    if (m_hPort && m_bDown)
        Connect(false);
    if (m_hPort || !m_opener)
        return;
    // A line speed of 0 is no speed at all: the port stays closed and says why.
    if (m_nBaud == 0) {
        m_nOpenError = EINVAL;
        m_strOpenError.clear();
        return;
    }
    std::unique_ptr<PortDevice> device = m_opener(static_cast<int>(m_nPort));
    if (!device) {
        m_nOpenError = ENODEV;
        m_strOpenError.clear();
        return;
    }
    LineSettings settings;
    settings.baud = m_nBaud;
    settings.dataBits = m_nByteSize;
    settings.parity = m_nParity;
    settings.stopBits = m_nStopBits;
    settings.pttKeying = m_bPttKeying != 0;
    if (!device->Open(settings)) {
        const int error = device->OpenError();
        m_nOpenError = error ? error : EIO;
        m_strOpenError = device->OpenErrorText();
        return;
    }
    m_nOpenError = 0;
    m_strOpenError.clear();

    m_hPort = std::move(device);
    m_bDown = false;
    m_charTime = LineCharTime(m_hPort->ActualLine(settings));
    {
        MutexLock lock(m_txMutex);
        m_nWritesStarted = 0;
        m_nWritesDrained = 0;
        m_bTxWriting = false;
        m_bLastWriteFill = false;
        m_tLineFree = m_clock->Now();
        m_tTextFree = m_tLineFree;
        m_tDrained = m_tLineFree;
        m_bLineCut = false;
        // Nothing has been written on this port yet, so nothing waits to drain.
        m_bTxEmpty = 1;
    }
    m_bOpen = true;
    m_bDataReady = 0;
    m_bRunning = 1;
    {
        // The starting state of the lines, before either thread runs: a
        // transmit thread keying for text already queued must find it set.
        MutexLock keyLock(m_keyMutex);
        m_bLineUp = false;
        if (!m_bPttKeying) {
            m_hPort->SetRts(true);
            m_hPort->SetDtr(true);
        } else {
            // The transmitter starts unkeyed, and DTR stays low from here to
            // the close: the system raises both lines when a tty opens, and
            // interfaces that key PTT or CW on DTR would otherwise put the
            // transmitter on the air for the whole session.
            m_bKeyed = 0;
            m_hPort->SetRts(false);
            m_hPort->SetDtr(false);
        }
    }
    if (!StartThread(m_rxThread, &SerialLink::ReceiveThread))
        return;
    m_clock->SleepFor(kOpenSettle);
    // Nothing is sent before the line has settled, and an owner that puts
    // the link in receive right after opening does so before the transmit
    // thread could have keyed.
    StartThread(m_txThread, &SerialLink::TransmitThread);
}

bool SerialLink::StartThread(std::thread& thread, void (SerialLink::*body)())
{
    // Each thread is counted by the clock from before it starts; it leaves
    // the count as it ends.
    m_clock->Enter();
    try {
        thread = std::thread(body, this);
        return true;
    } catch (...) {
        m_clock->Leave();
        m_bRunning = 0;
        return false;
    }
}

void SerialLink::JoinThread(std::thread& thread)
{
    // The owner blocks outside the clock while the thread finishes, which
    // may be an unkey's tail on that clock.
    if (!thread.joinable())
        return;
    m_clock->Leave();
    thread.join();
    m_clock->Enter();
}

std::string SerialLink::DownReason() const
{
    return m_hPort && m_bDown ? m_hPort->DownReason() : std::string();
}

void SerialLink::SetClock(LinkClock& clock)
{
    m_clock = &clock;
}

void SerialLink::SetDeviceOpener(std::function<std::unique_ptr<PortDevice>(int port)> opener)
{
    m_opener = std::move(opener);
}

void SerialLink::SetDataReadyCallback(std::function<void()> callback)
{
    auto shared = callback ? std::make_shared<const std::function<void()>>(std::move(callback)) : nullptr;
    MutexLock lock(m_rxMutex);
    m_onDataReady = std::move(shared);
}

void SerialLink::DataReady()
{
    std::shared_ptr<const std::function<void()>> callback;
    {
        MutexLock lock(m_rxMutex);
        callback = m_onDataReady;
    }
    if (callback)
        (*callback)();
}

void SerialLink::MarkDown()
{
    if (m_bDown.exchange(true))
        return;
    Notify();
    DataReady();   // lets the owner notice: IsDown() now answers true
}

