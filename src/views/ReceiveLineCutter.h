#pragma once
// Cuts received text into the lines of the receive page, one line per pass,
// and holds the hand-over to the paint handler: the line still arriving
// (m_strCurrentLine) and the finished lines not yet appended to the receive
// list (m_strCompleted).
//
// Thread rule: Pass() and NeedsPass() run on the display side only (one thread
// at a time); m_strPending belongs to it. CurrentLine(), TakeCompleted() and
// Snapshot() may be called from any thread, typically the paint handler on the
// user-interface thread. m_strCurrentLine and m_strCompleted are guarded by
// m_lock, so no finished line can fall between the paint handler's copy and
// its emptying of m_strCompleted.
#include "link/ThreadSafety.h"
#include "views/DisplayPass.h"

#include <functional>
#include <string>
#include <string_view>

class ReceiveLineCutter : public DisplayPass {
public:
    // Stored "RTTYPageWidth" values outside these bounds are taken as the
    // nearest bound: a width of 0 or less would cut an endless run of empty
    // lines, and a huge one would never wrap at all.
    static constexpr int kMinPageWidth = 35;
    static constexpr int kMaxPageWidth = 180;
    static int ClampPageWidth(int stored);

    // Called on the display side once for every bell character taken in.
    using BellHook = std::function<void()>;
    explicit ReceiveLineCutter(BellHook bell = {});

    // One display pass over `taken` (the text just taken from the link; empty
    // when there was none). Bell characters ("*" for 5-bit data, BEL for 7/8
    // bits) ring the hook once each and stay in the text. CRs are dropped. At
    // most one line is finished: at the first LF, or else after `pageWidth`
    // characters (clamped as above), whichever comes first, so the lines are
    // the same however the link split the text. `byteSize` is the link's
    // data bits.
    Repaint Pass(std::string_view taken, int byteSize, int pageWidth) override;

    // True when a pass with nothing new would still change something: the
    // pending text holds a finished line, or the current line does not show
    // the pending text yet.
    bool NeedsPass(int pageWidth) const override;

    // A copy of the line still arriving, as drawn: a blank then the pending text.
    std::string CurrentLine() const;
    // The finished lines (LF-separated, each with its blank marker), emptied.
    std::string TakeCompleted();
    // Both under one lock, for a consistent paint.
    void Snapshot(std::string* currentLine, std::string* completed);

    // Display side only: the text not yet cut into lines (never holds a CR).
    const std::string& Pending() const { return m_strPending; }

private:
    Repaint FinishLine(size_t length, size_t skip);

    BellHook m_bell;
    std::string m_strPending;      // display side only
    bool m_bCurrentStale = false;  // display side only: pending changed since m_strCurrentLine was set

    mutable Mutex m_lock;
    std::string m_strCurrentLine GUARDED_BY(m_lock);
    std::string m_strCompleted GUARDED_BY(m_lock);
};
