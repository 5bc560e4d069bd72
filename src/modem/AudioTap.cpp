#include "modem/AudioTap.h"

#include <algorithm>
#include <cmath>

void AudioTap::Open(double rate, double markTone, double spaceTone)
{
    MutexLock lock(m_mutex);
    m_bActive = true;
    m_rate = rate;
    m_mark = markTone;
    m_space = spaceTone;
    m_total = 0;
    m_peak = 0.0f;
    m_bClipped = false;
    m_markRequest.reset();
}

void AudioTap::Close()
{
    MutexLock lock(m_mutex);
    m_bActive = false;
}

void AudioTap::Push(const float* samples, size_t count)
{
    MutexLock lock(m_mutex);
    for (size_t i = 0; i < count; ++i) {
        const float a = std::fabs(samples[i]);
        m_peak = std::max(m_peak, a);
        m_bClipped = m_bClipped || a >= kClipLevel;
        m_ring[(m_total + i) % kKeepSamples] = samples[i];
    }
    m_total += count;
}

void AudioTap::SetTones(double markTone, double spaceTone)
{
    MutexLock lock(m_mutex);
    m_mark = markTone;
    m_space = spaceTone;
}

std::optional<double> AudioTap::TakeMarkRequest()
{
    MutexLock lock(m_mutex);
    std::optional<double> r = m_markRequest;
    m_markRequest.reset();
    return r;
}

bool AudioTap::IsActive() const
{
    MutexLock lock(m_mutex);
    return m_bActive;
}

double AudioTap::Rate() const
{
    MutexLock lock(m_mutex);
    return m_rate;
}

double AudioTap::MarkTone() const
{
    MutexLock lock(m_mutex);
    return m_mark;
}

double AudioTap::SpaceTone() const
{
    MutexLock lock(m_mutex);
    return m_space;
}

std::vector<float> AudioTap::Recent(size_t count, uint64_t* total) const
{
    MutexLock lock(m_mutex);
    count = static_cast<size_t>(std::min<uint64_t>({count, m_total, kKeepSamples}));
    std::vector<float> out(count);
    const uint64_t first = m_total - count;
    for (size_t i = 0; i < count; ++i)
        out[i] = m_ring[(first + i) % kKeepSamples];
    if (total)
        *total = m_total;
    return out;
}

float AudioTap::TakePeak(bool* clipped)
{
    MutexLock lock(m_mutex);
    const float p = m_peak;
    if (clipped)
        *clipped = m_bClipped;
    m_peak = 0.0f;
    m_bClipped = false;
    return p;
}

void AudioTap::RequestMark(double markHz)
{
    MutexLock lock(m_mutex);
    m_markRequest = markHz;
}

AudioTap& RttyAudioTap()
{
    static AudioTap tap;
    return tap;
}
