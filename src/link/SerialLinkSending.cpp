#include "link/SerialLink.h"
#include "link/SerialLinkTiming.h"

#include <algorithm>
#include <chrono>

using namespace seriallink;

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

