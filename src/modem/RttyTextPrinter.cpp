#include "modem/RttyTextPrinter.h"

void RttyTextPrinter::Put(uint32_t code, std::string& out)
{
    if (m_dataBits == 5) {
        m_baudot.Put(static_cast<uint8_t>(code), out);
        return;
    }
    const char c = static_cast<char>(code & (m_dataBits == 7 ? 0x7Fu : 0xFFu));
    if (c != '\r' && c != 0)
        out.push_back(c);
}
