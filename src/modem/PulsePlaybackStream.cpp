#include "modem/PulsePlaybackStream.h"

#include <pulse/stream.h>

#include <algorithm>

PulsePlaybackStream::PulsePlaybackStream(std::string server, std::string device, unsigned rate)
    : m_pulse(std::move(server), std::move(device), rate,
              {"VELTRAN transmit", "Playback", "The playback device went away"})
{
}

PulsePlaybackStream::~PulsePlaybackStream()
{
    Stop();
}

bool PulsePlaybackStream::Start(FillHandler onFill, AudioDownHandler onDown, std::string& error)
{
    Stop();
    m_onFill = std::move(onFill);
    m_written = 0;
    m_played = 0;
    m_underruns = 0;
    m_lastRequest = std::chrono::steady_clock::now();
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = m_pulse.Bytes(kBuffer);
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = m_pulse.Bytes(kRequest);
    attr.fragsize = static_cast<uint32_t>(-1);
    const auto connect = [this, &attr](pa_stream* s, const char* device, pa_stream_flags_t flags) {
        pa_stream_set_write_callback(s, &PulsePlaybackStream::OnWrite, this);
        pa_stream_set_underflow_callback(s, &PulsePlaybackStream::OnUnderflow, this);
        return pa_stream_connect_playback(s, device, &attr, flags, nullptr, nullptr) >= 0;
    };
    if (m_pulse.Start(connect, &Detach, [this] { Tick(); }, kTick, std::move(onDown), error))
        return true;
    m_onFill = nullptr;
    return false;
}

void PulsePlaybackStream::Stop()
{
    m_pulse.Stop(&Detach);
    m_onFill = nullptr;
}

void PulsePlaybackStream::Detach(pa_stream* s)
{
    pa_stream_set_write_callback(s, nullptr, nullptr);
    pa_stream_set_underflow_callback(s, nullptr, nullptr);
}

void PulsePlaybackStream::OnWrite(pa_stream* s, size_t bytes, void* self)
{
    auto* me = static_cast<PulsePlaybackStream*>(self);
    me->m_lastRequest = std::chrono::steady_clock::now();
    while (bytes >= sizeof(float)) {
        void* data = nullptr;
        size_t n = bytes;
        if (pa_stream_begin_write(s, &data, &n) < 0 || !data) {
            me->m_pulse.Down("The playback stream failed: " + me->m_pulse.LastError());
            return;
        }
        n = std::min(n, bytes) / sizeof(float) * sizeof(float);
        auto* out = static_cast<float*>(data);
        const size_t count = n / sizeof(float);
        if (me->m_onFill)
            me->m_onFill(out, count);
        else
            std::fill(out, out + count, 0.0f);
        if (pa_stream_write(s, data, n, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            me->m_pulse.Down("The playback stream failed: " + me->m_pulse.LastError());
            return;
        }
        me->m_written += count;
        bytes -= n;
    }
}

void PulsePlaybackStream::OnUnderflow(pa_stream*, void* self)
{
    ++static_cast<PulsePlaybackStream*>(self)->m_underruns;
}

void PulsePlaybackStream::Tick()
{
    if (!m_pulse.Running())
        return;
    pa_usec_t t = 0;
    if (pa_stream_get_time(m_pulse.Stream(), &t) == 0) {
        const auto frames = static_cast<uint64_t>(static_cast<double>(t) * m_pulse.Rate() / 1e6);
        const uint64_t played = std::min(frames, m_written);
        if (played > m_played)
            m_played = played;
    }
    m_pulse.ReadLatency();
    if (std::chrono::steady_clock::now() - m_lastRequest > kStall)
        m_pulse.Down("The sound server stopped asking for audio");
}
