#include "frame/widgets/CMainFrame.h"

#include "app/Latin1Text.h"
#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/CommandTable.h"
#include "app/RigSettings.h"
#include "app/SessionRecovery.h"
#include "app/SettingsStore.h"
#include "frame/LockKeys.h"
#include "frame/Placement.h"
#include "frame/PortStatus.h"
#include "frame/widgets/AcceleratorKeyFilter.h"
#include "frame/widgets/DialogFramePrompts.h"
#include "frame/widgets/FrameDialogCommands.h"
#include "frame/widgets/FrameIcons.h"
#include "frame/widgets/HelpWindow.h"
#include "frame/widgets/RigStatusPane.h"
#include "frame/widgets/SplitKeyboardMover.h"
#include "frame/widgets/TuningDock.h"
#include "modem/AudioTap.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView2.h"
#include "views/widgets/CVELTRANView3.h"
#include "views/widgets/SendWiring.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QMoveEvent>
#include <QPrinter>
#include <QResizeEvent>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace {

constexpr int kMinPaneHeight = 50;
constexpr int kUpdatePeriodMs = 500;
// How long after the first show the stored outer size still waits for the
// window manager's frame.
constexpr int kFrameWaitMs = 3000;
constexpr const char* kIdleText = "For Help, press F1";

Qt::ToolBarArea AreaOf(DockSide side)
{
    switch (side) {
    case DockSide::Left:
        return Qt::LeftToolBarArea;
    case DockSide::Right:
        return Qt::RightToolBarArea;
    case DockSide::Bottom:
        return Qt::BottomToolBarArea;
    case DockSide::Top:
        break;
    }
    return Qt::TopToolBarArea;
}

DockSide SideOf(Qt::ToolBarArea area)
{
    switch (area) {
    case Qt::LeftToolBarArea:
        return DockSide::Left;
    case Qt::RightToolBarArea:
        return DockSide::Right;
    case Qt::BottomToolBarArea:
        return DockSide::Bottom;
    default:
        return DockSide::Top;
    }
}

}  // namespace

CMainFrame::CMainFrame(CVELTRANApp& app, CVELTRANDoc& doc, FramePrompts* prompts, QWidget* parent)
    : QMainWindow(parent),
      m_app(app),
      m_doc(doc),
      m_ownPrompts(prompts ? nullptr : std::make_unique<DialogFramePrompts>()),
      m_docs(doc, app.Settings(), prompts ? *prompts : *m_ownPrompts)
{
    FrameIcons::EnsureLoaded();
    setObjectName(QStringLiteral("MainFrame"));
    setWindowIcon(FrameIcons::AppIcon());
    // Right clicks that a pane leaves alone show nothing (no bar menu).
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAcceptDrops(true);
    m_docs.SetDialogParent(this);
    m_docs.SetChangedCallback([this] { DocumentChanged(); });

    m_strDiddlePane = IndicatorText(ID_INDICATOR_DIDDLE);
    ApplyStoredPlacement();
    // The frame's own creation includes its client area: splitter and panes.
    CreateViews();
    m_router.SetPane(CommandRouter::Pane::kReceive, m_view);
    m_router.SetPane(CommandRouter::Pane::kTransmit, m_view3);
    m_router.SetPane(CommandRouter::Pane::kTnc, m_view2);
    m_router.SetFrame(this);
    auto* accelerators = new AcceleratorKeyFilter(this);
    // The TNC pane claims the keys of its keyboard table before the window's
    // shortcuts (they are the TNC's); the rest it leaves alone itself.
    for (QWidget* pane : {static_cast<QWidget*>(m_view), static_cast<QWidget*>(m_view3)})
        accelerators->Watch(pane);
    // Paste follows the clipboard at once: its key must not be dropped as disabled.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::UpdateCommandStates);
    CreateActions();
    CreateMenus();
    CreateToolBars();
    CreateStatusBar();
    m_dialogCommands = std::make_unique<FrameDialogCommands>(
        app, *this,
        FrameDialogCommands::Hooks{[this] {
                                       const auto [rtty, tnc] = CurrentPortStates();
                                       return PortsDialogStatus{DescribePortState(rtty), DescribePortState(tnc)};
                                   },
                                   [this](const std::set<int>& remapped) { OnPortsConfirmed(remapped); }});
    m_tuningDock = new TuningDock(RttyAudioTap(), app.Settings(), this);
    addDockWidget(Qt::BottomDockWidgetArea, m_tuningDock);
    UpdatePortStatus();

    m_splitMover = new SplitKeyboardMover(m_wndSplitter, *this, this);
    connect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
    connect(&m_updateTimer, &QTimer::timeout, this, &CMainFrame::UpdateCommandStates);
    // A device that goes away while open shows as down within one period.
    connect(&m_updateTimer, &QTimer::timeout, this, &CMainFrame::UpdatePortStatus);
    // The tuning display comes and goes with the RTTY port's sound card.
    connect(&m_updateTimer, &QTimer::timeout, m_tuningDock, &TuningDock::RefreshShown);
    // The recovery copy spaces its writes itself (every 30 s at most).
    connect(&m_updateTimer, &QTimer::timeout, this, [this] {
        if (SessionRecovery* recovery = m_app.Recovery())
            recovery->Tick();
    });
    m_updateTimer.start(kUpdatePeriodMs);
    RefreshTitle();
    UpdateCommandStates();
}

