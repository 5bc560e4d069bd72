#pragma once
// A pane's own scroll table, given to its PaneViewport. With N lines in the
// pane's list the scroll-back count runs 0..M, M = N + extraRows; line up and
// down move it by one, page up and down by pageStep (0: the page keys do
// nothing), the thumb at p gives M - p, top M and bottom 0, always clamped
// to 0..M. The scroll bar runs 0..M at M - scroll-back, shown disabled while
// the list is empty.
#include <cstdint>

enum class ScrollRequest {
    kLineUp,
    kLineDown,
    kPageUp,
    kPageDown,
    kThumbPosition,
    kThumbTrack,
    kTop,
    kBottom,
    kOther,
};

struct ScrollBarState {
    int minimum = 0;
    int maximum = 0;   // M
    int position = 0;  // M - scrollBack
    bool enabled = false;

    bool operator==(const ScrollBarState&) const = default;
};

struct ViewportPolicy {
    int64_t extraRows = 0;
    int64_t pageStep = 0;

    // The receive page: one row beyond the list (M = N + 1), pages of 5 lines.
    static constexpr ViewportPolicy ReceivePage() { return {1, 5}; }
    // The TNC terminal and the transmit history: M = N, no page steps.
    static constexpr ViewportPolicy TncTerminal() { return {0, 0}; }
    static constexpr ViewportPolicy TransmitHistory() { return {0, 0}; }

    int64_t Extent(int64_t lineCount) const;
    int64_t Scrolled(ScrollRequest request, int64_t scrollBack, int64_t lineCount, int64_t thumbPos) const;
    ScrollBarState Bar(int64_t scrollBack, int64_t lineCount) const;
};
