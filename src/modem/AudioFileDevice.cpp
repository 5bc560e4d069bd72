#include "modem/AudioFileDevice.h"

#include "modem/AudioFile.h"
#include "modem/RttyDemodulator.h"

#include <algorithm>
#include <vector>

AudioFileDevice::AudioFileDevice(std::string value, bool usos) : m_value(std::move(value)), m_usosSetting(usos) {}

AudioFileDevice::~AudioFileDevice()
{
    Close();
}

bool AudioFileDevice::Open(const LineSettings& settings)
{
    Close();
    AudioDeviceValue value;
    if (!ParseAudioDeviceValue(m_value, value) || value.file.empty())
        return false;
    const RttyParams params = RttyParamsForLine(settings, value, m_usosSetting);
    if (!params.Valid())
        return false;
    {
        // Fail the open at once on an unreadable recording.
        AudioFileReader probe;
        std::string error;
        if (!probe.Open(value.file, error))
            return false;
    }
    MutexLock lock(m_mutex);
    ResetForOpen(params, Clock::now());
    m_bPlayed = false;
    m_rxUsos.Reset();
    m_worker = std::thread(&AudioFileDevice::Play, this, value.file, params);
    return true;
}

void AudioFileDevice::Close()
{
    {
        MutexLock lock(m_mutex);
        m_bStop = true;
        m_bOpen = false;
        m_tx.Close();
        m_changed.NotifyAll();
    }
    if (m_worker.joinable())
        m_worker.join();
}

void AudioFileDevice::Play(std::string path, RttyParams params)
{
    AudioFileReader reader;
    std::string error;
    if (!reader.Open(path, error)) {
        MutexLock lock(m_mutex);
        m_bPlayed = true;
        m_changed.NotifyAll();
        return;
    }
    RttyDemodulator demod(params, reader.Rate());
    const size_t block = std::max<size_t>(1, static_cast<size_t>(reader.Rate() * kBlockSeconds));
    std::vector<float> samples;
    const auto start = Clock::now();
    uint64_t played = 0;
    for (;;) {
        samples.clear();
        const size_t got = reader.Read(block, samples);
        if (got == 0)
            break;
        played += got;
        // The block is heard once its last sample has been played.
        const auto due = start + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(static_cast<double>(played) / reader.Rate()));
        {
            MutexLock lock(m_mutex);
            while (!m_bStop && m_changed.WaitUntil(lock, due)) {
            }
            if (m_bStop)
                return;
        }
        demod.Process(samples.data(), samples.size());
        const std::vector<DecodedChar> chars = demod.Take();
        if (chars.empty())
            continue;
        MutexLock lock(m_mutex);
        for (const DecodedChar& c : chars) {
            const uint8_t code = static_cast<uint8_t>(c.code);
            if (params.usos) {
                std::string codes;
                m_rxUsos.Receive(code, codes);
                m_rx.insert(m_rx.end(), codes.begin(), codes.end());
            } else
                m_rx.push_back(code);
        }
        m_changed.NotifyAll();
    }
    MutexLock lock(m_mutex);
    m_bPlayed = true;
    m_changed.NotifyAll();
}

size_t AudioFileDevice::Write(const uint8_t* data, size_t len, uint32_t)
{
    MutexLock lock(m_mutex);
    if (!m_tx.Write(data, len, Clock::now()) || !m_bOpen)
        return 0;
    m_changed.NotifyAll();
    return len;
}

void AudioFileDevice::SetRts(bool on)
{
    MutexLock lock(m_mutex);
    m_bPtt = on;
}

bool AudioFileDevice::WaitPlayed(std::chrono::milliseconds limit) const
{
    MutexLock lock(m_mutex);
    const auto deadline = Clock::now() + limit;
    while (!m_bPlayed && m_changed.WaitUntil(lock, deadline)) {
    }
    return m_bPlayed;
}

