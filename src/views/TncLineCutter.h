#pragma once
// Cuts what the TNC sends into the lines of the TNC list. A TNC echoes the
// operator's typing and answers in lines ended by CR, LF or CR LF, so:
//
// - A "short" pending text (no CR, no LF, and twice its length below the page
//   width W) is the line still arriving: it is shown as the current line, and
//   a backspace in it rubs out the character before it (the TNC's echo of a
//   typed backspace).
// - Otherwise every line end (the first LF, else the first CR) within the
//   first W characters, and else every run of W characters, finishes a line,
//   all in the same pass: no line is wider than the page. In a finished line
//   a CR still inside it (one that came before its LF) deletes itself and the
//   character after it; one at the end is simply dropped.
// - Longer text without a line end (from W/2 up to W) waits for more, and the
//   current line keeps what it showed.
// - A CR LF pair is one line end however it arrives: an LF that comes first
//   in new text right after a line was ended by its CR is dropped, so a TNC
//   ending its lines with CR LF never shows empty lines in between when the
//   pair is split over two reads.
// Lines carry no marker character. When a pass finishes a line, the current
// line is emptied and the whole pane repainted at once, so a finished line
// never waits for later text to be shown.
//
// Thread rule: Pass() and NeedsPass() run on the display thread only
// (m_strPending belongs to it). CurrentLine(), Caret() and TakeCompleted() may
// be called from any thread, typically the paint handler; the current line,
// its caret and the finished lines are guarded by m_lock.
#include "link/ThreadSafety.h"
#include "views/DisplayPass.h"

#include <string>
#include <string_view>

class TncLineCutter : public DisplayPass {
public:
    // `byteSize` is not used: the TNC link carries 8-bit text with no bell rule.
    // `pageWidth` is the stored "TNCPageWidth", clamped as the receive page's.
    Repaint Pass(std::string_view taken, int byteSize, int pageWidth) override;
    // Every pass finishes all it can: nothing is left for a pass without text,
    // except after the page width has been narrowed.
    bool NeedsPass(int pageWidth) const override;

    std::string CurrentLine() const;
    // The caret column in the current line (after that many characters).
    int Caret() const;
    // The current line and its caret under one lock, for a consistent paint.
    void Current(std::string* line, int* caret) const;
    // The finished lines, LF-separated, emptied.
    std::string TakeCompleted();

    // Display side only: the text not yet cut into lines.
    const std::string& Pending() const { return m_strPending; }

private:
    bool IsShort(size_t width) const;
    void ShowPending();

    std::string m_strPending;  // display side only
    bool m_bEndedByCr = false; // display side only: the last line ended at a CR, nothing came since

    mutable Mutex m_lock;
    std::string m_strCurrentLine GUARDED_BY(m_lock);
    int m_nCaret GUARDED_BY(m_lock) = 0;
    std::string m_strCompleted GUARDED_BY(m_lock);
};
