#include "views/widgets/CVELTRANView.h"

#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/CommandTable.h"
#include "app/DeviceMap.h"
#include "app/SettingsStore.h"
#include "views/FrameStatus.h"

#include <QPainter>
#include <QScrollBar>
#include <algorithm>

CVELTRANView::CVELTRANView(CVELTRANApp& app, CVELTRANDoc& doc, FrameStatus& status, QWidget* parent)
    : QAbstractScrollArea(parent), m_app(app), m_doc(doc), m_status(status)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    m_link.ClearTransmit();
    SettingsStore& settings = m_app.Settings();
    m_link.SetDeviceOpener([&settings](int port) { return OpenDeviceForPath(DevicePathForPort(settings, port)); });
    // Called on the link's receive thread: only post to the interface thread.
    m_link.SetDataReadyCallback([this] {
        if (!m_takePosted.exchange(true))
            QMetaObject::invokeMethod(this, &CVELTRANView::TakeIncoming, Qt::QueuedConnection);
    });
    m_dwLastPoll = m_dwLastReceive = m_app.Clock().Now();
    ApplyPortSettings();
    m_app.RegisterView(this);
}

CVELTRANView::~CVELTRANView()
{
    m_app.UnregisterView(this);
    m_bDisplayRunning = 0;
    // Joins the link's threads, so no data-ready call can follow.
    m_link.Connect(false);
}

void CVELTRANView::ApplyPortSettings()
{
    SettingsStore& s = m_app.Settings();
    const int port = s.Get(keys::RTTYPort);
    const int baud = s.Get(keys::RTTYBaud);
    const int bits = s.Get(keys::RTTYType);
    if (port <= 0) {
        m_bDisplayRunning = 0;
        m_link.Connect(false);
    } else {
        const int usePort = port > keys::kMaxPort ? 1 : port;
        if (static_cast<int>(m_link.m_nPort) != usePort || static_cast<int>(m_link.m_nBaud) != baud ||
            static_cast<int>(m_link.m_nByteSize) != bits || m_link.m_nParity != 0 || m_link.m_nStopBits != 0) {
            m_link.Connect(false);
            m_link.m_nPort = usePort;
            m_link.m_nParity = 0;
            m_link.m_nStopBits = 0;
            m_link.m_nByteSize = static_cast<uint8_t>(bits);
            m_link.m_bPttKeying = bits == 5 ? 1 : 0;
            m_link.SetReceiveShift(false);
            m_link.m_bTxFigures = 0;
            m_link.m_nBaud = baud;
        }
        m_bDisplayRunning = 1;
        m_link.Connect(true);
    }
    m_link.SetExtended(s.Get(keys::RTTYExtended) != 0);
    m_link.m_bDiddle = s.Get(keys::Diddle) ? 1 : 0;
    if (s.Get(keys::RTTYDuplex) != 0) {
        m_link.m_bTxHold = 0;
    } else {
        // Manual protocol: the link starts in receive.
        m_link.m_bTxHold = 1;
        m_link.m_bTxActive = 0;
        m_link.UnkeyTransmitter();
        if (m_link.TxOutLength() == 0)
            m_link.UnkeyTransmitter();
    }
    m_link.Wake();
    m_dwLastReceive = m_app.Clock().Now();
}

void CVELTRANView::TakeIncoming()
{
    m_takePosted = false;
    std::string text = m_link.TakeReceived();
    m_dwLastReceive = m_dwLastPoll = m_app.Clock().Now();
    if (text.empty())
        return;
    m_strPending += text;
    std::erase(m_strPending, '\r');
    const size_t width = static_cast<size_t>(std::max(1, m_app.Settings().Get(keys::RTTYPageWidth)));
    for (;;) {
        const size_t lf = m_strPending.find('\n');
        if (lf != std::string::npos) {
            m_doc.AddText(" " + m_strPending.substr(0, lf), CVELTRANDoc::kReceiveList);
            m_strPending.erase(0, lf + 1);
        } else if (m_strPending.size() >= width) {
            m_doc.AddText(" " + m_strPending.substr(0, width), CVELTRANDoc::kReceiveList);
            m_strPending.erase(0, width);
        } else {
            break;
        }
    }
    m_strCurrentLine = m_strPending.empty() ? std::string() : " " + m_strPending;
    viewport()->update();
}

int CVELTRANView::LineHeight() const
{
    return std::max(1, QFontMetrics(m_app.m_fontRTTY).height());
}

void CVELTRANView::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().base());
    p.setFont(m_app.m_fontRTTY);
    const QColor text = m_app.m_colorRTTY.isValid() ? m_app.m_colorRTTY : palette().text().color();
    const QColor highlight = palette().highlight().color();
    const int h = LineHeight();
    const int ascent = QFontMetrics(m_app.m_fontRTTY).ascent();
    int bottom = viewport()->height();
    auto drawRow = [&](const std::string& line) {
        p.setPen(!line.empty() && line[0] == '>' ? highlight : text);
        p.drawText(1, bottom - h + ascent, QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
        bottom -= h;
    };
    drawRow(m_strCurrentLine);
    if (m_app.Settings().Get(keys::XRMerge))
        drawRow(">" + m_strTxEcho);
    const LineList& lines = m_doc.GetList(CVELTRANDoc::kReceiveList);
    for (auto it = lines.rbegin(); it != lines.rend() && bottom > 0; ++it)
        drawRow(*it);
}

bool CVELTRANView::OnCommand(int id)
{
    switch (id) {
    case ID_EDIT_CLEAR_SCREEN:
        m_doc.ClearList(CVELTRANDoc::kReceiveList);
        viewport()->update();
        return true;
    case ID_EDIT_SWAP_FIGS:
        m_link.InvertReceiveShift();
        return true;
    default:
        return false;
    }
}

bool CVELTRANView::OnUpdateCommand(int id, CommandState& state)
{
    switch (id) {
    case ID_EDIT_CLEAR_SCREEN:
    case ID_EDIT_SWAP_FIGS:
        state.enabled = true;
        return true;
    default:
        return false;
    }
}
