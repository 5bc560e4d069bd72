#include "link/SerialLink.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace {

// The transmitter needs this long after RTS rises before the first character,
// and the last character this long before RTS falls.
constexpr std::chrono::milliseconds kKeyingWait{100};
constexpr std::chrono::microseconds kMaxOutputLead = kKeyingWait / 2;
// The line settles after opening before anything is sent.
constexpr std::chrono::milliseconds kOpenSettle{100};

}  // namespace

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

// ---- keying ----------------------------------------------------------------

void SerialLink::WaitKeyIdleLocked(MutexLock& lock)
{
    while (m_bKeyBusy)
        m_clock->Wait(m_keyChanged, lock);
}

bool SerialLink::PauseUnlessCut(MutexLock& lock, std::chrono::steady_clock::time_point deadline,
                                const uint64_t& counter, uint64_t cut)
{
    while (counter == cut) {
        if (m_clock->Now() >= deadline)
            return true;
        m_clock->WaitUntil(m_keyChanged, lock, deadline);
    }
    return false;
}

void SerialLink::DropLineLocked(MutexLock& lock)
{
    if (!m_bLineUp)
        return;
    m_bLineUp = false;
    if (!PortUsable())
        return;
    // m_bKeyBusy keeps every other key and unkey out while the device
    // confirms (a rig's CAT command takes its time). The caller's lock
    // holds m_keyMutex, let go here and taken back.
    (void)lock;
    m_keyMutex.unlock();
    m_hPort->KeyPtt(false);
    m_keyMutex.lock();
}

void SerialLink::KeyTransmitter()
{
    Key(false);
}

bool SerialLink::KeyToSend()
{
    return Key(true);
}

bool SerialLink::Key(bool toSend)
{
    bool failed = false;
    {
        MutexLock lock(m_keyMutex);
        WaitKeyIdleLocked(lock);
        if (toSend && (m_bTxHold || !m_bRunning))
            return false;
        if (m_bKeyed)
            return true;
        m_bKeyed = 1;
        if (!m_bPttKeying)
            return true;
        m_bKeyBusy = true;
        const uint64_t cut = m_nKeyCut;
        bool keyed = PauseUnlessCut(lock, m_clock->Now() + kKeyingWait, m_nKeyCut, cut);
        if (keyed && PortUsable()) {
            m_bLineUp = true;
            lock.Unlock();
            const bool confirmed = m_hPort->KeyPtt(true);
            const std::string why = confirmed ? std::string() : m_hPort->PttFailureText();
            lock.Lock();
            if (!confirmed) {
                m_strKeyFailure = why.empty() ? std::string("PTT was not confirmed") : why;
                keyed = false;
                failed = true;
            } else {
                // A device that holds its output back (a sound card's
                // playback buffer) gets the first text sooner by that much,
                // never by more than half the wait, so a wrong report can't
                // cut into the time the radio needs to switch over.
                const auto lead = std::clamp(m_hPort->OutputLead(), std::chrono::microseconds{}, kMaxOutputLead);
                keyed = PauseUnlessCut(lock, m_clock->Now() + (kKeyingWait - lead), m_nKeyCut, cut);
            }
            if (!keyed)
                DropLineLocked(lock);
        }
        if (!keyed)
            m_bKeyed = 0;
        m_bKeyBusy = false;
        m_clock->NotifyAll(m_keyChanged);
        if (keyed)
            return true;
    }
    if (failed) {
        // Never on the air unkeyed: what was to go is dropped, and the
        // owner is told why.
        {
            MutexLock lock(m_txMutex);
            ++m_nClearGen;
            m_strTxQueue.clear();
            m_strTxOut.clear();
            m_bTxActive = 0;
            ++m_nTxWakeGen;
        }
        m_clock->NotifyAll(m_txWake);
    }
    return false;
}

void SerialLink::UnkeyTransmitter()
{
    Unkey(std::nullopt, false);
}

