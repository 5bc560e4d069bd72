#pragma once
// The receive pane: the teleprinter page showing received RTTY text. It owns
// the RTTY port's SerialLink, so it decides when that port is opened,
// reconfigured (ApplyPortSettings) and closed (when the pane is destroyed).
// The transmit side reaches the link and the fields below through FindView.
// All members are used on the user-interface thread; received text reaches
// it from the link's receive thread only by a queued call.
#include "link/SerialLink.h"
#include "views/CommandTarget.h"

#include <QAbstractScrollArea>
#include <atomic>
#include <cstdint>
#include <string>

class CVELTRANApp;
class CVELTRANDoc;
class FrameStatus;

class CVELTRANView : public QAbstractScrollArea, public CommandTarget {
    Q_OBJECT

public:
    CVELTRANView(CVELTRANApp& app, CVELTRANDoc& doc, FrameStatus& status, QWidget* parent = nullptr);
    ~CVELTRANView() override;

    // (Re)configures the RTTY link from "Ports" and opens it, or closes it when
    // no RTTY port is configured. Run at construction and after the Ports dialog.
    void ApplyPortSettings();
    SerialLink& Link() { return m_link; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;

    // Set exactly when an RTTY port is configured; the transmit pane copies it.
    uint32_t m_bDisplayRunning = 0;
    // What is being transmitted, drawn under the current line with ">".
    std::string m_strTxEcho;
    int32_t m_nDeadmanCount = 0;
    uint32_t m_dwLastPoll = 0;
    uint32_t m_dwLastReceive = 0;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void TakeIncoming();
    int LineHeight() const;

    CVELTRANApp& m_app;
    CVELTRANDoc& m_doc;
    FrameStatus& m_status;
    SerialLink m_link;
    std::string m_strPending;      // received text not yet cut into lines
    std::string m_strCurrentLine;  // marker blank + m_strPending, as drawn
    // Coalesces the link's data-ready notifications into one queued call.
    std::atomic<bool> m_takePosted{false};
};
