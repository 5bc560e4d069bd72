#include "views/widgets/CVELTRANView.h"

#include "app/Latin1Text.h"
#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/CommandTable.h"
#include "app/DeviceMap.h"
#include "app/SettingsStore.h"
#include "views/FrameStatus.h"
#include "views/KCallPicker.h"
#include "views/ReceiveLineSwap.h"
#include "views/RttyLinkControl.h"
#include "views/widgets/PanePrinter.h"
#include "views/widgets/PaneScrollBar.h"
#include "views/widgets/SteadyScrollBar.h"
#include "views/widgets/TapeDialogs.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {

constexpr int kDeadmanPeriodMs = 1000;
constexpr const char* kForcedReceiveText = "RXD      ";

// The menu item text of a command: what follows the first LF of its prompt string.
QString MenuItemText(int id)
{
    const std::string prompt = PromptString(id);
    const size_t lf = prompt.find('\n');
    const std::string item = lf == std::string::npos ? prompt : prompt.substr(lf + 1);
    return QString::fromLatin1(item.data(), static_cast<qsizetype>(item.size()));
}

}  // namespace

CVELTRANView::CVELTRANView(CVELTRANApp& app, CVELTRANDoc& doc, FrameStatus& status, QWidget* parent)
    : QAbstractScrollArea(parent),
      m_app(app),
      m_doc(doc),
      m_status(status),
      m_source(m_link),
      m_cutter([this] { Beep(BeepKind::kDefault); }),
      m_display(m_source, m_cutter, app.Clock(), m_dwLastPoll, m_dwLastReceive),
      m_viewport(ViewportPolicy::ReceivePage())
{
    setVerticalScrollBar(new SteadyScrollBar(this));  // repaints only when it looks different
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    // Every paint fills what it repaints, so a current-line update touches one row only.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setPageStep(5);
    new PaneScrollBar(
        verticalScrollBar(), m_viewport,
        [this] { return static_cast<int64_t>(m_doc.GetList(CVELTRANDoc::kReceiveList).size()); },
        [this] { viewport()->update(); }, this);

    m_beep = [](BeepKind) {
        // May run on the display thread: the beep itself belongs to the interface thread.
        QMetaObject::invokeMethod(qApp, [] { QApplication::beep(); }, Qt::QueuedConnection);
    };

    m_exportTape = &TapeDialogs::ExportList;

    m_link.ClearTransmit();
    SettingsStore& settings = m_app.Settings();
    m_link.SetDeviceOpener(StationDeviceOpener(settings, StationPort::Rtty));
    // Called on the link's receive thread: only wakes the display thread.
    m_link.SetDataReadyCallback([this] { m_display.Notify(); });
    // Called on the display thread: only posts; m_display coalesces the posts.
    m_display.SetRepaintHook([this] {
        QMetaObject::invokeMethod(this, &CVELTRANView::OnDisplayUpdate, Qt::QueuedConnection);
    });

    const uint32_t now = m_app.Clock().Now();
    m_dwLastPoll = now;
    m_dwLastReceive = now;
    RefreshMetrics();
    ApplyPortSettings();
    SyncScrollBar();

    m_deadmanTimer.setInterval(kDeadmanPeriodMs);
    connect(&m_deadmanTimer, &QTimer::timeout, this, &CVELTRANView::DeadmanTick);
    m_deadmanTimer.start();
    m_app.RegisterView(this);
}

CVELTRANView::~CVELTRANView()
{
    m_app.UnregisterView(this);
    m_deadmanTimer.stop();
    m_bDisplayRunning = 0;
    // The display thread first (it takes from the link), then the link's own
    // threads; after that no callback can reach this object.
    m_display.Stop();
    m_link.Connect(false);
    m_link.SetDataReadyCallback({});
}

void CVELTRANView::ApplyPortSettings()
{
    SettingsStore& settings = m_app.Settings();
    const RttyPortConfig config = RttyPortConfig::Read(settings);
    const bool configured = RttyLinkControl::Apply(m_link, config);
    m_display.SetByteSize(m_link.m_nByteSize);
    m_display.SetPageWidth(settings.Get(keys::RTTYPageWidth));
    if (configured) {
        m_bDisplayRunning = 1;
        if (!m_display.Start())
            m_bDisplayRunning = 0;
    } else {
        m_bDisplayRunning = 0;
        m_display.Stop();
    }
    m_dwLastReceive = m_app.Clock().Now();
}

void CVELTRANView::SetBeepHook(BeepHook hook)
{
    MutexLock hold(m_beepMutex);
    m_beep = std::move(hook);
}

void CVELTRANView::Beep(BeepKind kind)
{
    MutexLock hold(m_beepMutex);
    if (m_beep)
        m_beep(kind);
}

// ---- Display hand-over -------------------------------------------------------

void CVELTRANView::TakeCompletedLines()
{
    const std::string completed = m_cutter.TakeCompleted();
    if (!completed.empty())
        m_doc.AddText(completed, CVELTRANDoc::kReceiveList);
}

