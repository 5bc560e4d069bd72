#include "views/widgets/CVELTRANView3.h"

#include "app/Latin1Text.h"
#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/CommandTable.h"
#include "app/SettingsStore.h"
#include "app/WallClock.h"
#include "views/FileExists.h"
#include "views/FrameStatus.h"
#include "views/TransmitLayout.h"
#include "views/VirtualKey.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/PaneScrollBar.h"
#include "views/widgets/ReceiveViewSide.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <algorithm>

namespace {

constexpr int kCaretWidth = 2;
constexpr int kCaretHeight = 16;
constexpr int kTimerPeriodMs = 1000;

// The key code the rules know for a Qt key, or 0.
int VirtualKeyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_End: return vkey::kEnd;
    case Qt::Key_Home: return vkey::kHome;
    case Qt::Key_Left: return vkey::kLeft;
    case Qt::Key_Up: return vkey::kUp;
    case Qt::Key_Right: return vkey::kRight;
    case Qt::Key_Down: return vkey::kDown;
    case Qt::Key_Delete: return vkey::kDelete;
    default: break;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F9)
        return vkey::kF1 + (qtKey - Qt::Key_F1);
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;  // Qt's codes for these are their capital ASCII codes
    return 0;
}

// Keys that make no character of their own, whatever text Qt attaches.
bool MakesNoCharacter(int qtKey)
{
    return qtKey == Qt::Key_Delete || qtKey == Qt::Key_Insert;
}

// The menu text of a command: the part after the last LF of its prompt string.
QString MenuText(int id, const char* fallback)
{
    const std::string prompt = PromptString(id);
    const size_t lf = prompt.rfind('\n');
    const std::string text = lf == std::string::npos ? prompt : prompt.substr(lf + 1);
    return text.empty() ? QString::fromLatin1(fallback) : Latin1(text);
}

}  // namespace

CVELTRANView3::CVELTRANView3(CVELTRANApp& app, CVELTRANDoc& doc, FrameStatus& status, QWidget* parent)
    : QAbstractScrollArea(parent),
      m_app(app),
      m_doc(doc),
      m_status(status),
      m_control(app.Settings(), doc, *this, app.Clock()),
      m_line(app.Settings(), doc, *this, m_control, SystemWallClock::Instance()),
      m_viewport(ViewportPolicy::TransmitHistory())
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    new PaneScrollBar(
        verticalScrollBar(), m_viewport,
        [this] { return static_cast<int64_t>(m_doc.GetList(CVELTRANDoc::kTransmitList).size()); },
        [this] { viewport()->update(); }, this);
    SyncScrollBar();
    m_app.RegisterView(this);
    RefreshPortState();
    // The frame finishes making all panes before this one becomes ready.
    QMetaObject::invokeMethod(this, &CVELTRANView3::OnInitialUpdate, Qt::QueuedConnection);
}

CVELTRANView3::~CVELTRANView3()
{
    m_timer.stop();
    m_line.SaveModes();
    m_app.UnregisterView(this);
}

void CVELTRANView3::RefreshPortState()
{
    m_line.RefreshPortState();
    m_control.LoadDiddleBeep();
    m_bPortOpen = m_line.PortOpen() ? 1 : 0;
    viewport()->update();
}

void CVELTRANView3::OnInitialUpdate()
{
    if (m_bReady)
        return;
    m_bReady = true;
    m_line.OnReady();
    if (m_readyAction)
        m_readyAction();
    m_timer.start(kTimerPeriodMs, this);
    viewport()->update();
}

void CVELTRANView3::SetMacroHandler(TypeAhead::MacroHandler handler)
{
    m_line.SetMacroHandler(std::move(handler));
}

// ---- TransmitHost --------------------------------------------------------

ReceiveSide* CVELTRANView3::ReceiveView()
{
    // The one place the transmit side finds the receive pane; everything
    // else goes through the adapter made here.
    if (!m_receivePane) {
        m_receiveSide.reset();
        m_receivePane = m_app.FindView<CVELTRANView>();
        if (m_receivePane)
            m_receiveSide = std::make_unique<ReceiveViewSide>(*m_receivePane, m_doc);
    }
    return m_receiveSide.get();
}

