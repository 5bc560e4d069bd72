#pragma once
// Unshift on space for 5-bit Baudot, applied to code streams.
//
// Receive: after a space received in figures, an LTRS code is inserted, so
// the receiving codec returns to letters as the sender's machine did.
// Transmit: a sender that unshifts on space needs FIGS again before figures
// that follow a space; the transmit filter inserts it when the stream's own
// shift is figures (the codes before it never said LTRS).
//
// Not thread-safe: one owner per direction.
#include <cstdint>
#include <string>

class UnshiftOnSpace {
public:
    // Appends `code` (and any inserted shift code) to `out`.
    void Receive(uint8_t code, std::string& out);
    void Transmit(uint8_t code, std::string& out);
    void Reset() { m_figures = false; m_afterSpace = false; }

private:
    bool m_figures = false;
    bool m_afterSpace = false;
};

// True for the codes that print in figures on the far side (not space, CR,
// LF, shifts or blank).
bool IsFiguresSensitive(uint8_t code);
