#include "link/SimulatedBandPeer.h"

#include "link/BaudotText.h"

#include <algorithm>

namespace {

constexpr std::chrono::milliseconds kAsciiQuiet{1500};

std::chrono::milliseconds Ms(const SimOptions& o, std::string_view key, std::chrono::milliseconds def)
{
    return std::chrono::milliseconds(std::max<long long>(0, o.Integer(key, def.count())));
}

}  // namespace

SimulatedBand::Options SimulatedBandPeer::BandOptions(const SimOptions& o)
{
    SimulatedBand::Options b;
    b.seed = static_cast<uint32_t>(o.Integer("seed", b.seed));
    b.cqFirst = Ms(o, "first", b.cqFirst);
    b.cqInterval = std::max(Ms(o, "cq", b.cqInterval), std::chrono::milliseconds(100));
    b.answerDelay = Ms(o, "answer", b.answerDelay);
    b.pileupPercent = static_cast<int>(std::clamp<long long>(o.Integer("pileup", b.pileupPercent), 0, 100));
    return b;
}

SimulatedBandPeer::SimulatedBandPeer(const SimOptions& options)
    : m_band(BandOptions(options)),
      m_fading(static_cast<uint32_t>(options.Integer("seed", 1)) ^ 0x5eedu, options.Number("errors", 0.0))
{
}

SimulatedBandPeer::~SimulatedBandPeer()
{
    Closed();
}

void SimulatedBandPeer::PublishStatus()
{
    m_status.keyed = m_bKeyed;
    m_status.cqCall = m_band.CqCall();
    SimulatedRttyStatus::Publish(m_status);
}

std::string SimulatedBandPeer::Opened(const LineSettings& settings, Clock::time_point now)
{
    m_settings = settings;
    m_heard = BaudotCodec{};
    m_bKeyed = false;
    m_quietAt = Clock::time_point::max();
    m_band.Start(now);
    m_status = SimulatedRttyStatus{};
    m_status.open = true;
    m_status.baud = settings.baud;
    m_status.dataBits = settings.dataBits;
    PublishStatus();
    return {};
}

void SimulatedBandPeer::Closed()
{
    if (!m_status.open)
        return;
    m_status = SimulatedRttyStatus{};
    SimulatedRttyStatus::Publish(m_status);
}

std::string SimulatedBandPeer::Code(const std::string& text)
{
    if (text.empty())
        return text;
    m_status.charsHeard += text.size();
    PublishStatus();
    if (m_settings.dataBits == 5)
        return m_fading.Pass(EncodeBaudotText(text), 5);
    return m_fading.Pass(text, m_settings.dataBits);
}

std::string SimulatedBandPeer::Written(std::string_view bytes, Clock::time_point sentUntil)
{
    std::string text;
    for (char b : bytes) {
        const char ch = m_settings.dataBits == 5 ? m_heard.DecodeCode(static_cast<uint8_t>(b) & 0x1F) : b;
        if (ch)
            text += ch;
    }
    m_band.Hear(text);
    m_status.charsSent += text.size();
    if (!m_settings.pttKeying) {
        // No keying line: a pause in the output ends the transmission.
        if (!m_bKeyed) {
            m_band.Keyed(sentUntil);
            ++m_status.transmissions;
        }
        m_bKeyed = true;
        m_quietAt = sentUntil + kAsciiQuiet;
    }
    PublishStatus();
    return {};
}

void SimulatedBandPeer::Rts(bool on, Clock::time_point now)
{
    if (!m_settings.pttKeying || on == m_bKeyed)
        return;
    m_bKeyed = on;
    if (on) {
        m_band.Keyed(now);
        ++m_status.transmissions;
    }
    else
        m_band.Unkeyed(now);
    PublishStatus();
}

SimPeer::Clock::time_point SimulatedBandPeer::NextDue() const
{
    return std::min(m_band.NextDue(), m_quietAt);
}

std::string SimulatedBandPeer::Take(Clock::time_point now)
{
    if (now >= m_quietAt) {
        m_quietAt = Clock::time_point::max();
        m_bKeyed = false;
        m_band.Unkeyed(now);
        PublishStatus();
    }
    return Code(m_band.Take(now));
}
