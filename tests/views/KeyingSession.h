#pragma once
// Random keying sessions one level up from the link: the transmit pane's own
// rule classes (TxRxControl, TypeAhead, MacroSender and TapeSender through a
// SendQueue) drive a live SerialLink on the simulated modem, on a virtual
// clock, with no widgets and no event loop. The session plays the pane's
// two timers itself: the one-second step and the sends' 20 ms look.
//
// What a session may do: Transmit, Receive, Send/Receive, Clear TX Buffer,
// typing in Character, Word or Line mode, macros and tapes with Ctrl-W and
// Ctrl-Q, traffic heard on the receive channel, the device vanishing and
// being opened again; under Manual, Delay or Auto, idle fill on or off. The
// record is read against the rules of support/KeyingProperty.h.
#include "support/KeyingProperty.h"

#include <cstdint>

namespace keying {

// The seed's session as it ran, unchecked (to read with Describe).
Session RecordViewsSession(uint32_t seed);
// The seed's session, checked.
Outcome RunViewsSession(uint32_t seed);

}  // namespace keying
