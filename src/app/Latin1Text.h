#pragma once
// The program's texts (settings, document lines, link text) are 8-bit bytes
// kept as they are; on screen and in Qt's own calls each byte is one Latin-1
// character.
#include <QString>

#include <string_view>

inline QString Latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
