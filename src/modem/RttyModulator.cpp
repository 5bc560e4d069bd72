#include "modem/RttyModulator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

RttyModulator::RttyModulator(const RttyParams& params, double rate, float amplitude)
    : m_params(params), m_rate(rate), m_amplitude(amplitude)
{
    m_bitSamples = rate / params.baud;
    m_rampSamples = kTransition * m_bitSamples;
}

double RttyModulator::Append(double level, double samples)
{
    const double start = std::max(m_tail, static_cast<double>(m_nPosition));
    m_tail = start + samples;
    if (!m_segments.empty() && m_segments.back().level == level && m_segments.back().end == start)
        m_segments.back().end = m_tail;
    else {
        if (m_segments.empty()) {
            // The line idled on mark up to here.
            m_prevLevel = 1.0;
            m_prevEnd = start;
        }
        m_segments.push_back({level, m_tail});
    }
    return m_tail;
}

double RttyModulator::QueueCode(uint32_t code)
{
    Append(0.0, m_bitSamples);
    for (int i = 0; i < m_params.dataBits; ++i)
        Append((code >> i) & 1u ? 1.0 : 0.0, m_bitSamples);
    return Append(1.0, m_params.stopBits * m_bitSamples);
}

double RttyModulator::QueueMark(double seconds)
{
    return Append(1.0, seconds * m_rate);
}

size_t RttyModulator::PendingSamples() const
{
    const double left = m_tail - static_cast<double>(m_nPosition);
    return left > 0.0 ? static_cast<size_t>(std::ceil(left)) : 0;
}

void RttyModulator::Clear()
{
    if (!m_segments.empty()) {
        const double t = static_cast<double>(m_nPosition);
        m_prevLevel = LevelAt(t);
        m_prevEnd = t;
        m_segments.clear();
    }
    m_tail = static_cast<double>(m_nPosition);
}

// The keyed level at sample time t (fractional), with raised-cosine ramps
// centred on each change. Ramps are never longer than a bit, so at most the
// change before and the change after the current segment matter.
double RttyModulator::LevelAt(double t)
{
    while (!m_segments.empty() && m_segments.front().end + m_rampSamples * 0.5 <= t) {
        m_prevLevel = m_segments.front().level;
        m_prevEnd = m_segments.front().end;
        m_segments.pop_front();
    }
    const double half = m_rampSamples * 0.5;
    const auto ramp = [&](double from, double to, double u) {
        // u in [-half, half] around the change.
        const double w = 0.5 - 0.5 * std::cos(std::numbers::pi * (u + half) / m_rampSamples);
        return from + (to - from) * w;
    };
    if (m_segments.empty()) {
        // Idle mark after the last segment, ramping up from it.
        if (t < m_prevEnd + half && m_prevLevel != 1.0)
            return ramp(m_prevLevel, 1.0, t - m_prevEnd);
        m_prevLevel = 1.0;
        return 1.0;
    }
    const Segment& cur = m_segments.front();
    if (t < m_prevEnd + half) {
        if (t < m_prevEnd - half)
            return 1.0;   // still idling before the first segment
        return ramp(m_prevLevel, cur.level, t - m_prevEnd);
    }
    if (t >= cur.end - half) {
        const double next = m_segments.size() > 1 ? m_segments[1].level : 1.0;
        return ramp(cur.level, next, t - cur.end);
    }
    return cur.level;
}

void RttyModulator::Render(float* out, size_t n)
{
    const double fMark = m_params.MarkTone();
    const double fSpace = m_params.SpaceTone();
    const double step = 2.0 * std::numbers::pi / m_rate;
    for (size_t i = 0; i < n; ++i) {
        const double level = LevelAt(static_cast<double>(m_nPosition) + 0.5);
        out[i] = m_amplitude * static_cast<float>(std::sin(m_phase));
        m_phase += step * (fSpace + (fMark - fSpace) * level);
        if (m_phase > 2.0 * std::numbers::pi)
            m_phase -= 2.0 * std::numbers::pi;
        ++m_nPosition;
    }
}
