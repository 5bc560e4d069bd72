#pragma once
// The signal an RTTY modem sends and expects: speed, tones, framing.
#include <cstdint>

struct RttyParams {
    double baud = 45.45;
    double markHz = 2125.0;
    // Space = mark + shift; a negative shift puts the space below the mark.
    double shiftHz = 170.0;
    // Swaps the tones (a station on the other sideband).
    bool reverse = false;
    double stopBits = 1.5;
    // 5: Baudot; 7 or 8: ASCII.
    int dataBits = 5;
    // Follow a mistuned signal within +-kAfcRangeHz.
    bool afc = true;
    // Unshift on space: after a space the receiver returns to letters and the
    // sender repeats FIGS when figures follow.
    bool usos = false;

    static constexpr double kAfcRangeHz = 50.0;

    // The tone the receiver hears for mark and for space, reverse applied.
    double MarkTone() const { return reverse ? markHz + shiftHz : markHz; }
    double SpaceTone() const { return reverse ? markHz : markHz + shiftHz; }
    // Bits per character: start, data, stop.
    double FrameBits() const { return 1.0 + dataBits + stopBits; }
    // A sane set: speeds 10..300 baud, tones inside 100..3900 Hz, shift of at
    // least 20 Hz, stop bits 1..2, 5/7/8 data bits.
    bool Valid() const;
};

// The line rate a link opens with, as the teleprinter speed it means: 45 is
// 45.45 baud, 57 is 56.88, 74 is 74.2; other rates are taken as they are.
double BaudForLineRate(uint32_t lineBaud);
