#pragma once
// The TNC pane: a plain terminal to the modem's controller. It owns the TNC
// port's SerialLink (opened by ApplyPortSettings, closed when the pane is
// destroyed); typed characters go straight to the link, nothing is echoed,
// and what the controller sends back is cut into lines of the document's
// TNC list. Members are used on the user-interface thread; received text
// reaches it from the link's receive thread only by a queued call.
#include "link/SerialLink.h"
#include "views/CommandTarget.h"

#include <QAbstractScrollArea>
#include <atomic>
#include <cstdint>
#include <string>

class CVELTRANApp;
class CVELTRANDoc;
class FrameStatus;

class CVELTRANView2 : public QAbstractScrollArea, public CommandTarget {
    Q_OBJECT

public:
    CVELTRANView2(CVELTRANApp& app, CVELTRANDoc& doc, FrameStatus& status, QWidget* parent = nullptr);
    ~CVELTRANView2() override;

    // (Re)configures the TNC link from "Ports" (8 data bits, no keying) and
    // opens it, or closes it when no TNC port is configured.
    void ApplyPortSettings();
    SerialLink& Link() { return m_link; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;
    // Import Tape, Export Tape and the startup tape live in TncTapeCommands;
    // commands this pane does not carry itself are passed to it.
    void SetTapeCommands(CommandTarget* target) { m_tapeCommands = target; }

    // Set while a TNC port is configured ("TNCPort" above 0); the status bar reads it.
    uint32_t m_bPortConfigured = 0;
    uint32_t m_bDisplayRunning = 0;
    uint32_t m_dwLastPoll = 0;
    uint32_t m_dwLastReceive = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void TakeIncoming();

    CVELTRANApp& m_app;
    CVELTRANDoc& m_doc;
    FrameStatus& m_status;
    SerialLink m_link;
    std::string m_strPending;  // text after the last finished line
    std::atomic<bool> m_takePosted{false};
    CommandTarget* m_tapeCommands = nullptr;
};