CMainFrame::~CMainFrame()
{
    m_updateTimer.stop();
    disconnect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
    disconnect(QGuiApplication::clipboard(), nullptr, this, nullptr);
    // A frame destroyed without being closed still keeps its layout.
    if (!m_layoutSaved)
        SaveLayout();
}

void CMainFrame::ApplyStoredPlacement()
{
    SettingsStore& s = m_app.Settings();
    const PlacementRect stored{s.Get(keys::Left), s.Get(keys::Top), s.Get(keys::Right), s.Get(keys::Bottom)};
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect d = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const WindowPlacement p =
        ComputePlacement(stored, PlacementRect{d.left(), d.top(), d.left() + d.width(), d.top() + d.height()});
    if (p.useSystemDefault) {
        const QRect avail = screen ? screen->availableGeometry() : d;
        resize(avail.width() * 3 / 4, avail.height() * 3 / 4);
        return;
    }
    // The stored rectangle is the outer one: move() places the outer edge; the
    // size is corrected for the window frame once it is known (showEvent).
    move(p.x, p.y);
    resize(p.cx, p.cy);
    m_wantedOuterSize = QSize(p.cx, p.cy);
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    FitStoredOuterSize();
    // A window manager frames the window some time after it is shown (under
    // X11 only once it has reparented it); one that draws no frame never
    // does, and then the inner size already is the stored one.
    if (m_wantedOuterSize.isValid())
        QTimer::singleShot(kFrameWaitMs, this, [this] { m_wantedOuterSize = QSize(); });
}

void CMainFrame::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    FitStoredOuterSize();
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FitStoredOuterSize();
}

void CMainFrame::FitStoredOuterSize()
{
    // The rectangle is stored as the outer one (frameGeometry at close), but
    // resize() sets the inner size: take the frame off once it is known, so
    // that start, exit, start gives the same window.
    if (!m_wantedOuterSize.isValid() || !isVisible())
        return;
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    if (frameExtra.isNull())
        return;
    const QSize inner = m_wantedOuterSize - frameExtra;
    m_wantedOuterSize = QSize();
    resize(inner);
}

