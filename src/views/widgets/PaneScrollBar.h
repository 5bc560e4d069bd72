#pragma once
// Ties a pane's QScrollBar to its PaneViewport: the bar's actions become
// scroll requests, and the viewport's bar writer is the only code that sets
// the bar's range, value and enabled state (with the bar's signals blocked,
// so a bar set from code never echoes back as a request). A parented
// QObject of the pane; user-interface thread only.
#include "views/PaneViewport.h"

#include <QObject>
#include <functional>

class QScrollBar;

class PaneScrollBar : public QObject {
    Q_OBJECT

public:
    // `lineCount` tells the list's length at each request (lines may have come
    // since the last paint); `scrolled` runs after a request (the pane repaints).
    PaneScrollBar(QScrollBar* bar, PaneViewport& viewport, std::function<int64_t()> lineCount,
                  std::function<void()> scrolled, QObject* parent);

private:
    void OnAction(int action);

    QScrollBar* m_bar;
    PaneViewport& m_viewport;
    std::function<int64_t()> m_lineCount;
    std::function<void()> m_scrolled;
};
