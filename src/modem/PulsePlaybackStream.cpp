#include "modem/PulsePlaybackStream.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/stream.h>

#include <algorithm>

PulsePlaybackStream::PulsePlaybackStream(std::string server, std::string device, unsigned rate)
    : m_server(std::move(server))
    , m_device(std::move(device))
    , m_rate(rate)
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
    m_onDown = std::move(onDown);
    m_written = 0;
    m_played = 0;
    m_underruns = 0;
    m_latencyUs = 0;
    m_bReady = m_bFailed = m_bStopping = m_bDown = false;
    m_lastRequest = std::chrono::steady_clock::now();

    m_conn = std::make_unique<PulseConnection>(m_server);
    m_conn->SetLostHandler([this](const std::string& reason) { Down(reason); });
    if (!m_conn->Connect(kConnectTimeout, error)) {
        m_conn.reset();
        return false;
    }
    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, m_rate, 1};
    const auto bytes = [&](std::chrono::milliseconds t) {
        return static_cast<uint32_t>(pa_usec_to_bytes(static_cast<pa_usec_t>(t.count()) * 1000, &format));
    };
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = bytes(kBuffer);
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = bytes(kRequest);
    attr.fragsize = static_cast<uint32_t>(-1);
    auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE
                                                | PA_STREAM_ADJUST_LATENCY);
    if (!m_device.empty())
        flags = static_cast<pa_stream_flags_t>(flags | PA_STREAM_DONT_MOVE);
    {
        PulseConnection::Lock lock(*m_conn);
        m_stream = pa_stream_new(m_conn->Context(), "VELTRAN transmit", &format, nullptr);
        if (m_stream) {
            pa_stream_set_state_callback(m_stream, &PulsePlaybackStream::OnState, this);
            pa_stream_set_write_callback(m_stream, &PulsePlaybackStream::OnWrite, this);
            pa_stream_set_underflow_callback(m_stream, &PulsePlaybackStream::OnUnderflow, this);
            if (pa_stream_connect_playback(m_stream, m_device.empty() ? nullptr : m_device.c_str(), &attr, flags,
                                           nullptr, nullptr)
                < 0)
                m_bFailed = true;
        } else {
            m_bFailed = true;
        }
    }
    if (!m_conn->Wait([this] { return m_bReady.load() || m_bFailed.load(); }, kConnectTimeout) || !m_bReady) {
        std::string why;
        {
            PulseConnection::Lock lock(*m_conn);
            why = m_conn->StreamOpenError(m_bFailed, m_stream != nullptr);
        }
        error = "Playback device \"" + (m_device.empty() ? std::string("default") : m_device)
              + "\" could not be opened: " + why;
        Stop();
        return false;
    }
    {
        PulseConnection::Lock lock(*m_conn);
        m_conn->StartTimer(kTick, [this] { Tick(); });
    }
    return true;
}

void PulsePlaybackStream::Stop()
{
    if (!m_conn)
        return;
    m_bStopping = true;
    {
        PulseConnection::Lock lock(*m_conn);
        if (m_stream) {
            pa_stream_set_state_callback(m_stream, nullptr, nullptr);
            pa_stream_set_write_callback(m_stream, nullptr, nullptr);
            pa_stream_set_underflow_callback(m_stream, nullptr, nullptr);
            pa_stream_disconnect(m_stream);
            pa_stream_unref(m_stream);
            m_stream = nullptr;
        }
    }
    m_conn->Close();
    m_conn.reset();
    m_onFill = nullptr;
    m_onDown = nullptr;
}

void PulsePlaybackStream::OnState(pa_stream* s, void* self)
{
    auto* me = static_cast<PulsePlaybackStream*>(self);
    switch (pa_stream_get_state(s)) {
    case PA_STREAM_READY:
        me->m_bReady = true;
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        me->m_bFailed = true;
        // A stream fails with its server too; say which went away.
        if (me->m_bReady)
            me->Down(PulseConnection::StreamDownReason(s, "The playback device went away"));
        break;
    default:
        return;
    }
    me->m_conn->Notify();
}

void PulsePlaybackStream::OnWrite(pa_stream* s, size_t bytes, void* self)
{
    auto* me = static_cast<PulsePlaybackStream*>(self);
    me->m_lastRequest = std::chrono::steady_clock::now();
    while (bytes >= sizeof(float)) {
        void* data = nullptr;
        size_t n = bytes;
        if (pa_stream_begin_write(s, &data, &n) < 0 || !data) {
            me->Down("The playback stream failed: " + me->m_conn->LastError());
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
            me->Down("The playback stream failed: " + me->m_conn->LastError());
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
    if (!m_stream || !m_bReady || m_bDown)
        return;
    pa_usec_t t = 0;
    if (pa_stream_get_time(m_stream, &t) == 0) {
        const auto frames = static_cast<uint64_t>(static_cast<double>(t) * m_rate / 1e6);
        const uint64_t played = std::min(frames, m_written);
        if (played > m_played)
            m_played = played;
    }
    pa_usec_t latency = 0;
    int negative = 0;
    if (pa_stream_get_latency(m_stream, &latency, &negative) == 0)
        m_latencyUs = negative ? 0 : static_cast<int64_t>(latency);
    if (std::chrono::steady_clock::now() - m_lastRequest > kStall)
        Down("The sound server stopped asking for audio");
}

void PulsePlaybackStream::Down(const std::string& reason)
{
    if (m_bStopping || m_bDown.exchange(true))
        return;
    m_conn->Notify();
    if (m_onDown)
        m_onDown(reason);
}
