#pragma once
// One display pass of a port-owning pane: what the display thread
// (ReceiveDisplay) runs over the text it has just taken from the link. The
// receive page (ReceiveLineCutter) and the TNC terminal (TncLineCutter) cut
// lines by their own rules behind this one seam, so both share the thread,
// its wake-up and its repaint hand-over.
//
// Thread rule: Pass() and NeedsPass() are called on the display thread only.
#include <string_view>

class DisplayPass {
public:
    // What a pass asks to have repainted; a wider request includes the
    // narrower ones (the display thread keeps the widest outstanding).
    enum class Repaint {
        kNone,
        kCurrentLine,       // only the current line's row, without erasing, at once
        kCurrentLineErase,  // only the current line's row, erased first (it got shorter)
        kWholeView,         // lines were finished: everything, with erasing
    };

    virtual ~DisplayPass() = default;

    // `taken` is the text just taken from the link (empty when there was
    // none), `byteSize` the link's data bits, `pageWidth` the stored width
    // (each pass clamps it as its rules say).
    virtual Repaint Pass(std::string_view taken, int byteSize, int pageWidth) = 0;
    // True when a pass with nothing new would still change something.
    virtual bool NeedsPass(int pageWidth) const = 0;
};
