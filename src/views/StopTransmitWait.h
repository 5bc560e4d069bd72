#pragma once
// The wait that ends a transmission because its text is finished: the
// stop-transmit (Ctrl-Q) of a macro or tape and the return of Send/Receive.
// The caller looks again and again (from its event loop or timer) until
// Pending() answers false, then returns to receive:
// - while text is queued or in the out-buffer, the wait goes on;
// - once the text is through, the idle fill is ended (the link's active flag
//   cleared), so that no fill follows the last write and the line can fall
//   quiet;
// - the wait ends when the link says its line is quiet (the last character
//   has left it), or at once when the transmitter is not keyed or is held
//   (Receive and Clear TX Buffer: the operator's word);
// - a device that never reports its output drained can't hold the
//   transmitter for ever: once the link reckons the last character has left
//   the line (from the line settings), the device has kTailLimitMs to
//   confirm it, then the wait gives up. Text written ahead of the line (a
//   fast typist) only lengthens the link's reckoning, never cuts it short.
// User-interface thread only.
#include <cstdint>

class TickSource;
class TransmitLink;

class StopTransmitWait {
public:
    static constexpr uint32_t kTailLimitMs = 2000;

    explicit StopTransmitWait(const TickSource& clock) : m_clock(clock) {}

    // Forgets an earlier wait (a new one begins).
    void Reset() { m_bTail = false; }
    // One look; true while the transmitter must stay on for the text.
    bool Pending(TransmitLink& link);

private:
    const TickSource& m_clock;
    // Since m_dwTailStart the last character should have left the line, and
    // the device has not yet confirmed it.
    bool m_bTail = false;
    uint32_t m_dwTailStart = 0;
};
