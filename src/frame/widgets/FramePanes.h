#pragma once
// The main window's client area: a vertical splitter of the three panes,
// row 0 the receive pane, row 1 the transmit pane, row 2 the TNC pane. Rows 0
// and 1 keep their stored heights ("Layout" "Split", "Split2", at least 50
// pixels each) and row 2 takes the rest; the heights are stored by
// SaveHeights alone. The active pane (where keys and editing commands go)
// follows the keyboard focus; at start it is the transmit pane when an RTTY
// port is configured, else the TNC pane. User-interface thread only.
#include "frame/CommandRouter.h"

#include <QObject>
#include <QPointer>
#include <functional>

class CVELTRANApp;
class CVELTRANDoc;
class CVELTRANView;
class CVELTRANView2;
class CVELTRANView3;
class FrameStatus;
class QSplitter;
class QWidget;
class SettingsStore;

class FramePanes : public QObject {
public:
    // Makes the splitter as a child of `window` and the panes in it; the
    // panes report to `status`. `activeChanged` runs when another pane
    // becomes active.
    FramePanes(CVELTRANApp& app, CVELTRANDoc& doc, FrameStatus& status, QWidget& window,
               std::function<void()> activeChanged);

    QSplitter* Splitter() const { return m_splitter; }
    CVELTRANView* Receive() const { return m_receive; }
    CVELTRANView3* Transmit() const { return m_transmit; }
    CVELTRANView2* Tnc() const { return m_tnc; }
    // Gives the router the three panes as command targets.
    void RouteTo(CommandRouter& router) const;

    QWidget* Active() const { return m_active; }
    CommandRouter::Pane ActivePane() const;
    // F6 and Shift+F6: the next (`step` 1) or previous (-1) pane, round.
    void MoveFocus(int step);
    // Repaints every pane (the document changed under them).
    void RepaintAll();
    void SaveHeights(SettingsStore& settings) const;

private:
    void OnFocusChanged(QWidget* now);
    void SetActive(QWidget* pane);

    QSplitter* m_splitter = nullptr;
    CVELTRANView* m_receive = nullptr;
    CVELTRANView3* m_transmit = nullptr;
    CVELTRANView2* m_tnc = nullptr;
    QPointer<QWidget> m_active;
    std::function<void()> m_activeChanged;
};
