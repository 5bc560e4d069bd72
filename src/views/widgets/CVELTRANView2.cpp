#include "views/widgets/CVELTRANView2.h"

#include "app/Latin1Text.h"
#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/CommandTable.h"
#include "app/DeviceMap.h"
#include "app/SettingsStore.h"
#include "views/FrameStatus.h"
#include "views/VirtualKey.h"
#include "views/widgets/PanePrinter.h"
#include "views/widgets/PaneScrollBar.h"
#include "views/widgets/SteadyScrollBar.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {

constexpr int kCaretWidth = 2;
constexpr int kCaretHeight = 16;

// The key code the keyboard rules know for a Qt key, or 0.
int VirtualKeyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Left: return vkey::kLeft;
    case Qt::Key_Up: return vkey::kUp;
    case Qt::Key_Right: return vkey::kRight;
    case Qt::Key_Down: return vkey::kDown;
    default: break;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F9)
        return vkey::kF1 + (qtKey - Qt::Key_F1);
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;  // Qt's codes for these are their capital ASCII codes
    return 0;
}

// The character a keystroke types, or -1 when it types none. With Ctrl held
// a letter types its control character whatever text the platform attaches,
// and nothing printable is typed.
int CharacterOf(const QKeyEvent& event)
{
    const int key = event.key();
    const bool ctrl = (event.modifiers() & Qt::ControlModifier) != 0;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return '\r';
    case Qt::Key_Delete:
    case Qt::Key_Insert: return -1;
    default: break;
    }
    if (ctrl && key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1;
    const QByteArray text = event.text().toLatin1();
    if (text.size() != 1)
        return -1;
    const auto c = static_cast<unsigned char>(text[0]);
    if (ctrl && c >= 0x20)
        return -1;
    return c;
}

// Alt combinations are menu and accelerator keys, never typing.
bool IsMenuKey(Qt::KeyboardModifiers mods)
{
    return (mods & Qt::AltModifier) && !(mods & Qt::ControlModifier);
}

}  // namespace

CVELTRANView2::CVELTRANView2(CVELTRANApp& app, CVELTRANDoc& doc, FrameStatus& status, QWidget* parent)
    : QAbstractScrollArea(parent),
      m_app(app),
      m_doc(doc),
      m_status(status),
      m_source(m_link),
      m_display(m_source, m_cutter, app.Clock(), m_dwLastPoll, m_dwLastReceive, kDisplayRest),
      m_viewport(ViewportPolicy::TncTerminal()),
      m_keys(app.Settings(), doc, *this)
{
    setVerticalScrollBar(new SteadyScrollBar(this));  // repaints only when it looks different
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    // Every paint fills what it repaints, so a current-line update touches one row only.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    new PaneScrollBar(
        verticalScrollBar(), m_viewport,
        [this] { return static_cast<int64_t>(m_doc.GetList(CVELTRANDoc::kTncList).size()); },
        [this] { viewport()->update(); }, this);
    m_viewport.SetLineCount(static_cast<int64_t>(m_doc.GetList(CVELTRANDoc::kTncList).size()));

    m_link.ClearTransmit();
    SettingsStore& settings = m_app.Settings();
    m_link.SetDeviceOpener(StationDeviceOpener(settings, StationPort::Tnc));
    // Called on the link's receive thread: only wakes the display thread.
    m_link.SetDataReadyCallback([this] { m_display.Notify(); });
    // Called on the display thread: only posts; m_display coalesces the posts.
    m_display.SetRepaintHook([this] {
        QMetaObject::invokeMethod(this, &CVELTRANView2::OnDisplayUpdate, Qt::QueuedConnection);
    });

    const uint32_t now = m_app.Clock().Now();
    m_dwLastPoll = now;
    m_dwLastReceive = now;
    ApplyPortSettings();
    m_app.RegisterView(this);
}

CVELTRANView2::~CVELTRANView2()
{
    m_app.UnregisterView(this);
    m_bDisplayRunning = 0;
    // The display thread first (it takes from the link), then the link's own
    // threads; after that no callback can reach this object.
    m_display.Stop();
    m_link.Connect(false);
    m_link.SetDataReadyCallback({});
    m_bCaret = false;
}

