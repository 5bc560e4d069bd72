#pragma once
// The simulated band heard through the sound-card modem
// ("audio:band?snr=10&fading=good&seed=7"): the band's transmissions are
// coded for the line by the simulated band's peer, modulated, passed through
// the channel simulator (white noise at the chosen SNR in 3 kHz, a fading
// preset) and decoded by the modem's own demodulator, so what comes out of
// Read is what the real decoder made of the signal. The operator's written
// codes go to the band, and to the transmitter (AudioTransmitter) for the
// drained report; RTS is PTT, and dropping it ends the operator's
// transmission for the band.
//
// Options after "?", joined by "&": snr=<dB> (20), fading=<preset name>
// (none: a steady path; see FadingPreset), and every option of "sim:band"
// (seed, errors, first, cq, answer, pileup). The line settings choose the
// speed and data bits as for "audio:file=".
//
// Each transmission of the band goes through the channel as one signal, with
// a short steady mark before and after it; between transmissions the
// receiver hears silence. The audio plays in real time in blocks on a worker
// thread owned by the device (started by Open, stopped and joined by Close).
//
// Thread-safe as PortDevice asks. AudioPortDevice's m_mutex guards this class's
// members too; the worker holds it only to ask the band for its text and to hand
// over decoded codes.
#include "link/SimOptions.h"
#include "link/SimulatedBandPeer.h"
#include "modem/AudioPortDevice.h"
#include "modem/ChannelSimulator.h"

#include <chrono>
#include <deque>
#include <string>
#include <string_view>
#include <thread>

class AudioBandDevice : public AudioPortDevice {
public:
    // `value` is the device value, with or without "audio:".
    explicit AudioBandDevice(std::string_view value);
    ~AudioBandDevice() override;

    // "audio:band" with or without options.
    static bool IsBandValue(std::string_view value);

    bool Open(const LineSettings& settings) override;
    void Close() override;
    size_t Write(const uint8_t* data, size_t len, uint32_t timeoutMs) override;
    void SetRts(bool on) override;

    static constexpr double kBlockSeconds = 0.02;
    // Steady mark around each transmission, for the receiver to settle.
    static constexpr double kLeadSeconds = 0.3;
    static constexpr double kTailSeconds = 0.2;

private:
    void Play(RttyParams params, ChannelSettings channel);

    const SimOptions m_options;
    SimulatedBandPeer m_band GUARDED_BY(m_mutex);
    std::thread m_worker;   // started in Open, joined in Close (owner's thread)
};
