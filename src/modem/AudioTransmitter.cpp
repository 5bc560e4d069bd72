#include "modem/AudioTransmitter.h"

#include "modem/RttyDemodulator.h"

#include <algorithm>
#include <string>
#include <vector>

void AudioTransmitter::Reset(const RttyParams& params, Clock::time_point now)
{
    m_params = params;
    m_usos.Reset();
    m_modulator = std::make_unique<RttyModulator>(params, RttyDemodulator::kRate);
    m_playedUntil = now;
    m_bDrainPending = false;
    m_nWrites = 0;
}

bool AudioTransmitter::Write(const uint8_t* data, size_t len, Clock::time_point now)
{
    ++m_nWrites;
    if (!m_modulator)
        return false;
    std::string codes;
    for (size_t i = 0; i < len; ++i) {
        if (m_params.usos)
            m_usos.Transmit(data[i], codes);
        else
            codes.push_back(static_cast<char>(data[i]));
    }
    const uint32_t mask = m_params.dataBits >= 8 ? 0xFF : (1u << m_params.dataBits) - 1;
    for (char c : codes)
        m_modulator->QueueCode(static_cast<uint8_t>(c) & mask);
    const size_t pending = m_modulator->PendingSamples();
    std::vector<float> sink(pending);
    m_modulator->Render(sink.data(), sink.size());
    const auto start = std::max(now, m_playedUntil);
    m_playedUntil = start + std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double>(static_cast<double>(pending) / RttyDemodulator::kRate));
    m_bDrainPending = true;
    return true;
}

void AudioTransmitter::Clear(Clock::time_point now)
{
    if (m_modulator)
        m_modulator->Clear();
    m_playedUntil = now;
}

AudioTransmitter::Clock::time_point AudioTransmitter::DrainDue() const
{
    return m_bDrainPending ? m_playedUntil : Clock::time_point::max();
}

bool AudioTransmitter::TakeDrain(Clock::time_point now, uint64_t& writes)
{
    if (!m_bDrainPending || now < m_playedUntil)
        return false;
    m_bDrainPending = false;
    writes = m_nWrites;
    return true;
}