void CVELTRANView2::ApplyPortSettings()
{
    SettingsStore& s = m_app.Settings();
    const int port = s.Get(keys::TNCPort);
    // No speed of 0 or less ever reaches the device.
    const int stored = s.Get(keys::TNCBaud);
    const int baud = stored > 0 ? stored : keys::TNCBaud.def;
    m_display.SetPageWidth(s.Get(keys::TNCPageWidth));
    if (port <= 0) {
        m_bPortConfigured = 0;
        m_bDisplayRunning = 0;
        m_display.Stop();
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
        m_display.SetByteSize(8);
        m_bDisplayRunning = 1;
        m_link.Connect(true);
        if (!m_display.Start())
            m_bDisplayRunning = 0;
    }
    m_dwLastReceive = m_app.Clock().Now();
    viewport()->update();  // the text colour follows m_bPortConfigured
}

// ---- Display hand-over -------------------------------------------------------

void CVELTRANView2::TakeCompletedLines()
{
    const std::string completed = m_cutter.TakeCompleted();
    if (!completed.empty())
        m_doc.AddText(completed, CVELTRANDoc::kTncList);
    m_viewport.SetLineCount(static_cast<int64_t>(m_doc.GetList(CVELTRANDoc::kTncList).size()));
}

void CVELTRANView2::OnDisplayUpdate()
{
    // The page width is read here, on the store's thread, and handed to the
    // display thread; a change takes effect at its next pass.
    m_display.SetPageWidth(m_app.Settings().Get(keys::TNCPageWidth));
    const DisplayPass::Repaint due = m_display.TakeRepaint();
    const int64_t linesBefore = static_cast<int64_t>(m_doc.GetList(CVELTRANDoc::kTncList).size());
    const int keptBefore = m_doc.GetLineCount(CVELTRANDoc::kTncList);
    const int64_t scrollBackBefore = m_viewport.ScrollBack();
    TakeCompletedLines();
    if (m_rcCurrentLine.isEmpty()) {
        viewport()->update();
    } else if (due == DisplayPass::Repaint::kWholeView) {
        const int64_t added = static_cast<int64_t>(m_doc.GetList(CVELTRANDoc::kTncList).size()) - linesBefore;
        if (!ScrollUp(added, keptBefore, scrollBackBefore))
            viewport()->update();
    } else if (due != DisplayPass::Repaint::kNone) {
        viewport()->repaint(m_rcCurrentLine);  // the arriving line at once, and only its row
    }
}

bool CVELTRANView2::ScrollUp(int64_t added, int keptBefore, int64_t scrollBackBefore)
{
    // Finished lines move every row above the current line up by as many
    // rows, as long as the page keeps its bottom edge and scroll-back:
    // the pixels move, and only the rows that came into view and the
    // emptied current line are painted, not the whole page of text.
    const QRect r = viewport()->rect();
    const int h = LineHeight();
    const int b = PaneViewport::BottomEdge(r.top(), r.top() + r.height(), h, keptBefore);
    const QRect above(r.left(), r.top(), r.width(), b - h - r.top());
    if (added <= 0 || m_viewport.ScrollBack() != scrollBackBefore || m_rcCurrentLine.height() != h ||
        m_rcCurrentLine.top() != b - h || m_rcCurrentLine.width() != r.width() ||
        PaneViewport::BottomEdge(r.top(), r.top() + r.height(), h, m_doc.GetLineCount(CVELTRANDoc::kTncList)) != b ||
        added >= above.height() / h)
        return false;
    viewport()->scroll(0, -static_cast<int>(added) * h, above);
    viewport()->update(m_rcCurrentLine);
    return true;
}

void CVELTRANView2::ListChanged()
{
    TakeCompletedLines();
    viewport()->update();
}

// ---- Painting ----------------------------------------------------------------

int CVELTRANView2::LineHeight() const
{
    return std::max(1, QFontMetrics(m_app.m_fontDNC).height());
}

QColor CVELTRANView2::TextColour() const
{
    if (!m_bPortConfigured)
        return palette().color(QPalette::Disabled, QPalette::WindowText);  // grey text
    return m_app.m_colorDNC.isValid() ? m_app.m_colorDNC : palette().color(QPalette::WindowText);
}

