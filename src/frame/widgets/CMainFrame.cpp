#include "frame/widgets/CMainFrame.h"

#include "app/CVELTRANApp.h"
#include "app/CVELTRANDoc.h"
#include "app/CommandTable.h"
#include "app/RigSettings.h"
#include "app/SessionRecovery.h"
#include "app/SettingsStore.h"
#include "frame/PortStatus.h"
#include "frame/widgets/AcceleratorKeyFilter.h"
#include "frame/widgets/DialogFramePrompts.h"
#include "frame/widgets/FrameDialogCommands.h"
#include "frame/widgets/FrameHelpCommands.h"
#include "frame/widgets/FrameIcons.h"
#include "frame/widgets/FrameMenus.h"
#include "frame/widgets/FramePanes.h"
#include "frame/widgets/FramePlacement.h"
#include "frame/widgets/FramePrinting.h"
#include "frame/widgets/FrameToolBars.h"
#include "frame/widgets/SplitKeyboardMover.h"
#include "frame/widgets/StatusPanes.h"
#include "frame/widgets/TuningDock.h"
#include "modem/AudioTap.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView2.h"
#include "views/widgets/CVELTRANView3.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>

namespace {

constexpr int kUpdatePeriodMs = 500;

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

    m_placement = std::make_unique<FramePlacement>(*this);
    m_placement->Apply(app.Settings());
    // The frame's own creation includes its client area: splitter and panes.
    m_panes = std::make_unique<FramePanes>(app, doc, *this, *this, [this] { UpdateCommandStates(); });
    setCentralWidget(m_panes->Splitter());
    m_panes->RouteTo(m_router);
    m_router.SetFrame(&m_commands);
    auto* accelerators = new AcceleratorKeyFilter(this);
    // The TNC pane claims the keys of its keyboard table before the window's
    // shortcuts (they are the TNC's); the rest it leaves alone itself.
    for (QWidget* pane : {static_cast<QWidget*>(m_panes->Receive()), static_cast<QWidget*>(m_panes->Transmit())})
        accelerators->Watch(pane);
    // Paste follows the clipboard at once: its key must not be dropped as disabled.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::UpdateCommandStates);
    m_menus = std::make_unique<FrameMenus>(
        *this, m_docs.Recent().Files(), [this](int id) { ExecuteCommand(id); }, [this] { UpdateCommandStates(); });
    m_bars = std::make_unique<FrameToolBars>(*this, app.Settings(), [this](int id) { return Action(id); });
    m_status = std::make_unique<StatusPanes>(*statusBar());
    m_printing = std::make_unique<FramePrinting>(*this);
    m_help = std::make_unique<FrameHelpCommands>(*this);
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

    m_splitMover = new SplitKeyboardMover(m_panes->Splitter(), *this, this);
    AddCommandRows();
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
    disconnect(QGuiApplication::clipboard(), nullptr, this, nullptr);
    // A frame destroyed without being closed still keeps its layout.
    if (!m_layoutSaved)
        SaveLayout();
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    m_placement->OnShown();
}

void CMainFrame::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    m_placement->FitStoredOuterSize();
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    m_placement->FitStoredOuterSize();
}

void CMainFrame::SetDiddlePaneText(const std::string& text)
{
    m_status->SetDiddleText(text);
}

void CMainFrame::SetAutoPaneText(const std::string& text)
{
    m_status->SetAutoText(text);
}

void CMainFrame::SetModePaneText(const std::string& text)
{
    m_status->SetModeText(text);
}

void CMainFrame::SetBaudPaneNumber(int n)
{
    m_status->SetBaudNumber(n);
}

void CMainFrame::SetMessageText(const QString& text)
{
    m_status->SetMessage(text);
}

QString CMainFrame::PaneText(int pane) const
{
    return m_status->Text(pane);
}

QPrinter* CMainFrame::SharedPrinter()
{
    return m_printing->Printer();
}

QSplitter* CMainFrame::Splitter() const
{
    return m_panes->Splitter();
}

QToolBar* CMainFrame::MainToolBar() const
{
    return m_bars->MainBar();
}

QToolBar* CMainFrame::FunctionBar() const
{
    return m_bars->FunctionBar();
}

QWidget* CMainFrame::ActiveView() const
{
    return m_panes->Active();
}

void CMainFrame::UpdatePortStatus()
{
    if (!m_status)
        return;  // the panes are still being made
    CVELTRANView* receive = m_panes->Receive();
    CVELTRANView2* tnc = m_panes->Tnc();
    const auto [rttyState, tncState] = CurrentPortStates();
    PortStatusInput in;
    in.rttyInUse = m_panes->Transmit()->m_bPortOpen != 0;
    in.rttyBaud = static_cast<int>(receive->Link().m_nBaud);
    in.rttyByteSize = receive->Link().m_nByteSize;
    in.rttyDown = ConditionOf(rttyState) == PortCondition::Down;
    in.tncInUse = tnc->m_bPortConfigured != 0;
    in.tncBaud = static_cast<int>(tnc->Link().m_nBaud);
    in.tncDown = ConditionOf(tncState) == PortCondition::Down;
    const PortStatusText out = ComputePortStatus(in);
    SetModePaneText(out.mode);
    SetBaudPaneNumber(out.baud);
    // A port that is down is marked where the operator looks; the tool tip
    // names the device and the system's reason.
    m_status->MarkPorts(QString::fromLocal8Bit(PortStatusToolTip(rttyState, tncState).c_str()), out.down);
    m_bSimulated = AnyPortSimulated(rttyState, tncState);
    RefreshTitle();
}

std::pair<PortState, PortState> CMainFrame::CurrentPortStates() const
{
    const SettingsStore& settings = m_app.Settings();
    return {StateOfLink("RTTY", settings.Get(keys::RTTYPort), m_panes->Receive()->Link(), settings),
            StateOfLink("TNC", settings.Get(keys::TNCPort), m_panes->Tnc()->Link(), settings)};
}

void CMainFrame::RefreshTitle()
{
    QString title = QString::fromLocal8Bit(m_docs.Title().c_str());
    if (m_bSimulated)
        title += QStringLiteral(" (simulated)");
    setWindowTitle(title);
}

void CMainFrame::OnPortsConfirmed(const std::set<int>& remapped)
{
    for (SerialLink* link : {&m_panes->Receive()->Link(), &m_panes->Tnc()->Link()}) {
        if (remapped.count(static_cast<int>(link->m_nPort)))
            link->Connect(false);
    }
    ApplyProgramRig(m_app.Settings());   // a new rig before a port keyed through it opens
    m_panes->Receive()->ApplyPortSettings();
    m_panes->Tnc()->ApplyPortSettings();
    m_panes->Transmit()->RefreshPortState();
    UpdatePortStatus();
}

bool CMainFrame::PrintFromCommandLine(const std::string& path, const std::string& printerName)
{
    // The window was never shown: its size and place are not the operator's.
    m_layoutSaved = true;
    return m_printing->PrintFile(m_docs, path, printerName, [this] { return ExecuteCommand(ID_FILE_PRINT_DIRECT); });
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
    m_help->CloseHelp();
    event->accept();
}

void CMainFrame::SaveLayout()
{
    m_layoutSaved = true;
    SettingsStore& s = m_app.Settings();
    m_bars->Save(s);
    m_placement->Save(s);
    m_panes->SaveHeights(s);
}

void CMainFrame::DocumentChanged()
{
    RefreshTitle();
    if (m_menus)
        m_menus->ShowRecentFiles(m_docs.Recent().Files());
    m_panes->RepaintAll();
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
