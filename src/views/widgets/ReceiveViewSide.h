#pragma once
// The receive pane (CVELTRANView) as the transmit side sees it: its RTTY link
// and the few fields the transmit pane reads and writes. Lives no longer than
// the receive pane it wraps. User-interface thread only.
#include "views/ReceiveSide.h"
#include "views/SerialLinkTransmit.h"

class CVELTRANDoc;
class CVELTRANView;

class ReceiveViewSide : public ReceiveSide {
public:
    ReceiveViewSide(CVELTRANView& view, CVELTRANDoc& doc);

    TransmitLink& Link() override { return m_link; }
    void SetTxEcho(const std::string& text) override;
    void ClearDeadmanCount() override;
    uint32_t LastReceiveTick() const override;
    bool DisplayRunning() const override;
    void TakeCompletedLines() override;
    void Repaint() override;
    void ScrollToNewest() override;

    CVELTRANView& View() const { return m_view; }

private:
    CVELTRANView& m_view;
    CVELTRANDoc& m_doc;
    SerialLinkTransmit m_link;
};
