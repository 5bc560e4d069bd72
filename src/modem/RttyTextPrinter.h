#pragma once
// What a receiver prints for each decoded code, as the command-line tool
// prints it: 5-bit codes through the Baudot printer (letters/figures, unshift
// on space when the parameters ask for it), 7- and 8-bit codes as they are.
// CR and NUL print nothing; LF is the newline.
//
// Not thread-safe: one owner per received stream.
#include "modem/BaudotText.h"
#include "modem/RttyParams.h"

#include <cstdint>
#include <string>

class RttyTextPrinter {
public:
    explicit RttyTextPrinter(const RttyParams& params) : m_dataBits(params.dataBits), m_baudot(params.usos) {}

    // Appends what `code` prints (possibly nothing) to `out`.
    void Put(uint32_t code, std::string& out);

private:
    int m_dataBits;
    BaudotPrinter m_baudot;
};
