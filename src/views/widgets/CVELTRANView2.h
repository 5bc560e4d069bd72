#pragma once
// The TNC pane: a plain terminal to the modem's controller. It owns the TNC
// port's SerialLink (opened by ApplyPortSettings, closed when the pane is
// destroyed); typed characters go straight to the link (TncKeyboard) and
// nothing is echoed. What the controller sends back travels: link receive
// thread -> display thread (ReceiveDisplay, woken by the link's data-ready
// callback) which cuts lines (TncLineCutter) -> queued call to this pane on
// the user-interface thread, which appends finished lines to the document's
// TNC list and repaints: only the current line's row while a line is
// arriving; when lines were finished the page moves up by their rows and
// only the rows that came into view are painted.
//
// A controller may send as fast as its port runs (19,200 baud is about 50
// lines a second): the display thread rests kDisplayRest after each pass,
// so such a stream is shown some 10 times a second a few lines at a time,
// instead of costing a pass, a page move and a scroll bar paint per line.
// Ten pages a second is smoother than anyone reads a stream that fast, and
// each page move copies the whole pane's pixels: at 25 a second the pane
// alone cost a quarter of the program's time on such a stream. Text after
// a quiet moment (an echoed keystroke) is still shown at once.
//
// Threads: everything here runs on the user-interface thread except what the
// display thread touches: the cutter (own lock) and the two tick stamps
// (atomics).
#include "link/SerialLink.h"
#include "views/CommandTarget.h"
#include "views/LinkReceiveSource.h"
#include "views/PaneViewport.h"
#include "views/ReceiveDisplay.h"
#include "views/TncKeyboard.h"
#include "views/TncLineCutter.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <QRect>
#include <atomic>
#include <cstdint>
#include <string>

class CVELTRANApp;
class CVELTRANDoc;
class FrameStatus;

class CVELTRANView2 : public QAbstractScrollArea, public CommandTarget, private TncKeySink {
    Q_OBJECT

public:
    CVELTRANView2(CVELTRANApp& app, CVELTRANDoc& doc, FrameStatus& status, QWidget* parent = nullptr);
    ~CVELTRANView2() override;

    // (Re)configures the TNC link from "Ports" (8 data bits, no parity, one
    // stop bit, no keying) and opens it, or closes it when no TNC port is
    // configured. The display runs exactly while a port is configured, so a
    // port set up after start-up shows its output at once.
    void ApplyPortSettings();
    SerialLink& Link() { return m_link; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;
    // Import Tape, Export Tape and the startup tape live in TncTapeCommands;
    // commands this pane does not carry itself are passed to it.
    void SetTapeCommands(CommandTarget* target) { m_tapeCommands = target; }

    // The TNC list changed from elsewhere (a tape's note line, an opened
    // document): the scroll bar follows and the pane repaints.
    void ListChanged();
    // Moves finished lines into the TNC list now (the paint handler does it too).
    void TakeCompletedLines();
    std::string CurrentLine() const { return m_cutter.CurrentLine(); }
    int64_t ScrollBack() const { return m_viewport.ScrollBack(); }
    int LineHeight() const;
    // Where the caret is drawn while the pane has the focus (client coordinates).
    QPoint CaretPoint() const { return m_ptCaret; }
    bool HasCaret() const { return m_bCaret; }

    // Set while a TNC port is configured ("TNCPort" above 0): keys are taken
    // only then, the text is grey otherwise, and the status bar reads it.
    uint32_t m_bPortConfigured = 0;
    uint32_t m_bDisplayRunning = 0;
    // Ticks of the latest display pass and of the latest text taken; written
    // by the display thread.
    std::atomic<uint32_t> m_dwLastPoll{0};
    std::atomic<uint32_t> m_dwLastReceive{0};

signals:
    // After every paint of the pane (tests wait on it).
    void painted(const QRect& region);

protected:
    // Claims, while a TNC port is configured, every key the TNC keyboard
    // table takes (characters, Ctrl+letter and digit, arrows, the macro
    // function keys) before the window's shortcuts can fire: Ctrl+Q, Ctrl+W,
    // Ctrl+S and the rest go to the TNC, never to the RTTY station. Alt
    // combinations and the pane-switching F6 stay the window's.
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    // Tab is a character for the TNC, not a move to the next pane.
    bool focusNextPrevChild(bool next) override;

private:
    // TncKeySink
    void SendChars(const std::string& bytes) override;
    void SendText(std::string& text) override;

    void OnDisplayUpdate();
    // Moves the page up by `added` finished lines instead of repainting it;
    // false (nothing done) when the page would not simply move.
    bool ScrollUp(int64_t added, int keptBefore, int64_t scrollBackBefore);
    QColor TextColour() const;
    void UpdateCaretRow();

    CVELTRANApp& m_app;
    CVELTRANDoc& m_doc;
    FrameStatus& m_status;
    SerialLink m_link;
    LinkReceiveSource m_source;
    TncLineCutter m_cutter;
    static constexpr std::chrono::milliseconds kDisplayRest{100};
    ReceiveDisplay m_display;  // after everything its thread uses
    PaneViewport m_viewport;
    TncKeyboard m_keys;
    CommandTarget* m_tapeCommands = nullptr;

    QRect m_rcCurrentLine;  // where the current line was last drawn
    QPoint m_ptCaret;       // recomputed at each paint while the pane has the focus
    bool m_bCaret = false;  // made when the focus comes, destroyed when it goes
};
