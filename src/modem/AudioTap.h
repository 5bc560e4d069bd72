#pragma once
// Where the sound-card port device and the tuning display meet: the device
// hands over each block of capture audio and the tones it listens on; the
// display reads recent audio, the input level and clipping, and may ask the
// device to retune to a new mark frequency (a click on the waterfall). The
// device takes that request at its next capture block and reports the tones
// it then uses.
//
// Thread-safe: every member is guarded by m_mutex. The device's capture
// thread calls Push and TakeMarkRequest; the window reads the rest.
#include "link/ThreadSafety.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class AudioTap {
public:
    static constexpr size_t kKeepSamples = 16384;
    static constexpr float kClipLevel = 0.99f;

    // The device's side.
    void Open(double rate, double markTone, double spaceTone);
    void Close();
    void Push(const float* samples, size_t count);
    void SetTones(double markTone, double spaceTone);
    std::optional<double> TakeMarkRequest();

    // The display's side.
    bool IsActive() const;
    double Rate() const;
    double MarkTone() const;
    double SpaceTone() const;
    // The newest `count` samples (fewer when fewer have come), oldest first,
    // and how many samples have been pushed since Open in all.
    std::vector<float> Recent(size_t count, uint64_t* total = nullptr) const;
    // Peak level (0..1) since the last call, and whether any sample reached
    // kClipLevel since then; both reset by the call.
    float TakePeak(bool* clipped = nullptr);
    void RequestMark(double markHz);

private:
    mutable Mutex m_mutex;
    bool m_bActive GUARDED_BY(m_mutex) = false;
    double m_rate GUARDED_BY(m_mutex) = 0.0;
    double m_mark GUARDED_BY(m_mutex) = 0.0;
    double m_space GUARDED_BY(m_mutex) = 0.0;
    std::vector<float> m_ring GUARDED_BY(m_mutex) = std::vector<float>(kKeepSamples);
    uint64_t m_total GUARDED_BY(m_mutex) = 0;
    float m_peak GUARDED_BY(m_mutex) = 0.0f;
    bool m_bClipped GUARDED_BY(m_mutex) = false;
    std::optional<double> m_markRequest GUARDED_BY(m_mutex);
};

// The one tap of the program's RTTY sound-card port.
AudioTap& RttyAudioTap();