void CVELTRANView::OnDisplayUpdate()
{
    // The page width is read here, on the store's thread, and handed to the
    // display thread; a change takes effect at its next pass.
    m_display.SetPageWidth(m_app.Settings().Get(keys::RTTYPageWidth));
    const ReceiveLineCutter::Repaint due = m_display.TakeRepaint();
    TakeCompletedLines();
    if (due == ReceiveLineCutter::Repaint::kWholeView || m_rcCurrentLine.isEmpty()) {
        viewport()->update();
    } else if (due == ReceiveLineCutter::Repaint::kCurrentLine) {
        // The arriving line is drawn at once, and only its row.
        viewport()->repaint(m_rcCurrentLine);
    }
}

// ---- Painting ----------------------------------------------------------------

void CVELTRANView::RefreshMetrics()
{
    const QFontMetrics fm(m_app.m_fontRTTY);
    m_tm.height = std::max(1, fm.height());
    m_tm.averageCharWidth = std::max(1, fm.averageCharWidth());
    m_tm.ascent = fm.ascent();
}

PageMetrics CVELTRANView::Metrics() const
{
    PageMetrics m;
    const QRect r = viewport()->rect();
    m.top = r.top();
    m.bottom = r.top() + r.height();
    m.lineHeight = m_tm.height;
    m.keptCount = m_doc.GetLineCount(CVELTRANDoc::kReceiveList);
    m.lineCount = static_cast<int64_t>(m_doc.GetList(CVELTRANDoc::kReceiveList).size());
    m.merge = m_app.Settings().Get(keys::XRMerge) != 0;
    m.scrollBack = m_viewport.ScrollBack();
    return m;
}

QColor CVELTRANView::TextColour() const
{
    return m_app.m_colorRTTY.isValid() ? m_app.m_colorRTTY : palette().color(QPalette::WindowText);
}

void CVELTRANView::paintEvent(QPaintEvent* event)
{
    TakeCompletedLines();
    RefreshMetrics();
    const PageMetrics m = Metrics();
    m_viewport.SetLineCount(m.lineCount);

    QPainter p(viewport());
    const QRect area = event->rect();
    p.fillRect(area, palette().color(QPalette::Base));
    p.setFont(m_app.m_fontRTTY);
    const QColor text = TextColour();
    const QColor highlight = palette().color(QPalette::Highlight);
    const int width = viewport()->width();
    auto drawRow = [&](int top, std::string_view line, bool marked) {
        p.setPen(marked ? highlight : text);
        p.drawText(1, top + m_tm.ascent, Latin1(line));
    };

    int top = 0, bottom = 0;
    ReceivePage::CurrentLineRow(m, &top, &bottom);
    m_rcCurrentLine = QRect(0, top, width, bottom - top);
    if (area.intersects(m_rcCurrentLine)) {
        const std::string current = m_cutter.CurrentLine();
        drawRow(top, current, !current.empty() && current[0] == '>');
    }
    if (m.merge) {
        ReceivePage::EchoRow(m, &top, &bottom);
        m_rcTxEcho = QRect(0, top, width, bottom - top);
        if (area.intersects(m_rcTxEcho))
            drawRow(top, ">" + m_strTxEcho, true);
    } else {
        m_rcTxEcho = QRect();
    }

    const LineList& lines = m_doc.GetList(CVELTRANDoc::kReceiveList);
    for (const ReceivePage::Row& row : ReceivePage::VisibleRows(m)) {
        if (row.bottom <= area.top() || row.top >= area.top() + area.height())
            continue;
        const std::string_view line = lines[static_cast<size_t>(row.lineNumber - 1)];
        drawRow(row.top, line, !line.empty() && line[0] == '>');
    }
    p.end();
    emit painted(area);
}

void CVELTRANView::SetTxEcho(const std::string& text)
{
    m_strTxEcho = text;
    if (m_rcTxEcho.isEmpty())
        viewport()->update();
    else
        viewport()->update(m_rcTxEcho);
}

// ---- Scrolling ---------------------------------------------------------------

void CVELTRANView::scrollContentsBy(int, int)
{
    // The page is drawn from the viewport's scroll-back count; pixels are never moved.
}

void CVELTRANView::SyncScrollBar()
{
    m_viewport.SetLineCount(static_cast<int64_t>(m_doc.GetList(CVELTRANDoc::kReceiveList).size()));
}

// ---- Mouse -------------------------------------------------------------------

ReceivePage::Hit CVELTRANView::HitAt(int y) const
{
    return ReceivePage::HitTest(Metrics(), y);
}

std::optional<std::string_view> CVELTRANView::ListLine(int32_t number) const
{
    const LineList& lines = m_doc.GetList(CVELTRANDoc::kReceiveList);
    if (number < 1 || static_cast<size_t>(number) > lines.size())
        return std::nullopt;
    return lines[static_cast<size_t>(number - 1)];
}

