#include "views/TxRxControl.h"

#include "app/CVELTRANDoc.h"
#include "app/SettingsStore.h"
#include "link/TickSource.h"
#include "views/CommandTarget.h"
#include "views/FrameStatus.h"
#include "views/ReceiveSide.h"
#include "views/TransmitHost.h"
#include "views/TransmitLink.h"

#include <QString>

#include <algorithm>

namespace {
// Status texts, padded to their panes' widths.
constexpr const char* kTxd = "TXD      ";
constexpr const char* kRxd = "RXD      ";
constexpr const char* kAutoHandedOn = "Auto TXD   ";
constexpr const char* kAutoKeyed = "Auto TXD  ";
constexpr const char* kAutoUnkeyed = "Auto RXD  ";
constexpr const char* kDiddle = "Diddle";
}  // namespace

TxRxControl::TxRxControl(SettingsStore& settings, CVELTRANDoc& doc, TransmitHost& host,
                         const TickSource& clock)
    : m_settings(settings), m_doc(doc), m_host(host), m_clock(clock), m_stopWait(clock),
      m_returnWait(clock)
{
    LoadDiddleBeep();
}

void TxRxControl::LoadDiddleBeep()
{
    m_bDiddleBeep = m_settings.Get(keys::DiddleBeep) != 0 ? 1 : 0;
}

int TxRxControl::CurrentProtocol() const
{
    return m_settings.Get(keys::RTTYDuplex);
}

void TxRxControl::ShowAuto(const std::string& text)
{
    if (FrameStatus* status = m_host.Status())
        status->SetAutoPaneText(text);
}

void TxRxControl::ShowDiddle(const std::string& text)
{
    if (FrameStatus* status = m_host.Status())
        status->SetDiddlePaneText(text);
}

bool TxRxControl::RefuseDownPort(TransmitLink& link)
{
    const PortState port = link.State(m_settings);
    if (ConditionOf(port) != PortCondition::Down)
        return false;
    // Nothing could go on the air: say why instead of showing a transmission.
    ShowAuto(kRxd);
    if (FrameStatus* status = m_host.Status())
        status->SetMessageText(QString::fromLocal8Bit(DescribePortState(port).c_str()));
    return true;
}

bool TxRxControl::DoTransmit()
{
    if (CurrentProtocol() != kManual)
        return true;
    ReceiveSide* rv = m_host.ReceiveView();
    if (rv && RefuseDownPort(rv->Link()))
        return false;
    ++m_nTransmits;
    ShowAuto(kTxd);
    if (rv) {
        TransmitLink& link = rv->Link();
        // The transmission opens by stating the shift the far end should be
        // in. The code goes in front while the link is still held: released
        // first, the transmit thread could already be writing queued text.
        link.SetTxActive(true);
        link.PushFront(link.CurrentShiftCode());
        link.SetTxHold(false);
        link.KeyTransmitter();
    }
    if (!m_bFlushing) {
        m_bFlushing = 1;
        FlushDelayed(true);
        m_bFlushing = 0;
    }
    return true;
}

void TxRxControl::DoReceive()
{
    m_bReturnToReceive = 0;
    if (CurrentProtocol() != kManual)
        return;
    ShowAuto(kRxd);
    if (ReceiveSide* rv = m_host.ReceiveView()) {
        // Whatever is still queued stays there for the next Transmit.
        rv->Link().StopSending();
    }
}

void TxRxControl::SendReceive(bool testMode)
{
    if (testMode) {
        if (ReceiveSide* rv = m_host.ReceiveView())
            rv->Link().InjectTestMessage(true);
        return;
    }
    if (!DoTransmit())
        return;
    m_returnWait.Reset();
    m_bReturnToReceive = 1;
}

void TxRxControl::ClearTxBuffer(const std::function<void()>& discardUnsent)
{
    // The sends are dropped with the buffer, a waiting stop-transmit too.
    m_bStopWaiting = false;
    if (ReceiveSide* rv = m_host.ReceiveView()) {
        rv->Link().ClearTransmit();
        if (discardUnsent)
            discardUnsent();
    }
    DoReceive();
}

void TxRxControl::CopyToReceiveList(const std::string& text)
{
    ReceiveSide* rv = m_host.ReceiveView();
    if (rv)
        rv->TakeCompletedLines();
    // Each piece ends at a line feed; the rest after the last one is added as
    // well, even when empty, so a text ending in a line end adds an empty ">" line.
    size_t start = 0;
    for (;;) {
        const size_t lf = text.find('\n', start);
        std::string piece = text.substr(start, lf == std::string::npos ? std::string::npos : lf - start);
        piece.erase(std::remove(piece.begin(), piece.end(), '\r'), piece.end());
        if (rv)
            rv->Link().EchoThroughCodec(piece, 2);
        m_doc.AddText(">" + piece, CVELTRANDoc::kReceiveList);
        if (lf == std::string::npos)
            break;
        start = lf + 1;
    }
    if (rv)
        rv->Repaint();
}

