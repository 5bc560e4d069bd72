#include "views/widgets/ReceiveViewSide.h"

#include "app/CVELTRANDoc.h"
#include "views/widgets/CVELTRANView.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <climits>

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
    // Only the bar moves: the receive pane's own scroll-back count stays.
    // A count read from a file can be as large as INT32_MAX: keep n + 1 in range.
    const int n = std::min(m_doc.GetLineCount(CVELTRANDoc::kReceiveList), INT_MAX - 1);
    QScrollBar* bar = m_view.verticalScrollBar();
    const QSignalBlocker quiet(bar);
    bar->setRange(1, n + 1);
    bar->setValue(n + 1);
}
