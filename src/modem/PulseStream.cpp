#include "modem/PulseStream.h"

#include <pulse/context.h>
#include <pulse/stream.h>

PulseStream::PulseStream(std::string server, std::string device, unsigned rate, Names names)
    : m_server(std::move(server))
    , m_device(std::move(device))
    , m_rate(rate)
    , m_names(names)
{
}

uint32_t PulseStream::Bytes(std::chrono::milliseconds t) const
{
    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, m_rate, 1};
    return static_cast<uint32_t>(pa_usec_to_bytes(static_cast<pa_usec_t>(t.count()) * 1000, &format));
}

bool PulseStream::Start(const Connector& connect, Detacher detach, std::function<void()> tick,
                        std::chrono::milliseconds tickPeriod, AudioDownHandler onDown, std::string& error)
{
    Stop(m_detach);
    m_onDown = std::move(onDown);
    m_detach = detach;
    m_latencyUs = 0;
    m_bReady = m_bFailed = m_bStopping = m_bDown = false;

    m_conn = std::make_unique<PulseConnection>(m_server);
    m_conn->SetLostHandler([this](const std::string& reason) { Down(reason); });
    if (!m_conn->Connect(kConnectTimeout, error)) {
        m_conn.reset();
        return false;
    }
    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, m_rate, 1};
    auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE
                                                | PA_STREAM_ADJUST_LATENCY);
    if (!m_device.empty())
        flags = static_cast<pa_stream_flags_t>(flags | PA_STREAM_DONT_MOVE);
    {
        PulseConnection::Lock lock(*m_conn);
        m_stream = pa_stream_new(m_conn->Context(), m_names.stream, &format, nullptr);
        if (m_stream) {
            pa_stream_set_state_callback(m_stream, &PulseStream::OnState, this);
            if (!connect(m_stream, m_device.empty() ? nullptr : m_device.c_str(), flags))
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
        error = std::string(m_names.device) + " device \"" + (m_device.empty() ? std::string("default") : m_device)
              + "\" could not be opened: " + why;
        Stop(m_detach);
        return false;
    }
    {
        PulseConnection::Lock lock(*m_conn);
        m_conn->StartTimer(tickPeriod, std::move(tick));
    }
    return true;
}

void PulseStream::Stop(Detacher detach)
{
    if (!m_conn)
        return;
    m_bStopping = true;
    {
        PulseConnection::Lock lock(*m_conn);
        if (m_stream) {
            pa_stream_set_state_callback(m_stream, nullptr, nullptr);
            if (detach)
                detach(m_stream);
            pa_stream_disconnect(m_stream);
            pa_stream_unref(m_stream);
            m_stream = nullptr;
        }
    }
    m_conn->Close();
    m_conn.reset();
    m_onDown = nullptr;
}

void PulseStream::OnState(pa_stream* s, void* self)
{
    auto* me = static_cast<PulseStream*>(self);
    switch (pa_stream_get_state(s)) {
    case PA_STREAM_READY:
        me->m_bReady = true;
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        me->m_bFailed = true;
        // A stream fails with its server too; say which went away.
        if (me->m_bReady)
            me->Down(PulseConnection::StreamDownReason(s, me->m_names.deviceWent));
        break;
    default:
        return;
    }
    me->m_conn->Notify();
}

void PulseStream::ReadLatency()
{
    pa_usec_t latency = 0;
    int negative = 0;
    if (pa_stream_get_latency(m_stream, &latency, &negative) == 0)
        m_latencyUs = negative ? 0 : static_cast<int64_t>(latency);
}

void PulseStream::Down(const std::string& reason)
{
    if (m_bStopping || m_bDown.exchange(true))
        return;
    m_conn->Notify();
    if (m_onDown)
        m_onDown(reason);
}
