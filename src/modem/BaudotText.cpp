#include "modem/BaudotText.h"

std::string EncodeBaudotText(std::string_view text, bool usos)
{
    BaudotCodec codec;
    std::string plain;
    plain.push_back(static_cast<char>(BaudotCodec::kLtrs));
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            plain += "\x08\x02";   // CR LF
            continue;
        }
        const uint32_t packed = codec.EncodeChar(c);
        const uint16_t shift = BaudotCodec::ShiftOf(packed);
        const uint16_t code = BaudotCodec::CodeOf(packed);
        if (shift) {
            plain.push_back(static_cast<char>(shift));
            plain.push_back(static_cast<char>(code));
        } else if (code)
            plain.push_back(static_cast<char>(code));
    }
    if (!usos)
        return plain;
    UnshiftOnSpace filter;
    std::string codes;
    for (char c : plain)
        filter.Transmit(static_cast<uint8_t>(c), codes);
    return codes;
}

void BaudotPrinter::Put(uint8_t code, std::string& out)
{
    std::string codes;
    if (m_usos)
        m_filter.Receive(code, codes);
    else
        codes.push_back(static_cast<char>(code));
    for (char c : codes) {
        const char printed = m_codec.DecodeCode(static_cast<uint8_t>(c));
        if (printed != 0 && printed != '\r')
            out.push_back(printed);
    }
}
