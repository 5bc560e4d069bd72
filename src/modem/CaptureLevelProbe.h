#pragma once
// A capture stream opened only to measure the input level (the level meter
// of the sound-card settings, while the operator sets the receiver's audio):
// its samples go to a tap of its own, never to the modem.
//
// Threads: Start, Stop and the destructor on the owner's thread; the
// stream's thread pushes into m_tap and reports a device that went away;
// TakePeak and DownReason from the owner's thread.
#include "modem/AudioTap.h"
#include "modem/LiveAudio.h"

#include "link/ThreadSafety.h"

#include <memory>
#include <string>

class CaptureLevelProbe {
public:
    static constexpr double kRate = 8000.0;

    CaptureLevelProbe() = default;
    CaptureLevelProbe(const CaptureLevelProbe&) = delete;
    CaptureLevelProbe& operator=(const CaptureLevelProbe&) = delete;
    ~CaptureLevelProbe();

    // Stops any stream, then opens and starts one on `device` ("" is the
    // server's default). False, with `error` for the operator, when there is
    // no backend or the stream can't start.
    bool Start(LiveAudioBackend* backend, const std::string& device, std::string& error);
    void Stop();
    bool Running() const { return m_stream != nullptr; }
    const std::string& Device() const { return m_device; }

    // The peak level and clipping since the last call (AudioTap::TakePeak).
    float TakePeak(bool* clipped) { return m_tap.TakePeak(clipped); }
    // Why the device went away since Start; empty while it is there.
    std::string DownReason() const;

private:
    AudioTap m_tap;
    std::unique_ptr<CaptureStream> m_stream;
    std::string m_device;
    mutable Mutex m_mutex;
    std::string m_downReason GUARDED_BY(m_mutex);  // set on the stream's thread
};
