#include "views/StopTransmitWait.h"

#include "link/TickSource.h"
#include "views/TransmitLink.h"

bool StopTransmitWait::Pending(TransmitLink& link)
{
    if (!link.Keyed() || link.TxHold()) {
        m_bTail = false;
        return false;
    }
    if (link.TxQueueLength() != 0 || link.TxOutLength() != 0) {
        m_bTail = false;
        return true;
    }
    // The text is through; its last write may still be on the line. No idle
    // fill after it: the line falls quiet (and the link, no longer active,
    // unkeys by itself once it has).
    if (link.TxActive())
        link.SetTxActive(false);
    if (link.LineQuiet()) {
        m_bTail = false;
        return false;
    }
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
        m_bTail = false;
        return false;
    }
    return true;
}