void SerialLink::Unkey(std::optional<std::chrono::steady_clock::time_point> tailEnd, bool onlyIfFinished)
{
    MutexLock lock(m_keyMutex);
    WaitKeyIdleLocked(lock);
    if (!m_bKeyed)
        return;
    if (onlyIfFinished) {
        // The owner may have keyed for a new transmission since the
        // transmit thread found the text finished.
        if (m_bTxActive)
            return;
        MutexLock txLock(m_txMutex);
        if (!m_strTxQueue.empty() || !m_strTxOut.empty())
            return;
    }
    m_bKeyed = 0;
    if (!m_bPttKeying)
        return;
    m_bKeyBusy = true;
    const uint64_t cut = m_nDropCut;
    // The tail counts from now when the caller gave no moment: a key that
    // was still under way has only just finished.
    PauseUnlessCut(lock, tailEnd ? *tailEnd : m_clock->Now() + kKeyingWait, m_nDropCut, cut);
    DropLineLocked(lock);
    PauseUnlessCut(lock, m_clock->Now() + kKeyingWait, m_nDropCut, cut);
    m_bKeyBusy = false;
    m_clock->NotifyAll(m_keyChanged);
}

void SerialLink::CutKeying()
{
    MutexLock lock(m_keyMutex);
    ++m_nKeyCut;
    ++m_nDropCut;
    m_clock->NotifyAll(m_keyChanged);
    WaitKeyIdleLocked(lock);
    m_bKeyed = 0;
    m_bKeyBusy = true;
    DropLineLocked(lock);
    m_bKeyBusy = false;
    m_clock->NotifyAll(m_keyChanged);
}

std::string SerialLink::TakeKeyFailure()
{
    MutexLock lock(m_keyMutex);
    std::string why;
    why.swap(m_strKeyFailure);
    return why;
}

void SerialLink::PurgeLineOutput()
{
    if (PortUsable())
        m_hPort->PurgeOutput();
    {
        // What was on the line is gone: it is free now, and every write
        // that has returned counts as drained.
        MutexLock lock(m_txMutex);
        m_tLineFree = std::min(m_tLineFree, m_clock->Now());
        m_tTextFree = std::min(m_tTextFree, m_tLineFree);
        m_bLineCut = true;
        if (!m_bTxWriting) {
            m_nWritesDrained = m_nWritesStarted;
            m_bTxEmpty = 1;
        }
        ++m_nTxWakeGen;
    }
    m_clock->NotifyAll(m_txWake);
}

void SerialLink::EndTransmission()
{
    {
        // A key under way is abandoned whatever happens next, no new write
        // starts until this is over, and one under way is let finish, so
        // what it hands the device is purged with the rest.
        MutexLock lock(m_keyMutex);
        ++m_nKeyCut;
        m_bEnding = true;
        m_clock->NotifyAll(m_keyChanged);
        while (m_bWriteGate)
            m_clock->Wait(m_keyChanged, lock);
    }
    EndTransmissionNoWrites();
    {
        MutexLock lock(m_keyMutex);
        m_bEnding = false;
    }
    m_clock->NotifyAll(m_keyChanged);
}

void SerialLink::EndTransmissionNoWrites()
{
    const auto now = m_clock->Now();
    bool busy = false;
    bool textOnLine = false;
    std::chrono::steady_clock::time_point lineFree;
    std::chrono::steady_clock::time_point textFree;
    {
        MutexLock lock(m_txMutex);
        busy = !LineIdleLocked(now);
        textOnLine = m_bTxWriting ? !m_bWritingFill : m_tTextFree > now;
        // The tail is owed to text: idle fill that has left the line (the
        // link held after it) counts no more than fill cut off below.
        lineFree = m_bLastWriteFill ? m_tTextFree : std::max(m_tLineFree, m_tDrained);
        textFree = m_tTextFree;
    }
    if (!busy) {
        Unkey(std::max(now, lineFree + kKeyingWait), false);
        return;
    }
    PurgeLineOutput();
    if (textOnLine) {
        CutKeying();   // the operator cuts the text off: off the air now
        return;
    }
    // Only idle fill was going out: it is gone, and the text before it
    // keeps its tail.
    Unkey(std::max(now, textFree + kKeyingWait), false);
}

void SerialLink::StopSending()
{
    // Hold first: a key for text that starts after this point is refused,
    // one already under way is cut short below.
    m_bTxHold = 1;
    m_bTxActive = 0;
    Notify();
    EndTransmission();
}

// ---- receiving -------------------------------------------------------------

namespace {

// Ends a link thread's count on its clock, however the thread leaves.
struct ClockLeave {
    LinkClock& clock;
    ~ClockLeave() { clock.Leave(); }
};

}  // namespace