void CVELTRANView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    TakeCompletedLines();
    const ReceivePage::Hit hit = HitAt(static_cast<int>(event->position().y()));
    switch (hit.kind) {
    case ReceivePage::Hit::kCurrentLine:
        OnSwapFigures();
        break;
    case ReceivePage::Hit::kListLine:
        m_nSelLine = static_cast<int32_t>(hit.lineNumber);
        OnSwapLine();
        break;
    case ReceivePage::Hit::kNothing:
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        break;
    }
}

void CVELTRANView::contextMenuEvent(QContextMenuEvent* event)
{
    TakeCompletedLines();
    const QPoint at = event->pos();  // viewport coordinates
    m_nSelColumn = ReceivePage::Column(at.x(), m_tm.averageCharWidth);
    const ReceivePage::Hit hit = HitAt(at.y());

    QMenu menu(this);
    auto addItem = [&](int id) {
        QAction* action = menu.addAction(MenuItemText(id));
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    };
    if (hit.kind == ReceivePage::Hit::kCurrentLine) {
        addItem(ID_EDIT_SWAP_FIGS);
    } else if (hit.kind == ReceivePage::Hit::kListLine) {
        m_nSelLine = static_cast<int32_t>(hit.lineNumber);
        addItem(ID_EDIT_SWAP_LINE);
        addItem(ID_PASTE_KCALL);
    }
    event->accept();
    if (menu.isEmpty())
        return;
    if (m_menuRunner)
        m_menuRunner(menu, event->globalPos());
    else
        menu.exec(event->globalPos());
}

// ---- Commands ----------------------------------------------------------------

bool CVELTRANView::OnCommand(int id)
{
    switch (id) {
    case ID_EDIT_SWAP_FIGS: OnSwapFigures(); return true;
    case ID_EDIT_SWAP_LINE: OnSwapLine(); return true;
    case ID_PASTE_KCALL: OnPasteKCall(); return true;
    case ID_EDIT_CLEAR_SCREEN: OnClearScreen(); return true;
    case ID_FILE_EXPORT_TAPE: ExportTape(); return true;
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW: Print(id); return true;
    default: return false;
    }
}

bool CVELTRANView::OnUpdateCommand(int id, CommandState& state)
{
    switch (id) {
    case ID_EDIT_SWAP_FIGS:
    case ID_PASTE_KCALL:
    case ID_EDIT_CLEAR_SCREEN:
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW:
        state.enabled = true;
        return true;
    case ID_EDIT_SWAP_LINE:
        state.enabled = m_nSelLine >= 0;
        return true;
    case ID_FILE_EXPORT_TAPE:
        state.enabled = static_cast<bool>(m_exportTape);
        return true;
    default:
        return false;
    }
}

void CVELTRANView::OnSwapFigures()
{
    m_link.InvertReceiveShift();
}

void CVELTRANView::OnSwapLine()
{
    TakeCompletedLines();
    const std::optional<std::string_view> line = ListLine(m_nSelLine);
    if (!line)
        return;
    m_doc.SetLine(CVELTRANDoc::kReceiveList, static_cast<size_t>(m_nSelLine - 1), ReceiveLineSwap::Swap(std::string(*line)));
    viewport()->update();
}

void CVELTRANView::OnPasteKCall()
{
    TakeCompletedLines();
    const std::optional<std::string_view> line = ListLine(m_nSelLine);
    if (!line || m_nSelColumn < 0)
        return;
    // The column moves to the start of the word and keeps that value.
    int column = m_nSelColumn;
    const std::string word = KCallPicker::Pick(std::string(*line), column);
    m_nSelColumn = column;
    if (!word.empty())
        m_app.Settings().Put(keys::MacroOtherCall, word);
}

void CVELTRANView::OnClearScreen()
{
    TakeCompletedLines();
    m_doc.ClearList(CVELTRANDoc::kReceiveList);
    SyncScrollBar();
    viewport()->update();
}

void CVELTRANView::ExportTape()
{
    TakeCompletedLines();
    if (m_exportTape)
        m_exportTape(this, m_doc.GetList(CVELTRANDoc::kReceiveList));
}

// ---- Printing ----------------------------------------------------------------

void CVELTRANView::Print(int id)
{
    TakeCompletedLines();
    PanePrinter::Listing listing;
    listing.lines = &m_doc.GetList(CVELTRANDoc::kReceiveList);
    PanePrinter::Run(id, this, m_status.SharedPrinter(), m_app.Settings(), listing);
}

// ---- Deadman -----------------------------------------------------------------

void CVELTRANView::DeadmanTick()
{
    SettingsStore& settings = m_app.Settings();
    // Keep the display thread's copies of the settings current and the idle
    // stamp moving while the channel is quiet.
    m_display.SetPageWidth(settings.Get(keys::RTTYPageWidth));
    m_display.RefreshIdlePoll();

    const bool disabled = settings.Get(keys::DisableDeadman) != 0;
    if (Deadman::Tick(m_nDeadmanCount, disabled, m_link.m_bTxActive != 0, m_link.m_bKeyed != 0) !=
        Deadman::Action::kForceReceive)
        return;
    m_status.SetAutoPaneText(kForcedReceiveText);
    RttyLinkControl::PutInReceive(m_link);
    Beep(BeepKind::kExclamation);
}
