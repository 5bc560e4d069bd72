#pragma once
// The sound-card modem as a port device, playing a recording into its
// receiver ("audio:file=<path>"), so the whole program can be tried on a
// recording. To the link it looks like a serial port with a terminal unit
// behind it: decoded Baudot codes (or ASCII bytes for 7/8 data bits) come
// out of Read; written codes go to the transmitter (AudioTransmitter), and
// "drained" is reported when the last of their samples has been played; RTS
// is PTT. The line settings choose the speed (45 = 45.45 baud, 57 = 56.88,
// 74 = 74.2) and the data bits; tones, reverse, stop bits, AFC and unshift
// on space come from the device value.
//
// The recording plays once, at its own speed, on a worker thread owned by
// the device (started by Open, stopped and joined by Close).
//
// Thread-safe as PortDevice asks. AudioPortDevice's m_mutex guards this class's
// members too; the worker holds it only to hand over decoded codes.
#include "modem/AudioDeviceValue.h"
#include "modem/AudioPortDevice.h"
#include "modem/UnshiftOnSpace.h"

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <thread>

class AudioFileDevice : public AudioPortDevice {
public:
    // `value` is the device value (with or without "audio:"); `usos` the
    // stored unshift-on-space setting, which the value's own usos= overrides.
    AudioFileDevice(std::string value, bool usos);
    ~AudioFileDevice() override;

    bool Open(const LineSettings& settings) override;
    void Close() override;
    size_t Write(const uint8_t* data, size_t len, uint32_t timeoutMs) override;
    void SetRts(bool on) override;

    // The recording has been played to its end (tests wait for this).
    bool WaitPlayed(std::chrono::milliseconds limit) const;

    // The recording is played in blocks of this length.
    static constexpr double kBlockSeconds = 0.02;

private:
    void Play(std::string path, RttyParams params);

    const std::string m_value;
    const bool m_usosSetting;
    bool m_bPlayed GUARDED_BY(m_mutex) = false;
    UnshiftOnSpace m_rxUsos GUARDED_BY(m_mutex);
    std::thread m_worker;      // started in Open, joined in Close (owner's thread)
};