FrameStatus* CVELTRANView3::Status()
{
    return &m_status;
}

void CVELTRANView3::Beep()
{
    QApplication::beep();
}

void CVELTRANView3::InvalidateCurrentLine()
{
    if (m_rcCurrentLine.isValid())
        viewport()->update(m_rcCurrentLine);
    else
        viewport()->update();
}

void CVELTRANView3::RepaintPane()
{
    viewport()->update();
}

void CVELTRANView3::HistoryScrollToNewest()
{
    // The bar keeps the one range the scroll rules use (0..count at
    // count - scroll-back), so it always shows what the pane shows.
    SyncScrollBar();
}

void CVELTRANView3::RepaintNow()
{
    viewport()->repaint();
}

// ---- Drawing -------------------------------------------------------------

int CVELTRANView3::HistoryCount() const
{
    return static_cast<int>(m_doc.GetList(CVELTRANDoc::kTransmitList).size());
}

int CVELTRANView3::LineHeight() const
{
    return std::max(1, QFontMetrics(m_app.m_fontRTTY).height());
}

QColor CVELTRANView3::TextColour() const
{
    if (!m_bPortOpen)
        return palette().color(QPalette::Disabled, QPalette::WindowText);
    return m_app.m_colorRTTY.isValid() ? m_app.m_colorRTTY : palette().color(QPalette::WindowText);
}

void CVELTRANView3::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().base());
    p.setFont(m_app.m_fontRTTY);
    const QFontMetrics fm(m_app.m_fontRTTY);
    const int h = std::max(1, fm.height());
    const QColor colour = TextColour();
    const QColor highlight = palette().color(QPalette::Highlight);
    const LineList& history = m_doc.GetList(CVELTRANDoc::kTransmitList);
    const int count = static_cast<int>(history.size());
    const int bottom = TransmitLayout::BottomEdge(viewport()->height(), h, count);
    m_viewport.SetLineCount(count);  // lines may have come from elsewhere (a tape note, an opened document)

    m_rcCurrentLine = QRect(0, bottom - h, viewport()->width(), h);
    p.setPen(colour);
    p.drawText(1, bottom - h + fm.ascent(), Latin1(m_line.DisplayLine()));

    if (hasFocus()) {
        const std::string line = m_line.LineText();
        const size_t caret = static_cast<size_t>(std::clamp(m_line.Caret(), 0, static_cast<int>(line.size())));
        const int x = 1 + fm.horizontalAdvance(Latin1(" " + m_line.Prompt() + line.substr(0, caret)));
        p.fillRect(QRect(x, bottom - h, kCaretWidth, kCaretHeight), colour);
    }

    int rowBottom = bottom - h;
    for (int i = count - 1 - ScrollBack(); i >= 0 && rowBottom > 0; --i) {
        const std::string_view line = history[static_cast<size_t>(i)];
        const bool note = !line.empty() && line[0] == '>';
        p.setPen(note ? highlight : colour);
        // The marker is drawn as a blank. (Built by appending: GCC 12 warns
        // falsely about `" " + std::string` at -O3.)
        std::string shown(1, ' ');
        if (!line.empty())
            shown.append(line.substr(1));
        p.drawText(1, rowBottom - h + fm.ascent(), Latin1(shown));
        rowBottom -= h;
    }
}

// ---- Keys ----------------------------------------------------------------

void CVELTRANView3::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    // Alt combinations are menu and accelerator keys, never typing.
    if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    bool handled = false;
    if (const int vk = VirtualKeyOf(event->key()))
        handled = m_line.OnKeyDown(vk, (mods & Qt::ControlModifier) != 0);
    else
        m_line.OnKeyDown(0, false);  // every key-down ends a consumed command key
    if (!MakesNoCharacter(event->key())) {
        const QByteArray text = event->text().toLatin1();
        for (char c : text)
            handled = m_line.OnChar(static_cast<uint8_t>(c)) || handled;
    }
    if (handled)
        event->accept();
    else
        event->ignore();
}

void CVELTRANView3::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    InvalidateCurrentLine();
}

void CVELTRANView3::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    InvalidateCurrentLine();
}

bool CVELTRANView3::focusNextPrevChild(bool)
{
    return false;
}

