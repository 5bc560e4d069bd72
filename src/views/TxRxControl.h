#pragma once
// Decides when the RTTY transmitter is on the air: the transmit protocol
// ("Ports" "RTTYDuplex": 0 Manual, 1 Delay, 2 Auto), the Transmit, Receive,
// Send/Receive and Clear TX Buffer commands, the Delay buffer and the pane's
// one-second timer step (status panes, idle-fill notice, completion of
// Send/Receive, release of delayed text once the receive channel is quiet).
//
// Works on the receive view's link through TransmitHost; with no receive view
// only the status texts change. User-interface thread only; the timer step may
// also be entered directly from the macro sender's drain wait, which is why
// m_bFlushing guards FlushDelayed against running inside itself.
//
// Returns to receive because the text is finished (Send/Receive, a
// stop-transmit in a macro or tape) wait for the link's quiet line
// (StopTransmitWait), so the last character is never cut; Receive and Clear
// TX Buffer drop the transmitter at once, as the operator asked.
#include "views/StopTransmitWait.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class CVELTRANDoc;
class SettingsStore;
class TickSource;
class TransmitHost;
struct CommandState;

class TxRxControl {
public:
    enum Protocol : int { kManual = 0, kDelay = 1, kAuto = 2 };

    // Silence on the receive channel, in ms, after which delayed text goes out.
    static constexpr uint32_t kQuietMs = 3000;

    TxRxControl(SettingsStore& settings, CVELTRANDoc& doc, TransmitHost& host,
                const TickSource& clock);

    int CurrentProtocol() const;

    // Every start of a transmission comes here (the Transmit command, Ctrl-W
    // in macros and tapes, Send/Receive). False when it was refused because
    // the RTTY port is down: the state stays receiving and the message pane
    // says why.
    bool DoTransmit();
    void DoReceive();
    // In test mode only injects the link's test text; otherwise Transmit and
    // return to receive once the text has left the line, with idle fill or
    // without (completed by TimerStep).
    void SendReceive(bool testMode);
    // Empties the link's queue and out-buffer; `discardUnsent` drops the pane's
    // unsent typed text (run only when there is a receive view). Then Receive.
    void ClearTxBuffer(const std::function<void()>& discardUnsent);

    // Sends the Delay buffer now. With `copyToReceive` (and "XRMerge") its
    // lines are also added to the receive list as ">" lines.
    void FlushDelayed(bool copyToReceive);
    void AppendDelayed(std::string_view text) { m_strDelayed.append(text); }
    const std::string& Delayed() const { return m_strDelayed; }

    // One tick of timer 3.
    void TimerStep();

    // A stop-transmit (Ctrl-Q in a macro or tape) in three calls: Begin when
    // its wait starts; StopTransmitPending at each look, true while the text
    // is still queued or on the line; End once it is over, which returns to
    // receive unless Transmit was chosen during the wait (the operator's
    // later command wins). Clear TX Buffer abandons a wait.
    void BeginStopTransmit();
    bool StopTransmitPending();
    void EndStopTransmit();

    // Command states of Transmit, Receive, Send/Receive and Clear TX Buffer.
    void UpdateTransmit(CommandState& state);
    void UpdateReceive(CommandState& state);
    void UpdateSendReceive(bool testMode, CommandState& state);

    // Re-reads "DiddleBeep" (at start and after the Ports dialog).
    void LoadDiddleBeep();

    bool ReturnToReceivePending() const { return m_bReturnToReceive != 0; }
    bool DiddleShown() const { return m_bDiddleShown != 0; }
    bool StopTransmitWaiting() const { return m_bStopWaiting; }

private:
    void ShowAuto(const std::string& text);
    void ShowDiddle(const std::string& text);
    // The idle-fill test shared by Manual and keyed Delay/Auto.
    void IdleFillStep();
    // Send/Receive's pending return: receive once the text is through and
    // the line is quiet.
    void ReturnWhenQuiet(TransmitLink& link);
    // A transmission the link could not key is said in the message pane.
    void ReportKeyFailure(TransmitLink& link);
    // The port is down: show why and stay receiving (true).
    bool RefuseDownPort(TransmitLink& link);
    void ReleaseDelayedIfQuiet();
    void CopyToReceiveList(const std::string& text);

    SettingsStore& m_settings;
    CVELTRANDoc& m_doc;
    TransmitHost& m_host;
    const TickSource& m_clock;

    std::string m_strDelayed;
    uint32_t m_bFlushing = 0;
    uint32_t m_bDiddleBeep = 0;
    uint32_t m_bDiddleShown = 0;
    uint32_t m_bReturnToReceive = 0;

    // Transmit commands carried out, so a wait can tell one given during it.
    uint32_t m_nTransmits = 0;
    // A stop-transmit is waiting, begun when m_nTransmits was m_nTransmitsAtStop.
    bool m_bStopWaiting = false;
    uint32_t m_nTransmitsAtStop = 0;
    StopTransmitWait m_stopWait;
    StopTransmitWait m_returnWait;   // Send/Receive's return
};
