#include "modem/AudioFile.h"

#include <sndfile.h>

AudioFileReader::~AudioFileReader()
{
    Close();
}

bool AudioFileReader::Open(const std::string& path, std::string& error)
{
    Close();
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) {
        error = path + ": " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1000) {
        sf_close(f);
        error = path + ": not a usable sound file";
        return false;
    }
    m_file = f;
    m_channels = info.channels;
    m_rate = info.samplerate;
    return true;
}

size_t AudioFileReader::Read(size_t frames, std::vector<float>& out)
{
    if (!m_file)
        return 0;
    m_buffer.resize(frames * m_channels);
    const sf_count_t got = sf_readf_float(static_cast<SNDFILE*>(m_file), m_buffer.data(), static_cast<sf_count_t>(frames));
    if (got <= 0)
        return 0;
    for (sf_count_t i = 0; i < got; ++i) {
        float sum = 0.0f;
        for (int c = 0; c < m_channels; ++c)
            sum += m_buffer[i * m_channels + c];
        out.push_back(sum / static_cast<float>(m_channels));
    }
    return static_cast<size_t>(got);
}

void AudioFileReader::Close()
{
    if (m_file)
        sf_close(static_cast<SNDFILE*>(m_file));
    m_file = nullptr;
}

bool ReadAudioFile(const std::string& path, AudioData& data, std::string& error)
{
    AudioFileReader reader;
    if (!reader.Open(path, error))
        return false;
    data.rate = reader.Rate();
    data.samples.clear();
    while (reader.Read(65536, data.samples) > 0) {
    }
    return true;
}

bool WriteAudioFile(const std::string& path, const std::vector<float>& samples, double rate, bool asFloat,
                    std::string& error)
{
    SF_INFO info{};
    info.samplerate = static_cast<int>(rate);
    info.channels = 1;
    info.format = SF_FORMAT_WAV | (asFloat ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16);
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) {
        error = path + ": " + sf_strerror(nullptr);
        return false;
    }
    const sf_count_t n = static_cast<sf_count_t>(samples.size());
    const bool ok = sf_writef_float(f, samples.data(), n) == n;
    if (!ok)
        error = path + ": " + sf_strerror(f);
    sf_close(f);
    return ok;
}
