#include "modem/AudioTransmitter.h"

#include "modem/RttyDemodulator.h"

#include <algorithm>
#include <string>
#include <vector>

std::string AudioTransmitter::LineCodes(const uint8_t* data, size_t len, const RttyParams& params,
                                        UnshiftOnSpace& usos)
{
    std::string codes;
    for (size_t i = 0; i < len; ++i) {
        if (params.usos)
            usos.Transmit(data[i], codes);
        else
            codes.push_back(static_cast<char>(data[i]));
    }
    const uint32_t mask = params.dataBits >= 8 ? 0xFF : (1u << params.dataBits) - 1;
    for (char& c : codes)
        c = static_cast<char>(static_cast<uint8_t>(c) & mask);
    return codes;
}

void AudioTransmitter::Reset(const RttyParams& params, Clock::time_point now)
{
    m_params = params;
    m_usos.Reset();
    m_modulator = std::make_unique<RttyModulator>(params, RttyDemodulator::kRate);
    m_playedUntil = now;
    m_bDrainPending = false;
    m_nWrites = 0;
    m_stream = nullptr;
}

void AudioTransmitter::ResetLive(const RttyParams& params, double rate, const PlaybackStream* stream)
{
    Reset(params, Clock::now());
    m_modulator = std::make_unique<RttyModulator>(params, rate);
    m_stream = stream;
    m_rate = rate;
    m_bKeyed = false;
    m_gain = 0.0f;
    m_gainStep = static_cast<float>(1.0 / std::max(1.0, kFadeSeconds * rate));
    m_nFilled = 0;
    m_writeEnd = 0;
    m_drainFrame.reset();
    m_retune.reset();
}

bool AudioTransmitter::Write(const uint8_t* data, size_t len, Clock::time_point now)
{
    ++m_nWrites;
    if (!m_modulator)
        return false;
    for (char c : LineCodes(data, len, m_params, m_usos))
        m_modulator->QueueCode(static_cast<uint8_t>(c));
    const size_t pending = m_modulator->PendingSamples();
    m_bDrainPending = true;
    if (m_stream) {
        m_writeEnd = m_modulator->Position() + pending;
        m_drainFrame.reset();
        return true;
    }
    std::vector<float> sink(pending);
    m_modulator->Render(sink.data(), sink.size());
    const auto start = std::max(now, m_playedUntil);
    m_playedUntil = start + std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double>(static_cast<double>(pending) / RttyDemodulator::kRate));
    return true;
}

void AudioTransmitter::Clear(Clock::time_point now)
{
    if (m_modulator)
        m_modulator->Clear();
    m_playedUntil = now;
    if (m_stream && m_modulator) {
        // Nothing more of the writes will be handed out: what already was
        // is all that is left to play.
        m_writeEnd = m_modulator->Position();
        m_drainFrame = m_nFilled;
    }
}

bool AudioTransmitter::Fill(float* out, size_t count)
{
    if (!m_modulator) {
        std::fill(out, out + count, 0.0f);
        return false;
    }
    ApplyRetune();
    const uint64_t start = m_modulator->Position();
    if (!m_bKeyed && m_gain <= 0.0f) {
        // Silence, and the modulator waits for the next keying.
        std::fill(out, out + count, 0.0f);
    } else {
        m_modulator->Render(out, count);
        if (!m_bKeyed || m_gain < 1.0f) {
            const float step = m_bKeyed ? m_gainStep : -m_gainStep;
            for (size_t i = 0; i < count; ++i) {
                m_gain = std::clamp(m_gain + step, 0.0f, 1.0f);
                out[i] *= m_gain;
            }
        }
    }
    const uint64_t rendered = m_modulator->Position() - start;
    bool known = false;
    if (m_bDrainPending && !m_drainFrame && start + rendered >= m_writeEnd) {
        m_drainFrame = m_nFilled + (m_writeEnd > start ? m_writeEnd - start : 0);
        known = true;
    }
    m_nFilled += count;
    return known;
}

void AudioTransmitter::Retune(const RttyParams& params)
{
    RttyParams p = m_params;
    p.markHz = params.markHz;
    p.shiftHz = params.shiftHz;
    p.reverse = params.reverse;
    m_retune = p;
    m_params = p;
    ApplyRetune();
}

void AudioTransmitter::ApplyRetune()
{
    // A new modulator starts at position 0 and at a new phase: only between
    // transmissions, with nothing waiting to be handed out.
    if (!m_retune || !m_modulator || m_modulator->PendingSamples() > 0 || m_bKeyed || m_gain > 0.0f ||
        (m_bDrainPending && !m_drainFrame))
        return;
    m_modulator = std::make_unique<RttyModulator>(*m_retune, m_stream ? m_rate : RttyDemodulator::kRate);
    m_writeEnd = 0;
    m_retune.reset();
}

AudioTransmitter::Clock::time_point AudioTransmitter::DrainDue() const
{
    if (!m_bDrainPending)
        return Clock::time_point::max();
    if (!m_stream)
        return m_playedUntil;
    if (!m_drainFrame)
        return Clock::time_point::max();   // Fill tells when it is handed out
    const uint64_t played = m_stream->PlayedFrames();
    const uint64_t left = *m_drainFrame > played ? *m_drainFrame - played : 0;
    const auto estimate = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(left) / m_rate));
    return Clock::now() + std::max<Clock::duration>(estimate, kLiveRecheck);
}

bool AudioTransmitter::TakeDrain(Clock::time_point now, uint64_t& writes)
{
    if (!m_bDrainPending)
        return false;
    if (m_stream ? (!m_drainFrame || m_stream->PlayedFrames() < *m_drainFrame) : now < m_playedUntil)
        return false;
    m_bDrainPending = false;
    writes = m_nWrites;
    return true;
}
