#pragma once
// The deadman check of the receive pane, run by its one-second timer: a
// transmission left keyed for more than ten minutes without new text being
// handed to the link is forced back to receive. The count is the pane's
// m_nDeadmanCount; the transmit side sets it to 0 whenever it hands text on.
// User-interface thread only.
#include <cstdint>

class Deadman {
public:
    static constexpr int32_t kLimitSeconds = 600;

    enum class Action { kNone, kForceReceive };

    // One timer tick. With `disabled` ("DisableDeadman") nothing moves.
    // Otherwise the count grows by one (it saturates instead of overflowing);
    // past the limit, a link that is active or keyed is to be forced to
    // receive, at this and every later tick until the count is reset.
    static Action Tick(int32_t& count, bool disabled, bool txActive, bool keyed);
};
