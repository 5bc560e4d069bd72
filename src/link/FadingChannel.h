#pragma once
// Errors of a fading RTTY signal, applied to the characters the simulated band
// sends: now and then a character arrives with one bit flipped, and a shift
// code is lost more often than a character (it is one short burst, and a lost
// one leaves the rest of the word in the wrong shift, which is what the
// receive pane's "Swap Line" and "Swap Fgrs/Ltrs" repair).
//
// `rate` is the chance per character of a flipped bit (0 gives a clean
// channel); a shift code is dropped with four times that chance. The same
// seed gives the same errors. Not thread-safe: its owner serialises calls.
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

class FadingChannel {
public:
    FadingChannel(uint32_t seed, double rate);

    // `bits`: 5 for Baudot codes (shift codes 27 and 31 may be dropped), else
    // the ASCII data bits.
    std::string Pass(std::string_view bytes, int bits);

private:
    bool Chance(double p);

    std::mt19937 m_rng;
    double m_rate;
};
