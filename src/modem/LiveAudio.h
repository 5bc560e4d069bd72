#pragma once
// Live audio for the sound-card modem: one capture stream from the radio's
// receiver and one playback stream to its transmitter, mono float samples
// (-1..1) at a rate the caller chooses (the server converts). A backend
// (PulseAudio in the program, a fake in tests) lists the devices and opens
// the streams; the rest of the modem sees only these interfaces.
//
// Threads: a stream runs its own thread from Start to Stop and calls the
// handlers there; handlers must return quickly and never wait for the
// window. Start, Stop and the destructor run on the owner's thread; Stop
// (and the destructor) stop and join the stream's thread and never hang,
// even when the server or the device has stopped answering. PlayedFrames,
// Latency and IsDown may be called from any thread.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct AudioDeviceInfo {
    std::string name;          // what Open takes and the settings store keep
    std::string description;   // what the operator is shown
};

// Called once, on the stream's thread, when the device goes away (a USB
// sound card unplugged) or the server dies; `reason` is for the operator.
using AudioDownHandler = std::function<void(const std::string& reason)>;

class CaptureStream {
public:
    // Called with each block of captured samples, in order, none dropped
    // while the handler keeps up.
    using BlockHandler = std::function<void(const float* samples, size_t count)>;

    virtual ~CaptureStream() = default;
    // False (with `error` for the operator) when the stream can't start.
    virtual bool Start(BlockHandler onBlock, AudioDownHandler onDown, std::string& error) = 0;
    virtual void Stop() = 0;
    // Capture latency: how old a sample is when its block is handed over.
    virtual std::chrono::microseconds Latency() const = 0;
    virtual bool IsDown() const = 0;
};

class PlaybackStream {
public:
    // Asked, on the stream's thread, for the next `count` samples to play;
    // it must fill all of them (silence when there is nothing to send).
    using FillHandler = std::function<void(float* out, size_t count)>;

    virtual ~PlaybackStream() = default;
    virtual bool Start(FillHandler onFill, AudioDownHandler onDown, std::string& error) = 0;
    virtual void Stop() = 0;
    // How many of the samples handed over by onFill since Start have been
    // played out of the device (not just buffered): the modem reports a
    // transmission drained, and so lets PTT drop, only when this covers its
    // last sample.
    virtual uint64_t PlayedFrames() const = 0;
    // Playback latency: from onFill to the sample leaving the device.
    virtual std::chrono::microseconds Latency() const = 0;
    virtual bool IsDown() const = 0;
};

class LiveAudioBackend {
public:
    virtual ~LiveAudioBackend() = default;
    // Capture devices (sources) and playback devices (sinks) present now.
    // Empty when the server can't be reached.
    virtual std::vector<AudioDeviceInfo> Sources() = 0;
    virtual std::vector<AudioDeviceInfo> Sinks() = 0;
    // An empty name is the server's default device. Streams are not yet
    // started; null (with `error`) when the backend can't make one.
    virtual std::unique_ptr<CaptureStream> OpenCapture(const std::string& device, double rate,
                                                       std::string& error) = 0;
    virtual std::unique_ptr<PlaybackStream> OpenPlayback(const std::string& device, double rate,
                                                         std::string& error) = 0;
};
