#pragma once
// "Swap Line": a receive-list line re-read in the other Baudot shift.
#include <string>

class ReceiveLineSwap {
public:
    // The marker (first character) stays; the rest goes through
    // BaudotCodec::SwapFiguresLetters, which drops characters it cannot swap.
    // An empty line stays empty.
    static std::string Swap(const std::string& line);
};
