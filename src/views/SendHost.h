#pragma once
// What sending a macro or a tape needs of the transmit pane and the receive
// view around it. The transmit view implements it over its type-ahead line,
// its transmit/receive control and the receive view's RTTY link; tests give a
// recording fake. Every call comes on the user-interface thread.
#include <string>

class SendHost {
public:
    virtual ~SendHost() = default;

    // The receive view exists (and with it the RTTY link).
    virtual bool HasReceiveView() = 0;
    // The type-ahead line is in Character mode.
    virtual bool CharMode() = 0;
    // The type-ahead line's InsertText, as if typed.
    virtual void InsertText(const std::string& text) = 0;

    // The RTTY link's SendText (for 5-bit data the text is replaced by its codes).
    virtual void SendToLink(std::string& text) = 0;
    // The RTTY link's echo through its codec (does nothing unless 5-bit).
    virtual void EchoThroughCodec(std::string& text, int stream) = 0;
    virtual void DoTransmit() = 0;
    // A stop-transmit: Begin when its wait starts; Pending at each look, true
    // while the text before it is still queued or on the line; End once it is
    // over, which returns to receive unless the operator chose Transmit
    // meanwhile (TxRxControl's stop-transmit).
    virtual void BeginStopTransmit() = 0;
    virtual bool StopTransmitPending() = 0;
    virtual void EndStopTransmit() = 0;
    // One step of the transmit pane's one-second timer (status panes).
    virtual void TimerStep() = 0;

    // Empties the receive view's transmit-echo line and repaints its row.
    virtual void ClearTxEcho() = 0;
    // Text went to the link: the receive view's deadman starts afresh.
    virtual void ClearDeadmanCount() = 0;
    // Lines were added to the receive list: scroll to the newest (range 0..n
    // at n, without redrawing the bar) and repaint the receive view.
    virtual void ReceiveListChanged() = 0;
    // A line was added to the transmit history: scroll to the newest and
    // repaint the transmit view.
    virtual void HistoryChanged() = 0;
    // Repaints the transmit view at once.
    virtual void RepaintTransmitView() = 0;

    // A tape file could not be opened or read: the message box with the
    // system's text and the exclamation icon.
    virtual void ShowFileError(const std::string& text) = 0;
};