void TxRxControl::FlushDelayed(bool copyToReceive)
{
    ReceiveSide* rv = m_host.ReceiveView();
    if (!rv || m_strDelayed.empty())
        return;
    rv->SetTxEcho(std::string());
    std::string text;
    text.swap(m_strDelayed);
    ShowAuto(kAutoHandedOn);
    if (copyToReceive && m_settings.Get(keys::XRMerge) != 0)
        CopyToReceiveList(text);
    rv->Link().SendText(text);
    rv->ClearDeadmanCount();
}

void TxRxControl::IdleFillStep()
{
    TransmitLink& link = m_host.ReceiveView()->Link();
    const size_t out = link.TxOutLength();
    const size_t queued = link.TxQueueLength();
    // Only the link can tell idle fill from the end of the text (whose last
    // write leaves the out-buffer empty before it is on the line), and the
    // final drain of a stop-transmit is no idle period.
    if (!m_bStopWaiting && link.IdleFillOnAir()) {
        // Idle fill is on the air: announce it once per idle period.
        if (m_bDiddleBeep && !m_bDiddleShown)
            m_host.Beep();
        m_bDiddleShown = 1;
        ShowDiddle(kDiddle);
    } else {
        m_bDiddleShown = 0;
        ShowDiddle(std::to_string(out + queued));
    }
}

void TxRxControl::ReportKeyFailure(TransmitLink& link)
{
    const std::string why = link.TakeKeyFailure();
    if (why.empty())
        return;
    // The link has dropped the transmission; the panes stop showing one.
    const std::string text = "The transmitter could not be keyed (" + why + "): nothing was sent";
    m_host.Status()->SetMessageText(QString::fromLocal8Bit(text.c_str()));
    if (CurrentProtocol() == kManual)
        DoReceive();
}

void TxRxControl::ReturnWhenQuiet(TransmitLink& link)
{
    // The look that finds the text through holds the link (no more fill);
    // the tick that finds the line quiet returns to receive.
    if (!m_returnWait.Pending(link))
        DoReceive();
}

void TxRxControl::TimerStep()
{
    ReceiveSide* rv = m_host.ReceiveView();
    if (rv && m_host.Status()) {
        TransmitLink& link = rv->Link();
        ReportKeyFailure(link);
        if (CurrentProtocol() == kManual) {
            // The port went away in the middle of a transmission: the link has
            // unkeyed and sends nothing, so the window stops showing one.
            if (link.TxActive() && link.Down())
                DoReceive();
            if (link.TxActive()) {
                IdleFillStep();
            } else {
                m_bDiddleShown = 0;
                ShowDiddle(std::string());
            }
            // With idle fill or without, Send/Receive returns once its text
            // has left the line.
            if (m_bReturnToReceive)
                ReturnWhenQuiet(link);
            return;
        }
        if (!link.Keyed() || link.TxHold()) {
            m_bDiddleShown = 0;
            ShowAuto(kAutoUnkeyed);
            ShowDiddle(std::string());
            if (m_bReturnToReceive)
                DoReceive();
            m_bReturnToReceive = 0;
        } else {
            ShowAuto(kAutoKeyed);
            IdleFillStep();
        }
    }
    ReleaseDelayedIfQuiet();
}

void TxRxControl::BeginStopTransmit()
{
    m_stopWait.Reset();
    m_bStopWaiting = true;
    m_nTransmitsAtStop = m_nTransmits;
}

bool TxRxControl::StopTransmitPending()
{
    if (!m_bStopWaiting || m_nTransmits != m_nTransmitsAtStop)
        return false;
    ReceiveSide* rv = m_host.ReceiveView();
    return rv && m_stopWait.Pending(rv->Link());
}

void TxRxControl::EndStopTransmit()
{
    const bool overruled = m_bStopWaiting && m_nTransmits != m_nTransmitsAtStop;
    m_bStopWaiting = false;
    if (!overruled)
        DoReceive();
}

void TxRxControl::ReleaseDelayedIfQuiet()
{
    if (m_bFlushing)
        return;
    m_bFlushing = 1;
    // Quiet means the last text taken from the link is more than kQuietMs old,
    // measured now; the wrapping 32-bit difference stays right across the wrap.
    // The last-receive tick is read before the clock, so a tick the display
    // thread writes meanwhile can never look newer than "now".
    if (ReceiveSide* rv = m_host.ReceiveView()) {
        const uint32_t last = rv->LastReceiveTick();
        const uint32_t age = m_clock.Now() - last;
        if (age > kQuietMs)
            FlushDelayed(true);
    }
    m_bFlushing = 0;
}

void TxRxControl::UpdateTransmit(CommandState& state)
{
    ReceiveSide* rv = m_host.ReceiveView();
    state.enabled = true;
    state.checked = rv && rv->Link().TxActive();
}

void TxRxControl::UpdateReceive(CommandState& state)
{
    ReceiveSide* rv = m_host.ReceiveView();
    state.enabled = true;
    state.checked = rv && !rv->Link().TxActive();
}

void TxRxControl::UpdateSendReceive(bool testMode, CommandState& state)
{
    state.enabled = testMode || CurrentProtocol() == kManual;
    state.checked = !testMode && m_bReturnToReceive;
}
