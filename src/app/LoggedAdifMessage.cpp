#include "app/LoggedAdifMessage.h"

namespace {

void PutU32(std::string& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((v >> shift) & 0xFF);
}

void PutUtf8(std::string& out, std::string_view text)
{
    PutU32(out, static_cast<uint32_t>(text.size()));
    out += text;
}

}  // namespace

std::string LoggedAdifMessage::AdifText(std::string_view record)
{
    std::string text = "VELTRAN contact\n<adif_ver:5>3.1.4\n<programid:7>VELTRAN\n<eoh>\n";
    for (const char c : record) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (b >> 6));
            text += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    text += '\n';
    return text;
}

std::string LoggedAdifMessage::Encode(std::string_view id, std::string_view adifUtf8)
{
    std::string out;
    out.reserve(20 + id.size() + adifUtf8.size());
    PutU32(out, kMagic);
    PutU32(out, kSchema);
    PutU32(out, kType);
    PutUtf8(out, id);
    PutUtf8(out, adifUtf8);
    return out;
}
