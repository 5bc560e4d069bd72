#include "modem/CaptureLevelProbe.h"

CaptureLevelProbe::~CaptureLevelProbe()
{
    Stop();
}

bool CaptureLevelProbe::Start(LiveAudioBackend* backend, const std::string& device, std::string& error)
{
    Stop();
    if (!backend) {
        error = "No sound server";
        return false;
    }
    std::unique_ptr<CaptureStream> stream = backend->OpenCapture(device, kRate, error);
    if (!stream)
        return false;
    {
        MutexLock lock(m_mutex);
        m_downReason.clear();
    }
    m_tap.Open(kRate, 0.0, 0.0);
    const bool started = stream->Start([this](const float* samples, size_t count) { m_tap.Push(samples, count); },
                                       [this](const std::string& reason) {
                                           MutexLock lock(m_mutex);
                                           m_downReason = reason.empty() ? "The capture device went away" : reason;
                                       },
                                       error);
    if (!started) {
        m_tap.Close();
        return false;
    }
    m_stream = std::move(stream);
    m_device = device;
    return true;
}

void CaptureLevelProbe::Stop()
{
    if (m_stream) {
        m_stream->Stop();  // joins the stream's thread: no handler runs after this
        m_stream.reset();
    }
    m_tap.Close();
    m_device.clear();
}

std::string CaptureLevelProbe::DownReason() const
{
    MutexLock lock(m_mutex);
    return m_downReason;
}
