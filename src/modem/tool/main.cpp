// veltran-rtty: decode, encode and channel-simulate RTTY audio files.
#include "modem/RttyTool.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunRttyTool(args, std::cin, std::cout, std::cerr);
}
