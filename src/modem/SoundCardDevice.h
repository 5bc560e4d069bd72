#pragma once
// The sound-card modem on the air ("audio:card,..."): the program's
// live-audio backend (ProgramLiveAudio) gives a capture stream from the
// receiver and a playback stream to the transmitter, and a PTT line keys the
// radio. To the link it looks like a serial port with a terminal unit
// behind it, as the recording device does:
// - capture blocks go through the demodulator; decoded codes (unshift on
//   space applied) come out of Read. Every block also goes to the tuning tap
//   (RttyAudioTap), and a mark frequency asked for there is taken up at the
//   next block by demodulator and modulator alike;
// - written codes go to the modulator, whose samples the playback stream
//   takes (AudioTransmitter, live); "drained" only once the stream has
//   played the last sample of the last write, so PTT never cuts the last
//   character;
// - RTS is PTT: it drives the PttLine (raised before the transmitter makes a
//   sound, dropped as its sound fades out), and the transmitter plays only
//   while it is up. The link's keying rules give the 100 ms before the first
//   character (on the air: the link writes it sooner by the playback
//   latency, OutputLead) and after the last one has been played.
//
// A device that goes away (capture or playback device unplugged, sound server
// gone, PTT device gone) puts the port down: WaitEvents reports kDown, PTT is
// released at once, and Close still returns promptly. An open that fails
// says why in OpenErrorText: "No sound server", the capture or playback
// device's error, or the PTT device's.
//
// Threads: as PortDevice asks. The capture and playback streams call their
// handlers on their own threads; AudioPortDevice's m_mutex guards this
// class's members marked so (and the transmitter); the demodulator belongs
// to the capture thread alone. Streams and the PTT line are made in Open and
// released in Close on the owner's thread, while the link's threads are
// stopped.
#include "link/PttLine.h"
#include "modem/AudioDeviceValue.h"
#include "modem/AudioPortDevice.h"
#include "modem/LiveAudio.h"
#include "modem/RttyDemodulator.h"
#include "modem/UnshiftOnSpace.h"

#include <functional>
#include <memory>
#include <string>

class SoundCardDevice : public AudioPortDevice {
public:
    using PttFactory = std::function<std::unique_ptr<PttLine>(const AudioDeviceValue&)>;

    // `value` is the device value (with or without "audio:"); `usos` the
    // stored unshift-on-space setting, which the value's own usos= overrides.
    // `pttFor` makes the PTT line (PttLineFor unless a test stands in).
    SoundCardDevice(std::string value, bool usos, PttFactory pttFor = {});
    ~SoundCardDevice() override;

    bool Open(const LineSettings& settings) override;
    int OpenError() const override { return m_nOpenError; }
    std::string OpenErrorText() const override { return m_strOpenError; }
    void Close() override;
    size_t Write(const uint8_t* data, size_t len, uint32_t timeoutMs) override;
    void SetRts(bool on) override;
    // SetRts that waits for the PTT line's confirmation (CAT PTT): the
    // transmitter plays only once the radio is keyed. A line that fails, or a
    // device that goes down meanwhile, leaves PTT released and says why in
    // PttFailureText.
    bool KeyPtt(bool on) override;
    std::string PttFailureText() const override;
    // The playback stream's latency.
    std::chrono::microseconds OutputLead() const override;
    std::string DownReason() const override;

    // Both streams run at this rate; the server converts.
    static constexpr double kRate = 48000.0;
    static constexpr const char* kNoServer = "No sound server";

private:
    bool Fail(int error, std::string text);
    void OnCapture(const float* samples, size_t count);
    void OnFill(float* out, size_t count);
    void OnDown(const std::string& reason);

    const std::string m_value;
    const bool m_usosSetting;
    const PttFactory m_pttFor;
    // Owner's thread (Open/Close).
    int m_nOpenError = 0;
    std::string m_strOpenError;
    std::unique_ptr<PttLine> m_ptt;
    std::unique_ptr<CaptureStream> m_capture;
    std::unique_ptr<PlaybackStream> m_playback;
    std::string m_pttName;
    bool m_bTapOpen = false;
    // Orders PTT changes (SetRts, a device going down, Close): taken before
    // m_mutex, never while holding it.
    Mutex m_keyMutex ACQUIRED_BEFORE(m_mutex);
    // Capture thread only, set in Open before the stream starts.
    RttyParams m_rxParams;
    std::unique_ptr<RttyDemodulator> m_demod;
    UnshiftOnSpace m_rxUsos;
    std::string m_downReason GUARDED_BY(m_mutex);
    std::string m_pttFailure GUARDED_BY(m_mutex);   // why the latest KeyPtt failed
};