void SerialLink::ReceiveThread()
{
    const ClockLeave leave{*m_clock};
    // The lines were set before the threads started; an unkey here would
    // race the transmit thread keying for text already queued.
    while (m_bRunning && !m_bDown) {
        const PortEvents ev = m_hPort->WaitEvents();
        if (ev.flags & PortEvents::kDown) {
            MarkDown();
            break;
        }
        if (ev.flags & PortEvents::kRxReady)
            ReadAvailable();
        if (ev.flags & PortEvents::kDrained)
            OnDrained(ev.drainedWrites);
        if (ev.flags & PortEvents::kCancelled)
            break;
        if (m_hPort->IsDown()) {
            MarkDown();
            break;
        }
    }
    UnkeyTransmitter();
}

void SerialLink::ReadAvailable()
{
    uint8_t buffer[kReadMax + 1];
    const size_t count = m_hPort->Read(buffer, kReadMax);
    if (count == 0)
        return;
    {
        MutexLock lock(m_rxMutex);
        size_t kept = 0;
        for (size_t i = 0; i < count; ++i) {
            const char c = m_nByteSize == 5 ? DecodeCode(buffer[i]) : static_cast<char>(buffer[i]);
            if (c != 0)
                buffer[kept++] = static_cast<uint8_t>(c);
        }
        if (kept == 0)
            return;   // only shift codes: nothing to hand over
        m_strReceived.append(reinterpret_cast<const char*>(buffer), kept);
        m_bDataReady = 1;
    }
    DataReady();
}

std::string SerialLink::TakeReceived()
{
    std::string taken;
    MutexLock lock(m_rxMutex);
    m_bDataReady = 0;
    taken.swap(m_strReceived);
    return taken;
}

void SerialLink::InjectTestMessage(bool testMode)
{
    if (!testMode)
        return;
    {
        MutexLock lock(m_rxMutex);
        m_strReceived += kTestText;
        m_bDataReady = 1;
    }
    DataReady();
}

void SerialLink::SetExtended(bool on)
{
    MutexLock lock(m_rxMutex);
    m_bExtended = on ? 1 : 0;
}

void SerialLink::InvertReceiveShift()
{
    MutexLock lock(m_rxMutex);
    m_bRxFigures = m_bRxFigures ? 0 : 1;
}

void SerialLink::SetReceiveShift(bool figures)
{
    MutexLock lock(m_rxMutex);
    m_bRxFigures = figures ? 1 : 0;
}

void SerialLink::EchoThroughCodec(std::string& text, int stream)
{
    MutexLock lock(m_rxMutex);
    BaudotCodec::EchoThroughCodec(text, stream);
}

// ---- transmitting ----------------------------------------------------------

void SerialLink::TransmitThread()
{
    const ClockLeave leave{*m_clock};
    MutexLock lock(m_txMutex);
    while (m_bRunning && !m_bDown) {
        const uint64_t seen = m_nTxWakeGen;
        lock.Unlock();
        const bool again = TxStep();
        lock.Lock();
        if (again)
            continue;
        // Sleep until there is news, or until the line time TxStep asked to
        // look again at has passed.
        while (m_nTxWakeGen == seen && m_bRunning) {
            if (m_tTxRecheck == std::chrono::steady_clock::time_point::max())
                m_clock->Wait(m_txWake, lock);
            else if (!m_clock->WaitUntil(m_txWake, lock, m_tTxRecheck))
                break;
        }
    }
}

void SerialLink::OnDrained(uint64_t drainedWrites)
{
    {
        MutexLock lock(m_txMutex);
        // A drain that does not cover the latest write started (it was
        // reported just as the transmit thread began the next one) must not
        // release the write after it, nor let the transmitter unkey early.
        if (drainedWrites < m_nWritesStarted)
            return;
        m_nWritesDrained = drainedWrites;
        m_bTxEmpty = 1;
        m_tDrained = m_clock->Now();
        if (!m_bLastWriteFill)
            m_tTextFree = std::max(m_tTextFree, m_tDrained);
        ++m_nTxWakeGen;
    }
    m_clock->NotifyAll(m_txWake);
}

bool SerialLink::NothingOutstandingLocked() const
{
    return !m_bTxWriting && m_nWritesDrained >= m_nWritesStarted;
}

bool SerialLink::LineIdleLocked(std::chrono::steady_clock::time_point now) const
{
    return !m_bTxWriting && m_nWritesDrained >= m_nWritesStarted && now >= m_tLineFree;
}

