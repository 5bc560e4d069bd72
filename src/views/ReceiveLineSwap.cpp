#include "views/ReceiveLineSwap.h"

#include "link/BaudotCodec.h"

std::string ReceiveLineSwap::Swap(const std::string& line)
{
    if (line.empty())
        return line;
    std::string rest = line.substr(1);
    BaudotCodec::SwapFiguresLetters(rest);
    return line.substr(0, 1) + rest;
}
