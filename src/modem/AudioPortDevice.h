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
#include "link/PortWaitState.h"
#include "link/ThreadSafety.h"
#include "modem/AudioTransmitter.h"

#include <chrono>
#include <deque>

class AudioPortDevice : public PortDevice {
public:
    using Clock = std::chrono::steady_clock;

    PortEvents WaitEvents() override;
    size_t Read(uint8_t* buffer, size_t max) override;
    void SetDtr(bool on) override;
    void Purge() override;
    void PurgeOutput() override;
    void Wake() override;
    void Cancel() override;
    bool IsDown() const override;
    // The teleprinter line the modem runs: the exact speed ("45" is 45.45
    // baud) and the stop bits it sends, so the link reckons its line times
    // from what is on the air.
    LineSettings ActualLine(const LineSettings& asked) const override;

    bool Ptt() const;

protected:
    // Under m_mutex: the state a fresh open starts from.
    void ResetForOpen(const RttyParams& params, Clock::time_point now) REQUIRES(m_mutex);

    mutable Mutex m_mutex;
    mutable CondVar m_changed;
    // Wake and cancel of WaitEvents, on the steady clock.
    PortWaitState m_wait GUARDED_BY(m_mutex){m_changed};
    bool m_bOpen GUARDED_BY(m_mutex) = false;
    bool m_bStop GUARDED_BY(m_mutex) = false;      // tells the device's worker to leave
    bool m_bPtt GUARDED_BY(m_mutex) = false;
    bool m_bDown GUARDED_BY(m_mutex) = false;      // the device went away while open (WaitEvents: kDown)
    std::deque<uint8_t> m_rx GUARDED_BY(m_mutex);
    RttyParams m_lineParams GUARDED_BY(m_mutex);   // what the latest open runs
    AudioTransmitter m_tx GUARDED_BY(m_mutex);
};
