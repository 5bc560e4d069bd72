#pragma once
// The receive pane: the teleprinter page showing received RTTY text. It owns
// the RTTY port's SerialLink, so it decides when that port is opened,
// reconfigured (ApplyPortSettings) and closed (when the pane is destroyed).
// The transmit side reaches the link and the public fields below only
// through its adapter, ReceiveViewSide.
//
// Received text travels: link receive thread -> display thread (ReceiveDisplay,
// woken by the link's data-ready callback) which cuts lines (ReceiveLineCutter)
// -> queued call to this pane on the user-interface thread, which appends the
// finished lines to the receive list and repaints: only the current line's
// row while a line is arriving, everything when a line was finished.
//
// Threads: everything here runs on the user-interface thread except what the
// display thread touches: the cutter (own lock), m_dwLastPoll/m_dwLastReceive
// (atomics) and the beep hook (m_beepMutex).
#include "app/LineList.h"
#include "link/SerialLink.h"
#include "link/ThreadSafety.h"
#include "views/CommandTarget.h"
#include "views/Deadman.h"
#include "views/LinkReceiveSource.h"
#include "views/PaneViewport.h"
#include "views/ReceiveDisplay.h"
#include "views/ReceiveLineCutter.h"
#include "views/ReceivePage.h"

#include <QAbstractScrollArea>
#include <QRect>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CVELTRANApp;
class CVELTRANDoc;
class FrameStatus;
class QMenu;

class CVELTRANView : public QAbstractScrollArea, public CommandTarget {
    Q_OBJECT

public:
    enum class BeepKind { kDefault, kExclamation };
    using BeepHook = std::function<void(BeepKind)>;
    // Export Tape: writes the receive list to a file the user picks
    // (TapeDialogs::ExportList unless replaced); without one it is disabled.
    using ExportTapeHandler = std::function<void(QWidget* parent, const LineList& lines)>;
    // Shows a built context menu at a screen point; tests replace it to read
    // the items instead of running a modal menu.
    using MenuRunner = std::function<void(QMenu& menu, const QPoint& globalPos)>;

    CVELTRANView(CVELTRANApp& app, CVELTRANDoc& doc, FrameStatus& status, QWidget* parent = nullptr);
    ~CVELTRANView() override;

    // (Re)configures the RTTY link from "Ports" and opens it, or closes it when
    // no RTTY port is configured. The display thread runs exactly while a port
    // is configured, so a port set up after start-up shows its text at once.
    void ApplyPortSettings();
    SerialLink& Link() { return m_link; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;

    // The commands, also forwarded here by the transmit pane.
    void OnSwapFigures();
    void OnSwapLine();
    void OnPasteKCall();
    void OnClearScreen();
    void ExportTape();
    void SetExportTapeHandler(ExportTapeHandler handler) { m_exportTape = std::move(handler); }
    // Print, print direct and print preview of the receive list.
    void Print(int id);

    // The deadman check (the pane's one-second timer); public for tests that
    // drive it on a fake clock.
    void DeadmanTick();

    // Replaces the transmit-echo line and repaints only its row.
    void SetTxEcho(const std::string& text);
    // A copy of the line still arriving, as drawn.
    std::string CurrentLine() const { return m_cutter.CurrentLine(); }
    // Newest receive-list lines scrolled out of view below the page.
    int64_t ScrollBack() const { return m_viewport.ScrollBack(); }
    // The list changed from elsewhere: the scroll bar follows (the page keeps
    // its scroll-back count).
    void SyncScrollBar();
    // Moves finished lines into the receive list now (the paint handler does
    // it too); for tests and the transmit side before it appends its own.
    void TakeCompletedLines();

    // Hooks. The beep hook may be called from the display thread.
    void SetBeepHook(BeepHook hook);
    void SetMenuRunner(MenuRunner runner) { m_menuRunner = std::move(runner); }

    // Used by the transmit side (user-interface thread unless noted).
    SerialLink m_link;
    QRect m_rcCurrentLine;  // where the current line was last drawn
    QRect m_rcTxEcho;       // where the transmit-echo line was last drawn
    std::string m_strTxEcho;
    // Ticks of the latest display pass and of the latest text taken; written
    // by the display thread, read by the transmit side.
    std::atomic<uint32_t> m_dwLastPoll{0};
    std::atomic<uint32_t> m_dwLastReceive{0};
    uint32_t m_bDisplayRunning = 0;
    int32_t m_nSelLine = -1;
    int32_t m_nSelColumn = -1;
    int32_t m_nDeadmanCount = 0;

    // Metrics of the receive font, refreshed at every paint.
    struct TextMetrics {
        int height = 1;
        int averageCharWidth = 1;
        int ascent = 0;
    };
    TextMetrics m_tm;

signals:
    // After every paint of the pane (tests and benchmarks wait on it).
    void painted(const QRect& region);

protected:
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void OnDisplayUpdate();
    void RefreshMetrics();
    PageMetrics Metrics() const;
    ReceivePage::Hit HitAt(int y) const;
    std::optional<std::string_view> ListLine(int32_t number) const;
    void Beep(BeepKind kind);
    QColor TextColour() const;

    CVELTRANApp& m_app;
    CVELTRANDoc& m_doc;
    FrameStatus& m_status;
    LinkReceiveSource m_source;
    ReceiveLineCutter m_cutter;
    ReceiveDisplay m_display;  // after everything its thread uses
    PaneViewport m_viewport;
    QTimer m_deadmanTimer;
    ExportTapeHandler m_exportTape;
    MenuRunner m_menuRunner;

    mutable Mutex m_beepMutex;
    BeepHook m_beep GUARDED_BY(m_beepMutex);
};