void CMainFrame::CreateViews()
{
    SettingsStore& s = m_app.Settings();
    const int split1 = s.Get(keys::Split);
    const int split2 = s.Get(keys::Split2);
    m_wndSplitter = new QSplitter(Qt::Vertical, this);
    m_wndSplitter->setObjectName(QStringLiteral("PaneSplitter"));
    m_wndSplitter->setChildrenCollapsible(false);
    m_view = new CVELTRANView(m_app, m_doc, *this, m_wndSplitter);
    m_view3 = new CVELTRANView3(m_app, m_doc, *this, m_wndSplitter);
    m_view2 = new CVELTRANView2(m_app, m_doc, *this, m_wndSplitter);
    WireSendsAndTapes(m_app, m_doc, *m_view3, *m_view2);
    m_view->setWhatsThis(QStringLiteral("The receive page: text received from the RTTY modem."));
    m_view3->setWhatsThis(QStringLiteral("The transmit pane: type here what is to be sent."));
    m_view2->setWhatsThis(QStringLiteral("The TNC terminal: talk to the modem's controller."));
    m_wndSplitter->addWidget(m_view);
    m_wndSplitter->addWidget(m_view3);
    m_wndSplitter->addWidget(m_view2);
    m_view->setMinimumHeight(kMinPaneHeight);
    m_view3->setMinimumHeight(kMinPaneHeight);
    // Rows 0 and 1 keep their heights; row 2 takes what is left.
    m_wndSplitter->setStretchFactor(0, 0);
    m_wndSplitter->setStretchFactor(1, 0);
    m_wndSplitter->setStretchFactor(2, 1);
    m_wndSplitter->setSizes({std::max(split1, kMinPaneHeight), std::max(split2, kMinPaneHeight), 60});
    setCentralWidget(m_wndSplitter);

    QWidget* active = s.Get(keys::RTTYPort) > 0 ? static_cast<QWidget*>(m_view3) : static_cast<QWidget*>(m_view2);
    m_activeView = active;
    active->setFocus(Qt::OtherFocusReason);
}

QToolBar* CMainFrame::MakeBar(const QString& name, const std::vector<int>& ids, QSize iconSize)
{
    auto* bar = new QToolBar(name, this);
    bar->setObjectName(name);
    bar->setIconSize(iconSize);
    bar->setMovable(true);
    bar->setFloatable(false);
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : ids) {
        if (id == 0)
            bar->addSeparator();
        else
            bar->addAction(m_actions.at(id));
    }
    return bar;
}

