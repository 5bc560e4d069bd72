#pragma once
// The transmit pane's surroundings as its rules need them: the receive view
// (absent when the window has none), the frame's status panes (absent without
// a frame), the beep, and the repaints of the pane itself. The widget
// implements it; tests give a fake. User-interface thread only.
class FrameStatus;
class ReceiveSide;

class TransmitHost {
public:
    virtual ~TransmitHost() = default;

    virtual ReceiveSide* ReceiveView() = 0;
    virtual FrameStatus* Status() = 0;
    // The system's simple default beep.
    virtual void Beep() = 0;
    // Repaint only the row of the line being typed.
    virtual void InvalidateCurrentLine() = 0;
    // Repaint the whole pane.
    virtual void RepaintPane() = 0;
    // A line joined the history: the scroll bar follows, without redrawing.
    virtual void HistoryScrollToNewest() = 0;
};