// ---- Mouse ---------------------------------------------------------------

std::vector<CVELTRANView3::MenuItem> CVELTRANView3::ContextMenuItems(int y)
{
    std::vector<MenuItem> items;
    const int count = HistoryCount();
    const TransmitLayout::Hit hit =
        TransmitLayout::HitTest(y, viewport()->height(), LineHeight(), count, ScrollBack());
    if (hit.kind == TransmitLayout::Hit::kCurrentLine) {
        items.push_back({ID_REPEAT_LAST, MenuText(ID_REPEAT_LAST, "Repeat Last Command"), true});
        items.push_back({ID_FILE_IMPORT_TAPE, MenuText(ID_FILE_IMPORT_TAPE, "Import Tape"), true});
        items.push_back({});
        items.push_back({ID_EDIT_PASTE, MenuText(ID_EDIT_PASTE, "Paste"), ClipboardHasText()});
        items.push_back({});
        items.push_back({ID_SEND_CQ, MenuText(ID_SEND_CQ, "Send CQ"), FileExists("TAPECQ.TXT") != 0});
        items.push_back({ID_SEND_BRAG, MenuText(ID_SEND_BRAG, "Send Brag"), FileExists("TAPEBRAG.TXT") != 0});
        items.push_back({ID_SEND_EXCHANGE, MenuText(ID_SEND_EXCHANGE, "Send Exchange"),
                         FileExists("TAPEEXCHANGE.TXT") != 0});
    } else if (hit.kind == TransmitLayout::Hit::kHistoryLine) {
        m_line.SetSelLine(hit.line);
        const LineList& history = m_doc.GetList(CVELTRANDoc::kTransmitList);
        const bool found = hit.line >= 1 && hit.line <= static_cast<int>(history.size());
        // Note lines only report something: they are not offered for sending.
        const bool usable = found && !(history[static_cast<size_t>(hit.line - 1)].rfind('>', 0) == 0);
        items.push_back({ID_DUPLICATE, MenuText(ID_DUPLICATE, "Duplicate Command"), usable});
        items.push_back({ID_EDIT_COPY, MenuText(ID_EDIT_COPY, "Copy"), usable});
    }
    return items;
}

void CVELTRANView3::contextMenuEvent(QContextMenuEvent* event)
{
    const std::vector<MenuItem> items = ContextMenuItems(event->pos().y());
    if (items.empty())
        return;
    QMenu menu(this);
    for (const MenuItem& item : items) {
        if (item.id == 0) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(item.text);
        action->setData(item.id);
        action->setEnabled(item.enabled);
    }
    if (QAction* chosen = menu.exec(event->globalPos()))
        OnCommand(chosen->data().toInt());
}

void CVELTRANView3::mouseDoubleClickEvent(QMouseEvent* event)
{
    const TransmitLayout::Hit hit = TransmitLayout::HitTest(
        event->position().toPoint().y(), viewport()->height(), LineHeight(), HistoryCount(), ScrollBack());
    if (hit.kind == TransmitLayout::Hit::kCurrentLine) {
        OnCommand(ID_FILE_IMPORT_TAPE);
    } else if (hit.kind == TransmitLayout::Hit::kHistoryLine) {
        m_line.SetSelLine(hit.line);
        m_line.DuplicateCommand();
    } else {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
    }
}

// ---- Scrolling and timer -------------------------------------------------

void CVELTRANView3::scrollContentsBy(int, int)
{
    // The pane draws from the viewport's scroll-back count; PaneScrollBar handles the bar.
}

void CVELTRANView3::SyncScrollBar()
{
    m_viewport.SetLineCount(HistoryCount());
}

void CVELTRANView3::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timer.timerId())
        m_control.TimerStep();
    else
        QAbstractScrollArea::timerEvent(event);
}

// ---- Commands ------------------------------------------------------------

bool CVELTRANView3::ClipboardHasText() const
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

bool CVELTRANView3::ForwardToReceiveView(int id)
{
    return ReceiveView() && m_receiveSide->View().OnCommand(id);
}

bool CVELTRANView3::ForwardUpdateToReceiveView(int id, CommandState& state)
{
    return ReceiveView() && m_receiveSide->View().OnUpdateCommand(id, state);
}

