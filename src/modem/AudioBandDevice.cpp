#include "modem/AudioBandDevice.h"

#include "modem/AudioDeviceValue.h"
#include "modem/RttyDemodulator.h"
#include "modem/RttyModulator.h"

#include <algorithm>
#include <vector>

namespace {

std::string_view WithoutPrefix(std::string_view value)
{
    if (IsAudioDeviceValue(value))
        value.remove_prefix(kAudioPrefix.size());
    return value;
}

}  // namespace

AudioBandDevice::AudioBandDevice(std::string_view value)
    : m_options(SimOptions::Parse(WithoutPrefix(value))), m_band(m_options)
{
}

AudioBandDevice::~AudioBandDevice()
{
    Close();
}

bool AudioBandDevice::IsBandValue(std::string_view value)
{
    return IsAudioDeviceValue(value) && SimOptions::Parse(WithoutPrefix(value)).mode == "band";
}

bool AudioBandDevice::Open(const LineSettings& settings)
{
    Close();
    // The band's stations send their shifts as they are: no unshift on space.
    const RttyParams params = RttyParamsForLine(settings, AudioDeviceValue{}, false);
    if (!params.Valid())
        return false;
    ChannelSettings channel;
    channel.snrDb = m_options.Number("snr", 20.0);
    channel.seed = static_cast<uint64_t>(m_options.Integer("seed", 1));
    channel.centreHz = (params.MarkTone() + params.SpaceTone()) / 2.0;
    const std::string fading = m_options.Text("fading");
    if (!fading.empty() && fading != "none") {
        channel.fading = FadingPreset(fading);
        if (!channel.fading)
            return false;
    }
    MutexLock lock(m_mutex);
    const auto now = Clock::now();
    ResetForOpen(params, now);
    // The band's peer answers nothing at once; its traffic comes by Take.
    m_band.Opened(settings, now);
    m_worker = std::thread(&AudioBandDevice::Play, this, params, channel);
    return true;
}

void AudioBandDevice::Close()
{
    {
        MutexLock lock(m_mutex);
        if (m_bOpen)
            m_band.Closed();
        m_bStop = true;
        m_bOpen = false;
        m_tx.Close();
        m_changed.NotifyAll();
    }
    if (m_worker.joinable())
        m_worker.join();
}

void AudioBandDevice::Play(RttyParams params, ChannelSettings channel)
{
    const double rate = RttyDemodulator::kRate;
    RttyDemodulator demod(params, rate);
    std::deque<float> audio;   // the channel's output still to be heard
    const size_t block = static_cast<size_t>(rate * kBlockSeconds);
    std::vector<float> samples(block);
    const auto start = Clock::now();
    uint64_t played = 0;
    uint64_t transmissions = 0;
    for (;;) {
        played += block;
        const auto due = start + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(static_cast<double>(played) / rate));
        std::string codes;
        {
            MutexLock lock(m_mutex);
            while (!m_bStop && m_changed.WaitUntil(lock, due)) {
            }
            if (m_bStop)
                return;
            const auto now = Clock::now();
            if (now >= m_band.NextDue())
                codes = m_band.Take(now);
        }
        if (!codes.empty()) {
            RttyModulator modulator(params, rate);
            modulator.QueueMark(kLeadSeconds);
            const uint32_t mask = params.dataBits >= 8 ? 0xFF : (1u << params.dataBits) - 1;
            for (char c : codes)
                modulator.QueueCode(static_cast<uint8_t>(c) & mask);
            modulator.QueueMark(kTailSeconds);
            std::vector<float> signal(modulator.PendingSamples());
            modulator.Render(signal.data(), signal.size());
            // A new stretch of noise and fading for every transmission.
            ChannelSettings s = channel;
            s.seed = channel.seed + 0x9e37u * ++transmissions;
            const std::vector<float> heard = ChannelSimulator::Apply(signal, rate, s);
            audio.insert(audio.end(), heard.begin(), heard.end());
        }
        for (float& x : samples) {
            if (audio.empty())
                x = 0.0f;
            else {
                x = audio.front();
                audio.pop_front();
            }
        }
        demod.Process(samples.data(), samples.size());
        const std::vector<DecodedChar> chars = demod.Take();
        if (chars.empty())
            continue;
        MutexLock lock(m_mutex);
        for (const DecodedChar& c : chars)
            m_rx.push_back(static_cast<uint8_t>(c.code));
        m_changed.NotifyAll();
    }
}

size_t AudioBandDevice::Write(const uint8_t* data, size_t len, uint32_t)
{
    MutexLock lock(m_mutex);
    const auto now = Clock::now();
    if (!m_tx.Write(data, len, now) || !m_bOpen)
        return 0;
    m_band.Written(std::string_view(reinterpret_cast<const char*>(data), len), m_tx.DrainDue());
    m_changed.NotifyAll();
    return len;
}

void AudioBandDevice::SetRts(bool on)
{
    MutexLock lock(m_mutex);
    m_bPtt = on;
    if (m_bOpen)
        m_band.Rts(on, Clock::now());
    m_changed.NotifyAll();
}