void CMainFrame::CreateToolBars()
{
    SettingsStore& s = m_app.Settings();
    m_bFuncBar = s.Get(keys::Toolbar2) != 0;
    m_toolBarStyle = static_cast<uint32_t>(s.Get(keys::ToolbarStyle)) | barstyle::kCreateExtras;
    m_funcBarStyle = static_cast<uint32_t>(s.Get(keys::ToolbarStyle2)) | barstyle::kCreateExtras;

    m_wndToolBar = MakeBar(QStringLiteral("Toolbar"),
                           {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_SEND_CQ, ID_SEND_BRAG, ID_SEND_EXCHANGE, 0,
                            ID_EDIT_PASTE, ID_EDIT_SWAP_FIGS, ID_EDIT_MACROS, ID_EDIT_CLEAR_SCREEN, 0, ID_FILE_PRINT, 0,
                            ID_TOOLS_PORTS, 0, ID_TOOLS_TRANSMIT, ID_TOOLS_RECEIVE, ID_TOOLS_SEND_RECEIVE,
                            ID_TOOLS_CLEAR_TX_BUFFER, ID_TOOLS_LINE_MODE, ID_TOOLS_WORD_MODE, ID_TOOLS_CHAR_MODE, 0,
                            ID_APP_ABOUT},
                           QSize(21, 18));
    m_wndFuncBar = MakeBar(QStringLiteral("Function Bar"),
                           {ID_MACRO_F2, ID_MACRO_F4, ID_MACRO_F5, ID_MACRO_F6, ID_MACRO_F7, ID_MACRO_F8, ID_MACRO_F9},
                           QSize(16, 15));
    addToolBar(AreaOf(DockSideOfStyle(m_toolBarStyle)), m_wndToolBar);
    addToolBar(AreaOf(DockSideOfStyle(m_funcBarStyle)), m_wndFuncBar);
    m_wndFuncBar->setVisible(m_bFuncBar);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    m_idleLabel = new QLabel(QString::fromLatin1(kIdleText), bar);
    bar->addWidget(m_idleLabel, 1);
    const char* initial[10] = {"",
                               IndicatorText(ID_INDICATOR_SPACER1),
                               IndicatorText(ID_INDICATOR_SPACER2),
                               IndicatorText(ID_INDICATOR_DIDDLE),
                               IndicatorText(ID_INDICATOR_AUTO),
                               IndicatorText(ID_INDICATOR_MODE),
                               IndicatorText(ID_INDICATOR_BAUD),
                               "CAP",
                               "NUM",
                               "SCRL"};
    bar->addPermanentWidget(new RigStatusPane(bar));   // the rig's dial frequency
    for (int i = 1; i < 10; ++i) {
        auto* label = new QLabel(bar);
        label->setObjectName(QStringLiteral("StatusPane%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        // The initial text fixes the pane's width for good.
        const QString text = QString::fromLatin1(initial[i]);
        const int margins = 2 * (label->frameWidth() + label->margin()) + 6;
        label->setFixedWidth(label->fontMetrics().horizontalAdvance(text) + margins);
        label->setText(text);
        bar->addPermanentWidget(label);
        m_panes[static_cast<size_t>(i)] = label;
    }
    m_panes[4]->setText(QString());
    RefreshLockPanes();
}

void CMainFrame::SetDiddlePaneText(const std::string& text)
{
    m_strDiddlePane = text;
    m_panes[3]->setText(Latin1(text));
}

void CMainFrame::SetAutoPaneText(const std::string& text)
{
    m_strAutoPane = text;
    m_panes[4]->setText(Latin1(text));
}

void CMainFrame::SetModePaneText(const std::string& text)
{
    m_panes[5]->setText(Latin1(text));
}

void CMainFrame::SetBaudPaneNumber(int n)
{
    m_panes[6]->setText(QString::number(n));
}

void CMainFrame::UpdatePortStatus()
{
    if (!m_view || !m_view3 || !m_view2)
        return;
    const auto [rtty, tnc] = CurrentPortStates();
    PortStatusInput in;
    in.rttyInUse = m_view3->m_bPortOpen != 0;
    in.rttyBaud = static_cast<int>(m_view->Link().m_nBaud);
    in.rttyByteSize = m_view->Link().m_nByteSize;
    in.rttyDown = ConditionOf(rtty) == PortCondition::Down;
    in.tncInUse = m_view2->m_bPortConfigured != 0;
    in.tncBaud = static_cast<int>(m_view2->Link().m_nBaud);
    in.tncDown = ConditionOf(tnc) == PortCondition::Down;
    const PortStatusText out = ComputePortStatus(in);
    SetModePaneText(out.mode);
    SetBaudPaneNumber(out.baud);
    // A port that is down is marked where the operator looks; the tool tip
    // names the device and the system's reason.
    const QString tip = QString::fromLocal8Bit(PortStatusToolTip(rtty, tnc).c_str());
    const QString mark = out.down ? QStringLiteral("QLabel { color: #c00000; font-weight: bold; }") : QString();
    for (QLabel* pane : {m_panes[5], m_panes[6]}) {
        pane->setToolTip(tip);
        if (pane->styleSheet() != mark)  // this runs twice a second: restyle only on a change
            pane->setStyleSheet(mark);
    }
    m_bSimulated = AnyPortSimulated(rtty, tnc);
    RefreshTitle();
}

std::pair<PortState, PortState> CMainFrame::CurrentPortStates() const
{
    const SettingsStore& settings = m_app.Settings();
    return {StateOfLink("RTTY", settings.Get(keys::RTTYPort), m_view->Link(), settings),
            StateOfLink("TNC", settings.Get(keys::TNCPort), m_view2->Link(), settings)};
}

void CMainFrame::RefreshTitle()
{
    QString title = QString::fromLocal8Bit(m_docs.Title().c_str());
    if (m_bSimulated)
        title += QStringLiteral(" (simulated)");
    setWindowTitle(title);
}

void CMainFrame::SetMessageText(const QString& text)
{
    if (text.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(text);
}

QString CMainFrame::PaneText(int pane) const
{
    if (pane == 0) {
        const QString message = statusBar()->currentMessage();
        return message.isEmpty() ? m_idleLabel->text() : message;
    }
    if (pane < 1 || pane > 9)
        return {};
    return m_panes[static_cast<size_t>(pane)]->text();
}

void CMainFrame::RefreshLockPanes()
{
    const LockKeyState locks = ReadLockKeyState();
    m_panes[7]->setText(locks.caps ? QStringLiteral("CAP") : QString());
    m_panes[8]->setText(locks.num ? QStringLiteral("NUM") : QString());
    m_panes[9]->setText(locks.scroll ? QStringLiteral("SCRL") : QString());
}

void CMainFrame::OnPortsConfirmed(const std::set<int>& remapped)
{
    for (SerialLink* link : {m_view ? &m_view->Link() : nullptr, m_view2 ? &m_view2->Link() : nullptr}) {
        if (link && remapped.count(static_cast<int>(link->m_nPort)))
            link->Connect(false);
    }
    ApplyProgramRig(m_app.Settings());   // a new rig before a port keyed through it opens
    if (m_view)
        m_view->ApplyPortSettings();
    if (m_view2)
        m_view2->ApplyPortSettings();
    if (m_view3)
        m_view3->RefreshPortState();
    UpdatePortStatus();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_docs.SaveModified()) {
        event->ignore();
        return;
    }
    // A clean exit: whatever was not saved, the operator chose to drop.
    if (SessionRecovery* recovery = m_app.Recovery())
        recovery->Remove();
    SaveLayout();
    if (m_help)
        m_help->close();
    event->accept();
}

void CMainFrame::SaveLayout()
{
    m_layoutSaved = true;
    SettingsStore& s = m_app.Settings();
    // Only the docking side changes; the stored word keeps every other bit,
    // the visible bit included (hiding the main bar lasts for the run only).
    m_toolBarStyle = StyleWithDockSide(m_toolBarStyle, SideOf(toolBarArea(m_wndToolBar)));
    m_funcBarStyle = StyleWithDockSide(m_funcBarStyle, SideOf(toolBarArea(m_wndFuncBar)));
    s.Put(keys::ToolbarStyle, static_cast<int>(m_toolBarStyle));
    s.Put(keys::ToolbarStyle2, static_cast<int>(m_funcBarStyle));
    s.Put(keys::Toolbar2, m_bFuncBar ? 1 : 0);
    if (!isMaximized() && !isMinimized() && !isFullScreen()) {
        const QRect r = frameGeometry();
        s.Put(keys::Top, r.top());
        s.Put(keys::Bottom, r.top() + r.height());
        s.Put(keys::Left, r.left());
        s.Put(keys::Right, r.left() + r.width());
    }
    const QList<int> sizes = m_wndSplitter->sizes();
    if (sizes.size() >= 2) {
        s.Put(keys::Split, sizes[0]);
        s.Put(keys::Split2, sizes[1]);
    }
}

void CMainFrame::DocumentChanged()
{
    RefreshTitle();
    RebuildRecentFiles();
    for (QWidget* v : {static_cast<QWidget*>(m_view), static_cast<QWidget*>(m_view3), static_cast<QWidget*>(m_view2)}) {
        if (auto* area = qobject_cast<QAbstractScrollArea*>(v))
            area->viewport()->update();
    }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (mime->hasUrls() && !mime->urls().isEmpty() && mime->urls().first().isLocalFile())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    activateWindow();
    // One document at a time: the first file dropped is opened.
    const QByteArray path = urls.first().toLocalFile().toLocal8Bit();
    m_docs.OpenDocumentFile(std::string(path.constData(), static_cast<size_t>(path.size())));
}

void CMainFrame::OnFocusChanged(QWidget*, QWidget* now)
{
    for (QWidget* w = now; w; w = w->parentWidget()) {
        if (w == m_view || w == m_view3 || w == m_view2) {
            if (m_activeView != w) {
                m_activeView = w;
                UpdateCommandStates();  // the editing commands follow the active pane
            }
            return;
        }
    }
}

void CMainFrame::MovePaneFocus(int step)
{
    QWidget* panes[3] = {m_view, m_view3, m_view2};
    int current = 0;
    for (int i = 0; i < 3; ++i) {
        if (panes[i] == m_activeView)
            current = i;
    }
    QWidget* next = panes[(current + step + 3) % 3];
    next->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    if (m_activeView != next) {
        m_activeView = next;
        UpdateCommandStates();
    }
}
