#include "views/widgets/TransmitSends.h"

#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/CommandTable.h"
#include "app/ReportRecord.h"
#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"
#include "views/FileExists.h"
#include "views/ReceiveSide.h"
#include "views/TransmitLink.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView3.h"
#include "views/widgets/TapeDialogs.h"

#include <QPointer>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

namespace {

// The tape of each Send command.
const char* TapeOf(int id)
{
    switch (id) {
    case ID_SEND_CQ: return TapeSender::kCqTape;
    case ID_SEND_BRAG: return TapeSender::kBragTape;
    case ID_SEND_EXCHANGE: return TapeSender::kExchangeTape;
    default: return nullptr;
    }
}

// The function-key code of each function-bar command.
int FunctionKeyOf(int id)
{
    switch (id) {
    case ID_MACRO_F2: return 0x71;
    case ID_MACRO_F4: return 0x73;
    case ID_MACRO_F5: return 0x74;
    case ID_MACRO_F6: return 0x75;
    case ID_MACRO_F7: return 0x76;
    case ID_MACRO_F8: return 0x77;
    case ID_MACRO_F9: return 0x78;
    default: return 0;
    }
}

}  // namespace

TransmitSends::TransmitSends(CVELTRANApp& app, CVELTRANDoc& doc, CVELTRANView3& view)
    : QObject(&view),
      m_app(app),
      m_doc(doc),
      m_view(view),
      m_macros(*this, doc, m_queue),
      m_tapes(*this, doc, m_queue)
{
    m_look.setSingleShot(true);
    m_look.setInterval(kLookIntervalMs);
    connect(&m_look, &QTimer::timeout, this, &TransmitSends::Pump);
}

TransmitSends::~TransmitSends() = default;

TransmitSends* TransmitSends::Install(CVELTRANApp& app, CVELTRANDoc& doc, CVELTRANView3& view)
{
    auto* sends = new TransmitSends(app, doc, view);
    view.SetMacroHandler([sends](int key) { sends->SendMacro(key); });
    view.SetSendCommands(sends);
    view.SetReadyAction([sends] { sends->SendStartupTape(); });
    // The mode code names the data type of the receive pane's link, the one
    // the text goes out on; without that pane the configured type counts.
    // The document may outlive the panes.
    doc.SetMacroSources(nullptr, [&app, transmit = QPointer<CVELTRANView3>(&view)] {
        if (ReceiveSide* receive = transmit ? transmit->ReceivePeer() : nullptr)
            return receive->Link().DataBits();
        return app.Settings().Get(keys::RTTYType);
    });
    return sends;
}

void TransmitSends::SendMacro(int key)
{
    m_macros.SendMacro(key);
    LookLater();
}

void TransmitSends::SendTape(const std::string& path)
{
    m_tapes.SendTape(path);
    LookLater();
}

void TransmitSends::SendStartupTape()
{
    if (FileExists(TapeSender::kStartupTape))
        SendTape(TapeSender::kStartupTape);
}

void TransmitSends::Report()
{
    const std::string record = ReportRecord::Build(m_doc);
    m_logger.SendReport(m_doc, record);
    std::string error;
    if (!ReportRecord::Append(record, &error))
        ShowFileError(error);
}

void TransmitSends::Pump()
{
    m_queue.Pump();
    LookLater();
}

void TransmitSends::LookLater()
{
    if (m_queue.Busy() && !m_look.isActive())
        m_look.start();
}

bool TransmitSends::OnCommand(int id)
{
    if (const int key = FunctionKeyOf(id)) {
        SendMacro(key);
        return true;
    }
    if (const char* tape = TapeOf(id)) {
        SendTape(tape);
        return true;
    }
    switch (id) {
    case ID_FILE_IMPORT_TAPE:
        if (const std::optional<std::string> path = TapeDialogs::AskImportPath(&m_view))
            SendTape(*path);
        return true;
    case ID_FILE_REPORT:
        Report();
        return true;
    case ID_TOOLS_CLEAR_TX_BUFFER:
        // The pane clears the link itself; what the sends had still to queue
        // is dropped with it.
        m_queue.Cancel();
        return false;
    default:
        return false;
    }
}

bool TransmitSends::OnUpdateCommand(int id, CommandState& state)
{
    if (FunctionKeyOf(id) != 0) {
        state.enabled = true;
        return true;
    }
    if (const char* tape = TapeOf(id)) {
        state.enabled = FileExists(tape) != 0;
        return true;
    }
    switch (id) {
    case ID_FILE_IMPORT_TAPE:
    case ID_FILE_REPORT:
        state.enabled = true;
        return true;
    default:
        return false;
    }
}

// ---- SendHost --------------------------------------------------------------

TransmitLink* TransmitSends::Link()
{
    ReceiveSide* receive = m_view.ReceivePeer();
    return receive ? &receive->Link() : nullptr;
}

bool TransmitSends::HasReceiveView()
{
    return m_view.ReceivePeer() != nullptr;
}

bool TransmitSends::CharMode()
{
    return m_view.TypeAheadLine().CharMode();
}

void TransmitSends::InsertText(const std::string& text)
{
    m_view.TypeAheadLine().InsertText(text);
}

void TransmitSends::SendToLink(std::string& text)
{
    if (TransmitLink* link = Link())
        link->SendText(text);
}

void TransmitSends::EchoThroughCodec(std::string& text, int stream)
{
    if (TransmitLink* link = Link())
        link->EchoThroughCodec(text, stream);
}

void TransmitSends::DoTransmit()
{
    m_view.Control().DoTransmit();
}

void TransmitSends::BeginStopTransmit()
{
    m_view.Control().BeginStopTransmit();
}

bool TransmitSends::StopTransmitPending()
{
    return m_view.Control().StopTransmitPending();
}

void TransmitSends::EndStopTransmit()
{
    m_view.Control().EndStopTransmit();
}

void TransmitSends::TimerStep()
{
    m_view.TimerStep();
}

void TransmitSends::ClearTxEcho()
{
    if (ReceiveSide* receive = m_view.ReceivePeer())
        receive->SetTxEcho(std::string());
}

void TransmitSends::ClearDeadmanCount()
{
    if (ReceiveSide* receive = m_view.ReceivePeer())
        receive->ClearDeadmanCount();
}

void TransmitSends::ReceiveListChanged()
{
    if (ReceiveSide* receive = m_view.ReceivePeer()) {
        receive->ScrollToNewest();
        receive->Repaint();
    }
}

void TransmitSends::HistoryChanged()
{
    m_view.SyncScrollBar();
    m_view.viewport()->update();
}

void TransmitSends::RepaintTransmitView()
{
    m_view.RepaintNow();
}

void TransmitSends::ShowFileError(const std::string& text)
{
    TapeDialogs::ShowFileError(&m_view, text);
}