void CVELTRANView2::paintEvent(QPaintEvent* event)
{
    TakeCompletedLines();
    QPainter p(viewport());
    const QRect area = event->rect();
    p.fillRect(area, palette().color(QPalette::Base));
    p.setFont(m_app.m_fontDNC);
    const QFontMetrics fm(m_app.m_fontDNC);
    const int h = LineHeight();
    const QRect r = viewport()->rect();
    const int b = PaneViewport::BottomEdge(r.top(), r.top() + r.height(), h,
                                           m_doc.GetLineCount(CVELTRANDoc::kTncList));
    const QColor colour = TextColour();
    p.setPen(colour);

    std::string current;
    int caret = 0;
    m_cutter.Current(&current, &caret);
    m_rcCurrentLine = QRect(r.left(), b - h, r.width(), h);
    if (area.intersects(m_rcCurrentLine))
        p.drawText(r.left() + 1, b - h + fm.ascent(), Latin1(current));
    if (hasFocus()) {
        const size_t shown = std::min(current.size(), static_cast<size_t>(std::max(caret, 0)));
        m_ptCaret = QPoint(fm.horizontalAdvance(Latin1(current.substr(0, shown))), b - h);
        if (m_bCaret)
            p.fillRect(QRect(m_ptCaret, QSize(kCaretWidth, kCaretHeight)), colour);
    }

    const LineList& lines = m_doc.GetList(CVELTRANDoc::kTncList);
    for (const PaneViewport::Row& row : PaneViewport::RowsAbove(b - h, r.top(), h, static_cast<int64_t>(lines.size()),
                                                                m_viewport.ScrollBack())) {
        if (row.bottom <= area.top() || row.top >= area.top() + area.height())
            continue;
        p.drawText(r.left() + 1, row.top + fm.ascent(), Latin1(lines[static_cast<size_t>(row.lineNumber - 1)]));
    }
    p.end();
    emit painted(area);
}

void CVELTRANView2::scrollContentsBy(int, int)
{
    // The pane draws from the viewport's scroll-back count; pixels never move.
}

// ---- Keys, caret and mouse ---------------------------------------------------

void CVELTRANView2::SendChars(const std::string& bytes)
{
    for (char c : bytes)
        m_link.SendChar(c);
}

void CVELTRANView2::SendText(std::string& text)
{
    m_link.SendText(text);
}

bool CVELTRANView2::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && m_bPortConfigured) {
        const auto& key = *static_cast<QKeyEvent*>(event);
        const int vk = VirtualKeyOf(key.key());
        const bool ctrl = (key.modifiers() & Qt::ControlModifier) != 0;
        // F6 moves between the panes (its macro is the function bar's).
        const bool taken = !IsMenuKey(key.modifiers()) && vk != vkey::kF6 &&
                           (TncKeyboard::ArrowChar(vk) != 0 || TncKeyboard::MacroKey(vk, ctrl) != 0 ||
                            CharacterOf(key) >= 0);
        if (taken) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void CVELTRANView2::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (!m_bPortConfigured || IsMenuKey(mods)) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    bool handled = false;
    if (const int vk = VirtualKeyOf(event->key()))
        handled = m_keys.OnKeyDown(vk, (mods & Qt::ControlModifier) != 0);
    // The key-down does not swallow the keystroke's character.
    if (const int c = CharacterOf(*event); c >= 0) {
        m_keys.OnChar(static_cast<uint8_t>(c));
        handled = true;
    }
    if (handled)
        event->accept();
    else
        QAbstractScrollArea::keyPressEvent(event);
}

void CVELTRANView2::UpdateCaretRow()
{
    if (m_rcCurrentLine.isValid())
        viewport()->update(m_rcCurrentLine);
    else
        viewport()->update();
}

void CVELTRANView2::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    m_bCaret = true;
    UpdateCaretRow();
}

void CVELTRANView2::focusOutEvent(QFocusEvent* event)
{
    m_bCaret = false;
    UpdateCaretRow();
    QAbstractScrollArea::focusOutEvent(event);
}

bool CVELTRANView2::focusNextPrevChild(bool)
{
    return false;
}

void CVELTRANView2::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();  // no menu here
}

// ---- Commands ----------------------------------------------------------------

bool CVELTRANView2::OnCommand(int id)
{
    switch (id) {
    case ID_EDIT_CLEAR_SCREEN:
        TakeCompletedLines();  // lines finished before the command go too
        m_doc.ClearList(CVELTRANDoc::kTncList);
        ListChanged();
        return true;
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW: {
        TakeCompletedLines();
        PanePrinter::Listing listing;
        listing.lines = &m_doc.GetList(CVELTRANDoc::kTncList);
        PanePrinter::Run(id, this, m_status.SharedPrinter(), m_app.Settings(), listing);
        return true;
    }
    default:
        return m_tapeCommands && m_tapeCommands->OnCommand(id);
    }
}

bool CVELTRANView2::OnUpdateCommand(int id, CommandState& state)
{
    switch (id) {
    case ID_EDIT_CLEAR_SCREEN:
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW:
        state.enabled = true;
        return true;
    default:
        return m_tapeCommands && m_tapeCommands->OnUpdateCommand(id, state);
    }
}
