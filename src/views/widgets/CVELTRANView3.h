#pragma once
// The transmit pane: the line being typed at the bottom, the transmit history
// (the document's list 3) above it, newest lowest. The rules live in
// TypeAhead (the line and its send modes) and TxRxControl (transmit/receive
// switching, the one-second timer); this widget maps Qt key events to key
// codes and characters, paints, scrolls, offers the context menu and prints.
// It owns no link: it reaches the RTTY link and the receive pane's fields
// through that pane's adapter (ReceiveViewSide), found once and kept while
// the pane lives. User-interface thread only.
#include "views/CommandTarget.h"
#include "views/TransmitHost.h"
#include "views/TxRxControl.h"
#include "views/TypeAhead.h"
#include "views/PaneViewport.h"
#include "views/widgets/PanePrinter.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPointer>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CVELTRANApp;
class CVELTRANView;
class CVELTRANDoc;
class FrameStatus;
class QPrinter;
class ReceiveViewSide;

class CVELTRANView3 : public QAbstractScrollArea, public CommandTarget, private TransmitHost {
    Q_OBJECT

public:
    // One entry of the context menu (separators have id 0).
    struct MenuItem {
        int id = 0;
        QString text;
        bool enabled = true;
    };

    CVELTRANView3(CVELTRANApp& app, CVELTRANDoc& doc, FrameStatus& status, QWidget* parent = nullptr);
    ~CVELTRANView3() override;

    // Copies the receive pane's port-in-use flag into m_bPortOpen; under Delay
    // and Auto both send modes are cleared (construction, Ports dialog).
    void RefreshPortState();
    // The pane is ready: first prompt, the ready action (the startup tape),
    // then the one-second timer. Runs once, by itself after construction.
    void OnInitialUpdate();

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;

    // Hooks for the macro and tape senders: the key macros, the commands this
    // pane does not carry itself (function bar, Send CQ/Brag/Exchange, Import
    // Tape), and what to do when the pane becomes ready (the startup tape).
    void SetMacroHandler(TypeAhead::MacroHandler handler);
    void SetSendCommands(CommandTarget* target) { m_sendCommands = target; }
    void SetReadyAction(std::function<void()> action) { m_readyAction = std::move(action); }

    TypeAhead& TypeAheadLine() { return m_line; }
    TxRxControl& Control() { return m_control; }
    // The receive pane as the transmit side uses it; nullptr when there is none.
    ReceiveSide* ReceivePeer() { return ReceiveView(); }
    // One step of the one-second timer (also run while a macro waits).
    void TimerStep() { m_control.TimerStep(); }
    // Paints the pane at once.
    void RepaintNow();

    // Prints the receive list and the line being typed on `printer`.
    void PrintReceiveList(QPrinter& printer);
    // The context menu for a click at client height y (sets m_nSelLine on a history line).
    std::vector<MenuItem> ContextMenuItems(int y);
    int ScrollBack() const { return static_cast<int>(m_viewport.ScrollBack()); }
    // The history changed from elsewhere: the scroll bar follows (the pane
    // keeps its scroll-back count).
    void SyncScrollBar();
    int LineHeight() const;

    // The RTTY port is in use: a copy of the receive pane's m_bDisplayRunning.
    uint32_t m_bPortOpen = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    // Tab is a character typed here (and ignored), not a move to the next pane.
    bool focusNextPrevChild(bool next) override;

private:
    // TransmitHost
    ReceiveSide* ReceiveView() override;
    FrameStatus* Status() override;
    void Beep() override;
    void InvalidateCurrentLine() override;
    void RepaintPane() override;
    void HistoryScrollToNewest() override;

    PanePrinter::Listing PrintListing() const;
    int HistoryCount() const;
    QColor TextColour() const;
    bool ClipboardHasText() const;
    // The receive pane's own handler and update of `id` (Swap Figures/Letters,
    // Swap Line, Export Tape); false without a receive pane.
    bool ForwardToReceiveView(int id);
    bool ForwardUpdateToReceiveView(int id, CommandState& state);

    CVELTRANApp& m_app;
    CVELTRANDoc& m_doc;
    FrameStatus& m_status;
    QPointer<CVELTRANView> m_receivePane;
    std::unique_ptr<ReceiveViewSide> m_receiveSide;  // over m_receivePane while it lives
    TxRxControl m_control;
    TypeAhead m_line;
    CommandTarget* m_sendCommands = nullptr;
    std::function<void()> m_readyAction;
    QBasicTimer m_timer;
    bool m_bReady = false;

    QRect m_rcCurrentLine;
    PaneViewport m_viewport;
};