bool CVELTRANView3::OnCommand(int id)
{
    switch (id) {
    case ID_EDIT_COPY:
        if (const std::optional<std::string> text = m_line.CopyText())
            QGuiApplication::clipboard()->setText(Latin1(*text));
        return true;
    case ID_EDIT_PASTE:
        if (ClipboardHasText())
            m_line.Paste(QGuiApplication::clipboard()->text().toLatin1().toStdString());
        return true;
    case ID_REPEAT_LAST:
        m_line.RepeatLastCommand();
        return true;
    case ID_DUPLICATE:
        m_line.DuplicateCommand();
        return true;
    case ID_EDIT_CLEAR_SCREEN:
        m_line.ClearScreen();
        SyncScrollBar();
        return true;
    case ID_TOOLS_LINE_MODE:
        m_line.SetLineMode();
        return true;
    case ID_TOOLS_WORD_MODE:
        m_line.SetWordMode();
        return true;
    case ID_TOOLS_CHAR_MODE:
        m_line.SetCharMode();
        return true;
    case ID_EDIT_SWAP_FIGS:
    case ID_EDIT_SWAP_LINE:
    case ID_FILE_EXPORT_TAPE:  // the receive list
        return ForwardToReceiveView(id);
    case ID_TOOLS_TRANSMIT:
        m_control.DoTransmit();
        return true;
    case ID_TOOLS_RECEIVE:
        m_control.DoReceive();
        return true;
    case ID_TOOLS_SEND_RECEIVE:
        m_control.SendReceive(m_app.m_bTestMode != 0);
        return true;
    case ID_TOOLS_CLEAR_TX_BUFFER:
        // Macro and tape sends still in progress are dropped as well.
        if (m_sendCommands)
            m_sendCommands->OnCommand(id);
        m_control.ClearTxBuffer([this] { m_line.DiscardUnsent(); });
        return true;
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW:
        PanePrinter::Run(id, this, m_status.SharedPrinter(), m_app.Settings(), PrintListing());
        return true;
    default:
        return m_sendCommands && m_sendCommands->OnCommand(id);
    }
}

bool CVELTRANView3::OnUpdateCommand(int id, CommandState& state)
{
    switch (id) {
    case ID_EDIT_COPY:
        m_line.UpdateCopy(state);
        return true;
    case ID_EDIT_PASTE:
        state.enabled = ClipboardHasText();
        return true;
    case ID_REPEAT_LAST:
    case ID_DUPLICATE:
    case ID_EDIT_CLEAR_SCREEN:
        state.enabled = true;
        return true;
    case ID_TOOLS_LINE_MODE:
        m_line.UpdateLineMode(state);
        return true;
    case ID_TOOLS_WORD_MODE:
        m_line.UpdateWordMode(state);
        return true;
    case ID_TOOLS_CHAR_MODE:
        m_line.UpdateCharMode(state);
        return true;
    case ID_EDIT_SWAP_FIGS:
    case ID_EDIT_SWAP_LINE:
    case ID_FILE_EXPORT_TAPE:
        return ForwardUpdateToReceiveView(id, state);
    case ID_TOOLS_TRANSMIT:
        m_control.UpdateTransmit(state);
        return true;
    case ID_TOOLS_RECEIVE:
        m_control.UpdateReceive(state);
        return true;
    case ID_TOOLS_SEND_RECEIVE:
        m_control.UpdateSendReceive(m_app.m_bTestMode != 0, state);
        return true;
    case ID_TOOLS_CLEAR_TX_BUFFER:
        state.enabled = true;
        state.checked = false;
        return true;
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW:
        state.enabled = true;
        return true;
    default:
        return m_sendCommands && m_sendCommands->OnUpdateCommand(id, state);
    }
}

// ---- Printing ------------------------------------------------------------

PanePrinter::Listing CVELTRANView3::PrintListing() const
{
    PanePrinter::Listing listing;
    listing.lines = &m_doc.GetList(CVELTRANDoc::kReceiveList);
    listing.typedLine = m_line.LineText();
    return listing;
}

void CVELTRANView3::PrintReceiveList(QPrinter& printer)
{
    PanePrinter::PrintTo(printer, PrintListing());
}