bool SerialLink::IsLineQuiet() const
{
    if (!m_bOpen || m_bDown)
        return true;
    MutexLock lock(m_txMutex);
    return m_strTxQueue.empty() && m_strTxOut.empty() && LineIdleLocked(m_clock->Now());
}

std::chrono::milliseconds SerialLink::LineTimeLeft() const
{
    if (!m_bOpen || m_bDown)
        return std::chrono::milliseconds(0);
    MutexLock lock(m_txMutex);
    const auto now = m_clock->Now();
    const auto left = now >= m_tLineFree ? std::chrono::milliseconds(0)
                                         : std::chrono::ceil<std::chrono::milliseconds>(m_tLineFree - now);
    return m_bTxWriting ? std::max(left, std::chrono::milliseconds(1)) : left;
}

bool SerialLink::IsIdleFillOnAir() const
{
    if (!m_bOpen || m_bDown)
        return false;
    MutexLock lock(m_txMutex);
    return m_bTxActive && m_bDiddle && m_bKeyed && !m_bTxHold && m_strTxQueue.empty() &&
           m_strTxOut.empty() && m_bLastWriteFill;
}

void SerialLink::WriteBytes(const std::string& bytes, bool fill)
{
    if (!PortUsable() || bytes.empty()) {
        MutexLock lock(m_txMutex);
        m_bTxWriting = false;
        return;
    }
    {
        MutexLock lock(m_txMutex);
        m_bTxEmpty = 0;
        ++m_nWritesStarted;
        m_bLastWriteFill = fill;
    }
    // Bytes that can't be written in time are lost: there is no retry.
    const size_t taken = m_hPort->Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                        WriteTimeoutMs(bytes.size()));
    {
        // The bytes start no later than now, behind whatever was still on
        // the line: this bounds when the last of them has left it.
        MutexLock lock(m_txMutex);
        m_bTxWriting = false;
        m_tLineFree = std::max(m_clock->Now(), m_tLineFree) +
                      m_charTime * static_cast<int64_t>(taken);
        if (!fill)
            m_tTextFree = m_tLineFree;
        m_bLineCut = false;
    }
    if (m_hPort->IsDown())
        MarkDown();
}

namespace {

// The idle-fill pattern for a byte size; empty for sizes that have none.
std::string FillPattern(uint8_t byteSize)
{
    switch (byteSize) {
    case 5: return std::string(SerialLink::kChunk, '\x1F');   // four LTRS
    case 7: return std::string(SerialLink::kChunk, '\x7F');
    case 8: return std::string(SerialLink::kChunk, '\xFF');
    default: return {};
    }
}

}  // namespace

bool SerialLink::TxStep()
{
    m_tTxRecheck = std::chrono::steady_clock::time_point::max();
    if (m_bTxHold || !m_bTxEmpty)
        return false;

    std::string out;
    bool fill = false;
    bool keyOnly = false;
    std::chrono::steady_clock::time_point tailEnd{};
    uint64_t clearGen = 0;
    {
        MutexLock lock(m_txMutex);
        clearGen = m_nClearGen;
        if (!m_strTxOut.empty()) {
            out.swap(m_strTxOut);
        } else if (!m_strTxQueue.empty()) {
            const size_t n = std::min(kChunk, m_strTxQueue.size());
            m_strTxOut.append(m_strTxQueue, 0, n);
            m_strTxQueue.erase(0, n);
            return true;   // the next pass writes them
        } else if (!m_bTxActive) {
            // Nothing left and no transmission: unkey, but only once the line
            // is quiet. m_bTxEmpty alone is not enough: queuing text (even
            // text that encoded to nothing) releases it early.
            if (!m_bKeyed)
                return false;
            const auto now = m_clock->Now();
            if (!LineIdleLocked(now)) {
                // A drain report wakes the thread; only the line time left
                // needs a timed look.
                if (!m_bTxWriting && m_nWritesDrained >= m_nWritesStarted)
                    m_tTxRecheck = m_tLineFree;
                return false;
            }
            // The tail counts from the last character to leave the line;
            // when that was idle fill cut off by Receive or Clear TX Buffer,
            // from the last character of text before it.
            // The device's drain report may come later than the link's own
            // reckoning (a sound card's playback buffer): both must be past.
            tailEnd = std::max(now, (m_bLineCut ? m_tTextFree : std::max(m_tLineFree, m_tDrained)) + kKeyingWait);
        } else if (m_bDiddle) {
            out = FillPattern(m_nByteSize);
            fill = true;
            keyOnly = out.empty();
        } else {
            return false;
        }
        // From here the bytes are in no buffer but still to go: the write is
        // in progress, so the line is not quiet.
        m_bTxWriting = !out.empty();
        m_bWritingFill = fill;
    }

    if (out.empty() && !keyOnly) {
        Unkey(tailEnd, true);
        return false;
    }
    if (KeyToSend() && keyOnly)
        return false;   // idle fill for a byte size without a pattern: keyed, nothing written
    if (keyOnly || !BeginWrite()) {
        // Receive was chosen while the transmitter keyed (or the link is
        // closing): the bytes go back in front of the out-buffer instead of
        // out on a dead carrier. Idle fill is simply dropped, and so is text
        // that Clear TX Buffer or a failed key has dropped meanwhile.
        MutexLock lock(m_txMutex);
        m_bTxWriting = false;
        if (!fill && m_nClearGen == clearGen)
            m_strTxOut.insert(0, out);
        return false;
    }
    WriteBytes(out, fill);
    EndWrite();
    return true;
}

