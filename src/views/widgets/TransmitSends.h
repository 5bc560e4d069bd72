#pragma once
// The transmit pane's macro and tape sending, wired into the pane: the key
// macros and the function bar (F2, F4..F9), Send CQ, Send Brag and Send
// Exchange (enabled while their files exist), Import Tape,
// the Report command, and the startup tape when the pane becomes ready.
//
// Sends run as resumable jobs (SendQueue): while one waits for the
// transmitter to drain, a short timer looks again, so the window keeps
// painting and taking commands. Receive ends the wait at the next look;
// Clear TX Buffer drops the sends in progress. Lives as a child of the transmit pane; user-interface thread
// only.
#include "app/LoggerUdp.h"
#include "views/CommandTarget.h"
#include "views/MacroSender.h"
#include "views/SendHost.h"
#include "views/SendQueue.h"
#include "views/TapeSender.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <string>

class CVELTRANApp;
class CVELTRANDoc;
class CVELTRANView3;
class TransmitLink;

class TransmitSends : public QObject, public CommandTarget, private SendHost {
    Q_OBJECT

public:
    // How often a waiting send looks at the transmitter again.
    static constexpr int kLookIntervalMs = 20;

    TransmitSends(CVELTRANApp& app, CVELTRANDoc& doc, CVELTRANView3& view);
    ~TransmitSends() override;

    // Makes one for the pane (owned by it) and hooks it in: the macro keys,
    // the commands the pane passes on, and the ready action. Also points the
    // document's mode code at the receive pane's RTTY link.
    static TransmitSends* Install(CVELTRANApp& app, CVELTRANDoc& doc, CVELTRANView3& view);

    void SendMacro(int key);
    void SendTape(const std::string& path);
    // "TAPESTARTUP.TXT", when it exists.
    void SendStartupTape();
    // Appends the current contact's record to "REPORT.TXT".
    void Report();

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;

    SendQueue& Queue() { return m_queue; }
    // Runs waiting sends once more (the look timer does this by itself).
    void Pump();

private:
    // SendHost
    bool HasReceiveView() override;
    bool CharMode() override;
    void InsertText(const std::string& text) override;
    void SendToLink(std::string& text) override;
    void EchoThroughCodec(std::string& text, int stream) override;
    void DoTransmit() override;
    void BeginStopTransmit() override;
    bool StopTransmitPending() override;
    void EndStopTransmit() override;
    void TimerStep() override;
    void ClearTxEcho() override;
    void ClearDeadmanCount() override;
    void ReceiveListChanged() override;
    void HistoryChanged() override;
    void RepaintTransmitView() override;
    void ShowFileError(const std::string& text) override;

    TransmitLink* Link();
    void LookLater();

    CVELTRANApp& m_app;
    CVELTRANDoc& m_doc;
    CVELTRANView3& m_view;
    SendQueue m_queue;
    MacroSender m_macros;
    TapeSender m_tapes;
    LoggerUdp m_logger;  // each report also goes to the operator's logger
    QTimer m_look;
};
