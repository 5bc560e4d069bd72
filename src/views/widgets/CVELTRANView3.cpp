#include "views/widgets/CVELTRANView3.h"

#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/CommandTable.h"
#include "views/FrameStatus.h"
#include "views/widgets/CVELTRANView.h"

#include <QPainter>
#include <algorithm>

CVELTRANView3::CVELTRANView3(CVELTRANApp& app, CVELTRANDoc& doc, FrameStatus& status, QWidget* parent)
    : QAbstractScrollArea(parent), m_app(app), m_doc(doc), m_status(status)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    RefreshPortState();
    m_app.RegisterView(this);
}

CVELTRANView3::~CVELTRANView3()
{
    m_app.UnregisterView(this);
}

void CVELTRANView3::RefreshPortState()
{
    const CVELTRANView* receive = m_app.FindView<CVELTRANView>();
    m_bPortOpen = receive ? receive->m_bDisplayRunning : 0;
    viewport()->update();
}

void CVELTRANView3::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().base());
    p.setFont(m_app.m_fontRTTY);
    QColor text = m_app.m_colorRTTY.isValid() ? m_app.m_colorRTTY : palette().text().color();
    if (!m_bPortOpen)
        text = palette().color(QPalette::Disabled, QPalette::Text);
    p.setPen(text);
    const QFontMetrics fm(m_app.m_fontRTTY);
    const int h = std::max(1, fm.height());
    int bottom = viewport()->height() - h;  // the row of the line being typed
    const LineList& lines = m_doc.GetList(CVELTRANDoc::kTransmitList);
    for (auto it = lines.rbegin(); it != lines.rend() && bottom > 0; ++it) {
        p.drawText(1, bottom - h + fm.ascent(), QString::fromLatin1(it->data(), static_cast<qsizetype>(it->size())));
        bottom -= h;
    }
}

bool CVELTRANView3::OnCommand(int id)
{
    if (id == ID_EDIT_CLEAR_SCREEN) {
        m_doc.ClearList(CVELTRANDoc::kTransmitList);
        viewport()->update();
        return true;
    }
    return false;
}

bool CVELTRANView3::OnUpdateCommand(int id, CommandState& state)
{
    if (id == ID_EDIT_CLEAR_SCREEN) {
        state.enabled = true;
        return true;
    }
    return false;
}