bool SerialLink::BeginWrite()
{
    MutexLock lock(m_keyMutex);
    if (m_bTxHold || !m_bRunning || !m_bKeyed || m_bKeyBusy || m_bEnding)
        return false;
    m_bWriteGate = true;
    return true;
}

void SerialLink::EndWrite()
{
    {
        MutexLock lock(m_keyMutex);
        m_bWriteGate = false;
    }
    m_clock->NotifyAll(m_keyChanged);
}

void SerialLink::QueueText(std::string_view bytes)
{
    // Text that encoded to nothing (a character without a Baudot code) must
    // not release anything: the previous write may still be on the line.
    if (bytes.empty())
        return;
    {
        MutexLock lock(m_txMutex);
        m_strTxQueue.append(bytes);
        // Nothing waits to drain ahead of the new bytes: let them go at once.
        // A write still on the line keeps them waiting for its drain, so the
        // link never runs more than one write ahead of the line.
        if (!m_bTxEmpty && m_strTxOut.empty() && NothingOutstandingLocked())
            m_bTxEmpty = 1;
        ++m_nTxWakeGen;
    }
    m_clock->NotifyAll(m_txWake);
}

void SerialLink::PushFront(uint8_t byte)
{
    {
        MutexLock lock(m_txMutex);
        m_strTxOut.insert(m_strTxOut.begin(), static_cast<char>(byte));
        if (NothingOutstandingLocked())
            m_bTxEmpty = 1;
        ++m_nTxWakeGen;
    }
    m_clock->NotifyAll(m_txWake);
}

void SerialLink::ClearTransmit()
{
    {
        MutexLock lock(m_txMutex);
        ++m_nClearGen;
        m_strTxQueue.clear();
        m_strTxOut.clear();
        // Held while the line is ended, as Receive ends it: the transmit
        // thread's own unkey on the empty queue would give idle fill that
        // has just left the line the tail owed to text.
        m_bTxHold = 1;
        m_bTxActive = 0;
        ++m_nTxWakeGen;
    }
    m_clock->NotifyAll(m_txWake);
    EndTransmission();
    m_bTxHold = 0;
    Wake();
}

size_t SerialLink::TxQueueLength() const
{
    MutexLock lock(m_txMutex);
    return m_strTxQueue.size();
}

size_t SerialLink::TxOutLength() const
{
    MutexLock lock(m_txMutex);
    return m_strTxOut.size();
}

void SerialLink::SendText(std::string& text)
{
    if (!IsOpen() || IsDown())
        return;
    if (m_nByteSize == 5) {
        std::string codes;
        if (text.size() > 1)
            codes += static_cast<char>(CurrentShiftCode());
        for (char ch : text) {
            const uint32_t packed = EncodeChar(ch);
            const uint16_t shift = ShiftOf(packed);
            const uint16_t code = CodeOf(packed);
            if (shift) {
                codes += static_cast<char>(shift);
                codes += static_cast<char>(code);   // a code of 0 goes too, as a Baudot blank
            } else if (code) {
                codes += static_cast<char>(code);
            }
        }
        text = std::move(codes);
    }
    QueueText(text);
}

void SerialLink::SendChar(char c)
{
    std::string text(1, c);
    SendText(text);
}

void SerialLink::SendChar(const char* s)
{
    std::string text(s ? s : "");
    SendText(text);
}
