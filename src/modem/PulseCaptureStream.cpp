#include "modem/PulseCaptureStream.h"

#include <pulse/stream.h>

#include <algorithm>
#include <cstring>

PulseCaptureStream::PulseCaptureStream(std::string server, std::string device, unsigned rate)
    : m_pulse(std::move(server), std::move(device), rate,
              {"VELTRAN receive", "Capture", "The capture device went away"})
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
    m_lastBlock = std::chrono::steady_clock::now();
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = attr.prebuf = attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = m_pulse.Bytes(kFragment);
    const auto connect = [this, &attr](pa_stream* s, const char* device, pa_stream_flags_t flags) {
        pa_stream_set_read_callback(s, &PulseCaptureStream::OnRead, this);
        return pa_stream_connect_record(s, device, &attr, flags) >= 0;
    };
    if (m_pulse.Start(connect, &Detach, [this] { Tick(); }, kTick, std::move(onDown), error))
        return true;
    m_onBlock = nullptr;
    return false;
}

void PulseCaptureStream::Stop()
{
    m_pulse.Stop(&Detach);
    m_onBlock = nullptr;
}

void PulseCaptureStream::Detach(pa_stream* s)
{
    pa_stream_set_read_callback(s, nullptr, nullptr);
}

void PulseCaptureStream::OnRead(pa_stream* s, size_t, void* self)
{
    auto* me = static_cast<PulseCaptureStream*>(self);
    me->m_lastBlock = std::chrono::steady_clock::now();
    while (pa_stream_readable_size(s) > 0) {
        const void* data = nullptr;
        size_t bytes = 0;
        if (pa_stream_peek(s, &data, &bytes) < 0) {
            me->m_pulse.Down("The capture stream failed: " + me->m_pulse.LastError());
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
        if (me->m_onBlock && count > 0 && !me->m_pulse.IsDown())
            me->m_onBlock(me->m_block.data(), count);
    }
}

void PulseCaptureStream::Tick()
{
    if (!m_pulse.Running())
        return;
    m_pulse.ReadLatency();
    if (std::chrono::steady_clock::now() - m_lastBlock > kStall)
        m_pulse.Down("The sound server stopped sending audio");
}
