#include "modem/UnshiftOnSpace.h"

namespace {
constexpr uint8_t kFigs = 27, kLtrs = 31, kSpace = 4, kCr = 8, kLf = 2;
}

bool IsFiguresSensitive(uint8_t code)
{
    code &= 0x1F;
    return code != 0 && code != kFigs && code != kLtrs && code != kSpace && code != kCr && code != kLf;
}

void UnshiftOnSpace::Receive(uint8_t code, std::string& out)
{
    code &= 0x1F;
    out.push_back(static_cast<char>(code));
    if (code == kFigs)
        m_figures = true;
    else if (code == kLtrs)
        m_figures = false;
    else if (code == kSpace && m_figures) {
        out.push_back(static_cast<char>(kLtrs));
        m_figures = false;
    }
}

void UnshiftOnSpace::Transmit(uint8_t code, std::string& out)
{
    code &= 0x1F;
    if (code == kFigs)
        m_figures = true;
    else if (code == kLtrs)
        m_figures = false;
    if (m_afterSpace && m_figures && IsFiguresSensitive(code))
        out.push_back(static_cast<char>(kFigs));
    if (code == kSpace)
        m_afterSpace = true;
    else if (code != 0)
        m_afterSpace = false;   // a printing code or an explicit shift
    out.push_back(static_cast<char>(code));
}
