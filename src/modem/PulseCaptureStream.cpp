#include "modem/PulseCaptureStream.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/stream.h>

#include <algorithm>
#include <cstring>

PulseCaptureStream::PulseCaptureStream(std::string server, std::string device, unsigned rate)
    : m_server(std::move(server))
    , m_device(std::move(device))
    , m_rate(rate)
{
}

PulseCaptureStream::~PulseCaptureStream()
{
    Stop();
}

bool PulseCaptureStream::Start(BlockHandler onBlock, AudioDownHandler onDown, std::string& error)
{
    Stop();
    m_onBlock = std::move(onBlock);
    m_onDown = std::move(onDown);
    m_latencyUs = 0;
    m_bReady = m_bFailed = m_bStopping = m_bDown = false;
    m_lastBlock = std::chrono::steady_clock::now();

    m_conn = std::make_unique<PulseConnection>(m_server);
    m_conn->SetLostHandler([this](const std::string& reason) { Down(reason); });
    if (!m_conn->Connect(kConnectTimeout, error)) {
        m_conn.reset();
        return false;
    }
    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, m_rate, 1};
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = attr.prebuf = attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize =
        static_cast<uint32_t>(pa_usec_to_bytes(static_cast<pa_usec_t>(kFragment.count()) * 1000, &format));
    auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE
                                                | PA_STREAM_ADJUST_LATENCY);
    if (!m_device.empty())
        flags = static_cast<pa_stream_flags_t>(flags | PA_STREAM_DONT_MOVE);
    {
        PulseConnection::Lock lock(*m_conn);
        m_stream = pa_stream_new(m_conn->Context(), "VELTRAN receive", &format, nullptr);
        if (m_stream) {
            pa_stream_set_state_callback(m_stream, &PulseCaptureStream::OnState, this);
            pa_stream_set_read_callback(m_stream, &PulseCaptureStream::OnRead, this);
            if (pa_stream_connect_record(m_stream, m_device.empty() ? nullptr : m_device.c_str(), &attr, flags) < 0)
                m_bFailed = true;
        } else {
            m_bFailed = true;
        }
    }
    if (!m_conn->Wait([this] { return m_bReady.load() || m_bFailed.load(); }, kConnectTimeout) || !m_bReady) {
        std::string why;
        {
            PulseConnection::Lock lock(*m_conn);
            why = m_conn->StreamOpenError(m_bFailed, true);
        }
        error = "Capture device \"" + (m_device.empty() ? std::string("default") : m_device)
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

void PulseCaptureStream::Stop()
{
    if (!m_conn)
        return;
    m_bStopping = true;
    {
        PulseConnection::Lock lock(*m_conn);
        if (m_stream) {
            pa_stream_set_state_callback(m_stream, nullptr, nullptr);
            pa_stream_set_read_callback(m_stream, nullptr, nullptr);
            pa_stream_disconnect(m_stream);
            pa_stream_unref(m_stream);
            m_stream = nullptr;
        }
    }
    m_conn->Close();
    m_conn.reset();
    m_onBlock = nullptr;
    m_onDown = nullptr;
}

void PulseCaptureStream::OnState(pa_stream* s, void* self)
{
    auto* me = static_cast<PulseCaptureStream*>(self);
    switch (pa_stream_get_state(s)) {
    case PA_STREAM_READY:
        me->m_bReady = true;
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        me->m_bFailed = true;
        // A stream fails with its server too; say which went away.
        if (me->m_bReady)
            me->Down(PulseConnection::StreamDownReason(s, "The capture device went away"));
        break;
    default:
        return;
    }
    me->m_conn->Notify();
}

void PulseCaptureStream::OnRead(pa_stream* s, size_t, void* self)
{
    auto* me = static_cast<PulseCaptureStream*>(self);
    me->m_lastBlock = std::chrono::steady_clock::now();
    while (pa_stream_readable_size(s) > 0) {
        const void* data = nullptr;
        size_t bytes = 0;
        if (pa_stream_peek(s, &data, &bytes) < 0) {
            me->Down("The capture stream failed: " + me->m_conn->LastError());
            return;
        }
        if (bytes == 0)
            break;   // nothing buffered after all
        const size_t count = bytes / sizeof(float);
        me->m_block.resize(count);
        // No data with a length: the server dropped that much audio.
        if (data)
            std::memcpy(me->m_block.data(), data, count * sizeof(float));
        else
            std::fill(me->m_block.begin(), me->m_block.end(), 0.0f);
        pa_stream_drop(s);
        if (me->m_onBlock && count > 0 && !me->m_bDown)
            me->m_onBlock(me->m_block.data(), count);
    }
}

void PulseCaptureStream::Tick()
{
    if (!m_stream || !m_bReady || m_bDown)
        return;
    pa_usec_t latency = 0;
    int negative = 0;
    if (pa_stream_get_latency(m_stream, &latency, &negative) == 0)
        m_latencyUs = negative ? 0 : static_cast<int64_t>(latency);
    if (std::chrono::steady_clock::now() - m_lastBlock > kStall)
        Down("The sound server stopped sending audio");
}

void PulseCaptureStream::Down(const std::string& reason)
{
    if (m_bStopping || m_bDown.exchange(true))
        return;
    m_conn->Notify();
    if (m_onDown)
        m_onDown(reason);
}
