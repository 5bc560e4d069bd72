#pragma once
// The receive view as the transmit side sees it: the RTTY link it owns, its
// transmit-echo line, its deadman count and the tick of the last text taken
// from the link. The widget layer binds it to CVELTRANView; tests give a fake.
// User-interface thread only.
#include <cstdint>
#include <string>

class TransmitLink;

class ReceiveSide {
public:
    virtual ~ReceiveSide() = default;

    virtual TransmitLink& Link() = 0;
    // Replaces the transmit-echo line and repaints its row.
    virtual void SetTxEcho(const std::string& text) = 0;
    // Text was handed to the link: the deadman starts counting afresh.
    virtual void ClearDeadmanCount() = 0;
    // Tick (ms, wrapping) at which received text was last taken from the link.
    virtual uint32_t LastReceiveTick() const = 0;
    // The receive view's port-open flag (its display thread is meant to run).
    virtual bool DisplayRunning() const = 0;
    // Moves lines the receive pane has finished into the receive list now, so
    // that transmitted text appended after them keeps its place in time.
    virtual void TakeCompletedLines() = 0;
    // Repaints the whole receive pane.
    virtual void Repaint() = 0;
    // Shows the newest receive lines: scroll range 1..n+1 at n+1.
    virtual void ScrollToNewest() = 0;
};
