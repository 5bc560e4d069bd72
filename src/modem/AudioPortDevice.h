#pragma once
// What the sound-card modem's port devices share: the decoded codes waiting
// for Read, the transmitter whose drained report the link waits for, PTT on
// RTS, and the wake/cancel/close rules of WaitEvents. A device adds where its
// audio comes from (Open, Close, its worker) and what a write or an RTS
// change means beyond the transmitter (Write, SetRts).
//
// Thread-safe as PortDevice asks. m_mutex guards every member below it and
// those the devices add; m_changed is signalled whenever one of them changes.
#include "link/PortDevice.h"
#include "modem/AudioTransmitter.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

class AudioPortDevice : public PortDevice {
public:
    using Clock = std::chrono::steady_clock;

    PortEvents WaitEvents() override;
    size_t Read(uint8_t* buffer, size_t max) override;
    void SetDtr(bool on) override;
    void Purge() override;
    void Wake() override;
    void Cancel() override;
    bool IsDown() const override;

    bool Ptt() const;

protected:
    // Under m_mutex: the state a fresh open starts from.
    void ResetForOpen(const RttyParams& params, Clock::time_point now);

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_bOpen = false;
    bool m_bCancelled = false;
    bool m_bWoken = false;
    bool m_bStop = false;      // tells the device's worker to leave
    bool m_bPtt = false;
    bool m_bDown = false;      // the device went away while open (WaitEvents: kDown)
    std::deque<uint8_t> m_rx;
    AudioTransmitter m_tx;
};
