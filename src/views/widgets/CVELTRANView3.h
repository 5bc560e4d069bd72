#pragma once
// The transmit pane: type-ahead text on its way to the RTTY link, drawn under
// the transmit history (the document's list 3). It owns no link; it reaches
// the RTTY link through the receive pane (FindView). Used on the
// user-interface thread only.
#include "views/CommandTarget.h"

#include <QAbstractScrollArea>
#include <cstdint>

class CVELTRANApp;
class CVELTRANDoc;
class FrameStatus;

class CVELTRANView3 : public QAbstractScrollArea, public CommandTarget {
    Q_OBJECT

public:
    CVELTRANView3(CVELTRANApp& app, CVELTRANDoc& doc, FrameStatus& status, QWidget* parent = nullptr);
    ~CVELTRANView3() override;

    // Copies the receive pane's port-in-use flag into m_bPortOpen (at
    // construction and after the Ports dialog is confirmed).
    void RefreshPortState();

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;

    // The RTTY port is in use: a copy of the receive pane's m_bDisplayRunning.
    uint32_t m_bPortOpen = 0;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CVELTRANApp& m_app;
    CVELTRANDoc& m_doc;
    FrameStatus& m_status;
};
