#pragma once
// The transmit pane's geometry in rows of the line height h: where the line
// being typed sits, which row a point hits, and how the scroll requests move
// m_nScrollBack (history lines hidden below, newest first). Pixel values are
// client coordinates, y growing downwards. Pure arithmetic.
#include <cstdint>

class TransmitLayout {
public:
    struct Hit {
        enum Kind { kNothing, kCurrentLine, kHistoryLine } kind = kNothing;
        int line = -1;  // kHistoryLine: 1-based from the oldest
    };

    enum class Scroll { kLineUp, kLineDown, kPageUp, kPageDown, kThumb, kTop, kBottom };

    // A short history starts near the top: with n = count + 2 and v whole rows,
    // the bottom edge rises by (v - n) rows while n < v.
    static int BottomEdge(int clientHeight, int lineHeight, int historyCount);
    // Points exactly on a row boundary hit nothing.
    static Hit HitTest(int y, int clientHeight, int lineHeight, int historyCount, int scrollBack);
    // The new m_nScrollBack, kept within 0..historyCount. `thumb` is the
    // scroll bar position for kThumb (the bar runs 0..count, newest at count).
    static int Scrolled(Scroll request, int thumb, int historyCount, int scrollBack);
};
