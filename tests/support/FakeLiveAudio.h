#pragma once
// A live-audio backend for tests: no sound server, devices from lists the
// test sets, capture audio the test feeds, playback audio recorded with the
// time each sample left the "device", and a device that goes away on demand.
//
// Capture: Feed queues samples for every capture stream that is started; the
// stream's own thread hands them to its block handler in blocks of
// Options::blockFrames, as fast as the handler takes them, or, with
// realTimeCapture, one block per block time (silence when nothing is queued),
// as a sound card does.
// Playback: with realTimePlayback (the default) the stream's thread asks its
// fill handler for one block per block time and counts a sample as played
// playbackLatency after it was handed over; otherwise it fills only when the
// test calls Pull, and PlayedFrames is what the test set with SetPlayedFrames.
// GoDown calls the stream's down handler on its own thread, as an unplugged
// card does; the stream then calls no handler again.
//
// Thread-safe: every member may be called from any thread. State shared with
// the streams lives in one State guarded by its mutex; streams hold it by
// shared_ptr, so a stream may outlive the backend.
#include "modem/LiveAudio.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class FakeLiveAudio : public LiveAudioBackend {
public:
    using Clock = std::chrono::steady_clock;

    struct Options {
        size_t blockFrames = 480;   // 10 ms at 48 kHz
        std::chrono::microseconds playbackLatency{30000};
        std::chrono::microseconds captureLatency{20000};
        bool realTimePlayback = true;
        bool realTimeCapture = false;
    };
    enum class Direction { Capture, Playback };

    FakeLiveAudio();
    explicit FakeLiveAudio(Options options);
    ~FakeLiveAudio() override;

    // The devices present. Opening a name missing from the list (not empty:
    // the default) fails with "No such device: <name>"; so does any open
    // while the list is empty.
    void SetSources(std::vector<AudioDeviceInfo> devices);
    void SetSinks(std::vector<AudioDeviceInfo> devices);
    // The next Start of that direction fails with `error`.
    void FailNextStart(Direction direction, std::string error);

    // Capture side.
    void Feed(const std::vector<float>& samples);
    // Every fed sample has been handed to a block handler (false on time-out
    // or when no capture stream runs).
    bool WaitFedConsumed(std::chrono::milliseconds limit) const;

    // Playback side (manual mode): fills `count` samples on the stream's
    // thread and returns them (empty when no playback stream runs).
    std::vector<float> Pull(size_t count);
    void SetPlayedFrames(uint64_t frames);

    // Every sample handed out by playback fill handlers since the latest
    // playback Start, and when sample `frame` of them left the device
    // (nullopt: not handed out yet).
    std::vector<float> Played() const;
    std::optional<Clock::time_point> PlayedAt(uint64_t frame) const;
    // Blocks until `done(Played())` holds or `limit` passes.
    bool WaitPlayed(const std::function<bool(const std::vector<float>&)>& done,
                    std::chrono::milliseconds limit) const;

    // The running stream of that direction goes away with `reason`.
    void GoDown(Direction direction, std::string reason);
    // Streams of that direction started and not yet stopped.
    int Running(Direction direction) const;
    // The rate the latest stream of that direction was opened with.
    double Rate(Direction direction) const;

    std::vector<AudioDeviceInfo> Sources() override;
    std::vector<AudioDeviceInfo> Sinks() override;
    std::unique_ptr<CaptureStream> OpenCapture(const std::string& device, double rate,
                                               std::string& error) override;
    std::unique_ptr<PlaybackStream> OpenPlayback(const std::string& device, double rate,
                                                 std::string& error) override;

    struct State;

private:
    std::shared_ptr<State> m_state;
};
