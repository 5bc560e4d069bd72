#pragma once
// The wait that ends a transmission because its text is finished: the
// stop-transmit (Ctrl-Q) of a macro or tape and the return of Send/Receive.
// The caller looks again and again (from its event loop or timer) until
// Pending() answers false, then returns to receive:
// - while text is queued or in the out-buffer, the wait goes on;
// - once the text is through, an active (Manual) transmission is held: the
//   transmit thread writes nothing more, so no idle fill follows the last
//   write and nothing typed from now on goes out (it waits in the queue for
//   the next Transmit, as typing while receiving does). The transmission
//   stays active and keyed, so the window shows Transmit until the return
//   to receive drops the line; a Manual link is never left unheld and
//   inactive, which would let the link key by itself as under Auto;
// - bytes the transmit thread had already taken when the hold came are put
//   back in front of the out-buffer by the link: then the hold is lifted
//   again until they are through;
// - the wait ends when the link says its line is quiet (the last character
//   has left it), or at once when the transmitter is not keyed or is held by
//   someone else (Receive and Clear TX Buffer: the operator's word);
// - a device that never reports its output drained can't hold the
//   transmitter for ever: once the link reckons the last character has left
//   the line (from the line settings), the device has kTailLimitMs to
//   confirm it, then the wait gives up. Text written ahead of the line (a
//   fast typist) only lengthens the link's reckoning, never cuts it short.
//   Text typed during the held tail keeps the link from calling the line
//   quiet, so the wait then ends by this limit.
// User-interface thread only.
#include <cstdint>

class TickSource;
class TransmitLink;

class StopTransmitWait {
public:
    static constexpr uint32_t kTailLimitMs = 2000;

    explicit StopTransmitWait(const TickSource& clock) : m_clock(clock) {}

    // Forgets an earlier wait (a new one begins).
    void Reset()
    {
        m_bTail = false;
        m_bHeld = false;
    }
    // One look; true while the transmitter must stay on for the text.
    bool Pending(TransmitLink& link);

private:
    bool TailPending(TransmitLink& link);

    const TickSource& m_clock;
    // This wait set the link's hold when the text was through.
    bool m_bHeld = false;
    // Since m_dwTailStart the last character should have left the line, and
    // the device has not yet confirmed it.
    bool m_bTail = false;
    uint32_t m_dwTailStart = 0;
};
