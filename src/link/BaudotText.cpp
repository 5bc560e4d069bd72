#include "link/BaudotText.h"

#include "link/BaudotCodec.h"

std::string EncodeBaudotText(std::string_view text)
{
    BaudotCodec codec;
    std::string codes(1, static_cast<char>(BaudotCodec::kLtrs));
    for (char ch : text) {
        const uint32_t packed = codec.EncodeChar(ch);
        const uint16_t shift = BaudotCodec::ShiftOf(packed);
        const uint16_t code = BaudotCodec::CodeOf(packed);
        if (shift)
            codes += static_cast<char>(shift);
        if (shift || code)
            codes += static_cast<char>(code);
    }
    return codes;
}
