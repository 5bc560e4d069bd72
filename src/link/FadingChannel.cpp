#include "link/FadingChannel.h"

#include "link/BaudotCodec.h"

#include <algorithm>

FadingChannel::FadingChannel(uint32_t seed, double rate)
    : m_rng(seed), m_rate(std::clamp(rate, 0.0, 1.0))
{
}

bool FadingChannel::Chance(double p)
{
    // 24 bits of the generator: the same sequence on every standard library.
    return static_cast<double>(m_rng() >> 8) < p * static_cast<double>(1u << 24);
}

std::string FadingChannel::Pass(std::string_view bytes, int bits)
{
    if (m_rate <= 0)
        return std::string(bytes);
    const int width = bits == 5 ? 5 : std::clamp(bits, 5, 8);
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        auto b = static_cast<uint8_t>(ch);
        if (bits == 5 && (b == BaudotCodec::kFigs || b == BaudotCodec::kLtrs) && Chance(4 * m_rate))
            continue;
        if (Chance(m_rate))
            b = static_cast<uint8_t>(b ^ (1u << (m_rng() % static_cast<uint32_t>(width))));
        out += static_cast<char>(b);
    }
    return out;
}
