#pragma once
// Text to Baudot codes and back, the way the program's link and receive page
// do it: the encoder starts with LTRS and adds the shift codes each character
// needs (a newline goes out as CR LF); the printer applies letters/figures,
// drops CR and keeps LF as the newline. Unshift on space is applied to the
// codes when asked for.
#include "link/BaudotCodec.h"
#include "modem/UnshiftOnSpace.h"

#include <cstdint>
#include <string>
#include <string_view>

std::string EncodeBaudotText(std::string_view text, bool usos);

class BaudotPrinter {
public:
    explicit BaudotPrinter(bool usos) : m_usos(usos) {}
    // Appends what `code` prints (possibly nothing) to `out`.
    void Put(uint8_t code, std::string& out);

private:
    bool m_usos;
    BaudotCodec m_codec;
    UnshiftOnSpace m_filter;
};
