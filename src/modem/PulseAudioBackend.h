#pragma once
// The program's live audio through the PulseAudio sound server (PipeWire
// desktops serve the same protocol through pipewire-pulse). Each stream
// opens its own connection and thread; the device lists come from a short
// connection of their own, so listing never waits for a stream.
//
// Threads: Sources, Sinks and the Open calls may run on any thread, each
// waiting at most kListTimeout (or the stream's connect timeout).
#include "modem/LiveAudio.h"

#include <chrono>
#include <string>

class PulseAudioBackend : public LiveAudioBackend {
public:
    // `server`: the server's address (tests point this at a private server);
    // empty for the usual lookup (PULSE_SERVER, the client configuration,
    // the desktop's server).
    explicit PulseAudioBackend(std::string server = {});

    // Monitor sources (what a sink plays) are listed too: they let a
    // transmission be heard back, or another program's audio be decoded.
    std::vector<AudioDeviceInfo> Sources() override;
    std::vector<AudioDeviceInfo> Sinks() override;
    std::unique_ptr<CaptureStream> OpenCapture(const std::string& device, double rate, std::string& error) override;
    std::unique_ptr<PlaybackStream> OpenPlayback(const std::string& device, double rate, std::string& error) override;

    static constexpr std::chrono::milliseconds kListTimeout{2000};

private:
    std::vector<AudioDeviceInfo> List(bool sources);

    const std::string m_server;
};
