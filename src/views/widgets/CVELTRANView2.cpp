#include "views/widgets/CVELTRANView2.h"

#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/CommandTable.h"
#include "app/DeviceMap.h"
#include "app/SettingsStore.h"
#include "views/FrameStatus.h"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

CVELTRANView2::CVELTRANView2(CVELTRANApp& app, CVELTRANDoc& doc, FrameStatus& status, QWidget* parent)
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
            QMetaObject::invokeMethod(this, &CVELTRANView2::TakeIncoming, Qt::QueuedConnection);
    });
    m_dwLastPoll = m_dwLastReceive = m_app.Clock().Now();
    ApplyPortSettings();
    m_app.RegisterView(this);
}

CVELTRANView2::~CVELTRANView2()
{
    m_app.UnregisterView(this);
    m_bDisplayRunning = 0;
    m_link.Connect(false);
}

void CVELTRANView2::ApplyPortSettings()
{
    SettingsStore& s = m_app.Settings();
    const int port = s.Get(keys::TNCPort);
    const int baud = s.Get(keys::TNCBaud);
    if (port <= 0) {
        m_bPortConfigured = 0;
        m_bDisplayRunning = 0;
        m_link.Connect(false);
    } else {
        m_bPortConfigured = 1;
        const int usePort = port > keys::kMaxPort ? 1 : port;
        if (static_cast<int>(m_link.m_nPort) != usePort || static_cast<int>(m_link.m_nBaud) != baud ||
            m_link.m_nByteSize != 8 || m_link.m_nParity != 0 || m_link.m_nStopBits != 0) {
            m_link.Connect(false);
            m_link.m_nPort = usePort;
            m_link.m_nParity = 0;
            m_link.m_nStopBits = 0;
            m_link.m_nByteSize = 8;
            m_link.m_bPttKeying = 0;  // the TNC link never keys a transmitter
            m_link.m_nBaud = baud;
            m_link.SetReceiveShift(false);
            m_link.m_bTxFigures = 0;
        }
        m_bDisplayRunning = 1;
        m_link.Connect(true);
    }
    m_dwLastReceive = m_app.Clock().Now();
}

void CVELTRANView2::TakeIncoming()
{
    m_takePosted = false;
    std::string text = m_link.TakeReceived();
    m_dwLastReceive = m_dwLastPoll = m_app.Clock().Now();
    if (text.empty())
        return;
    m_strPending += text;
    std::erase(m_strPending, '\r');
    const size_t width = static_cast<size_t>(std::max(1, m_app.Settings().Get(keys::TNCPageWidth)));
    for (;;) {
        const size_t lf = m_strPending.find('\n');
        if (lf != std::string::npos) {
            m_doc.AddText(m_strPending.substr(0, lf), CVELTRANDoc::kTncList);
            m_strPending.erase(0, lf + 1);
        } else if (m_strPending.size() >= width) {
            m_doc.AddText(m_strPending.substr(0, width), CVELTRANDoc::kTncList);
            m_strPending.erase(0, width);
        } else {
            break;
        }
    }
    viewport()->update();
}

void CVELTRANView2::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().base());
    p.setFont(m_app.m_fontDNC);
    p.setPen(m_app.m_colorDNC.isValid() ? m_app.m_colorDNC : palette().text().color());
    const QFontMetrics fm(m_app.m_fontDNC);
    const int h = std::max(1, fm.height());
    int bottom = viewport()->height();
    auto drawRow = [&](const std::string& line) {
        p.drawText(1, bottom - h + fm.ascent(), QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
        bottom -= h;
    };
    drawRow(m_strPending);
    const LineList& lines = m_doc.GetList(CVELTRANDoc::kTncList);
    for (auto it = lines.rbegin(); it != lines.rend() && bottom > 0; ++it)
        drawRow(*it);
}

void CVELTRANView2::keyPressEvent(QKeyEvent* event)
{
    if (!m_link.IsOpen()) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_link.SendChar(m_app.Settings().Get(keys::TNCCRLF) ? "\r\n" : "\r");
        return;
    }
    if (event->key() == Qt::Key_Backspace) {
        m_link.SendChar('\b');
        return;
    }
    const QByteArray bytes = event->text().toLatin1();
    if (bytes.size() == 1 && (static_cast<unsigned char>(bytes[0]) >= 0x20 || bytes[0] == '\t' || bytes[0] == 0x1B)) {
        m_link.SendChar(bytes[0]);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

bool CVELTRANView2::OnCommand(int id)
{
    if (id == ID_EDIT_CLEAR_SCREEN) {
        m_doc.ClearList(CVELTRANDoc::kTncList);
        viewport()->update();
        return true;
    }
    return m_tapeCommands && m_tapeCommands->OnCommand(id);
}

bool CVELTRANView2::OnUpdateCommand(int id, CommandState& state)
{
    if (id == ID_EDIT_CLEAR_SCREEN) {
        state.enabled = true;
        return true;
    }
    return m_tapeCommands && m_tapeCommands->OnUpdateCommand(id, state);
}
