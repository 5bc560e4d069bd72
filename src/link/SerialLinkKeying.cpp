#include "link/SerialLink.h"
#include "link/SerialLinkTiming.h"

#include <algorithm>
#include <chrono>

using namespace seriallink;

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

