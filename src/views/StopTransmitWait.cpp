#include "views/StopTransmitWait.h"

#include "link/TickSource.h"
#include "views/TransmitLink.h"

bool StopTransmitWait::Pending(TransmitLink& link)
{
    // A hold this wait did not set (or one lifted meanwhile) is not ours.
    if (m_bHeld && !link.TxHold())
        m_bHeld = false;
    if (!link.Keyed() || (link.TxHold() && !m_bHeld)) {
        Reset();
        return false;
    }
    if (m_bHeld && link.TxOutLength() != 0) {
        // Bytes taken just before the hold went back in front: let them go.
        m_bHeld = false;
        link.SetTxHold(false);
    }
    if (!m_bHeld && (link.TxQueueLength() != 0 || link.TxOutLength() != 0)) {
        m_bTail = false;
        return true;
    }
    // The text is through; its last write may still be on the line.
    if (!m_bHeld && link.TxActive()) {
        m_bHeld = true;
        link.SetTxHold(true);
    }
    if (link.LineQuiet()) {
        Reset();
        return false;
    }
    return TailPending(link);
}

bool StopTransmitWait::TailPending(TransmitLink& link)
{
    if (link.LineTimeLeftMs() != 0) {
        m_bTail = false;
        return true;
    }
    const uint32_t now = m_clock.Now();
    if (!m_bTail) {
        m_bTail = true;
        m_dwTailStart = now;
    }
    if (now - m_dwTailStart >= kTailLimitMs) {
        Reset();
        return false;
    }
    return true;
}
