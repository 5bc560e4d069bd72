#include "views/widgets/ReceiveViewSide.h"

#include "app/CVELTRANDoc.h"
#include "views/widgets/CVELTRANView.h"


ReceiveViewSide::ReceiveViewSide(CVELTRANView& view, CVELTRANDoc& doc)
    : m_view(view), m_doc(doc), m_link(view.Link())
{
}

void ReceiveViewSide::SetTxEcho(const std::string& text)
{
    m_view.SetTxEcho(text);
}

void ReceiveViewSide::ClearDeadmanCount()
{
    m_view.m_nDeadmanCount = 0;
}

uint32_t ReceiveViewSide::LastReceiveTick() const
{
    return m_view.m_dwLastReceive.load();
}

void ReceiveViewSide::TakeCompletedLines()
{
    m_view.TakeCompletedLines();
}

bool ReceiveViewSide::DisplayRunning() const
{
    return m_view.m_bDisplayRunning != 0;
}

void ReceiveViewSide::Repaint()
{
    m_view.viewport()->update();
}

void ReceiveViewSide::ScrollToNewest()
{
    // The bar follows the list; the receive pane's own scroll-back count stays.
    m_view.SyncScrollBar();
}
