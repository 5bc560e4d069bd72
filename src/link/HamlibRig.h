#pragma once
// The rig through Hamlib: a radio model on its serial port, or a running
// rigctld at host:port (model 2, Hamlib's network client), or a CM108 sound
// adapter's GPIO used only as a PTT line (the dummy model with its PTT on the
// adapter's hidraw device).
//
// One thread of its own does every Hamlib call for this rig, in this order:
// open, then the latest PTT request before anything else, then a poll of
// frequency and mode each interval. Every call is bounded by the timeout; a
// rig that fails one is shown down (with Hamlib's reason), closed, and opened
// again at the next interval, so it comes back when it answers again.
// Closing: the thread releases PTT if it was ever asked for, closes the rig
// and is joined; the destructor waits at most for one bounded Hamlib call.
#include "link/Rig.h"
#include "link/ThreadSafety.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>

struct HamlibRigConfig {
    static constexpr int kNetRigctl = 2;   // Hamlib's model for a rigctld daemon
    static constexpr int kDummy = 1;       // Hamlib's dummy rig (for a PTT-only CM108)
    int model = 0;
    std::string port;        // the rig's serial device, or host:port for kNetRigctl
    int serialBaud = 0;      // 0: the model's default
    bool cm108Ptt = false;   // PTT on a CM108 GPIO of `pttDevice` instead of CAT
    std::string pttDevice;   // the CM108 adapter's /dev/hidrawN
    bool poll = true;        // read frequency and mode each interval
    std::chrono::milliseconds pollInterval{1000};
    std::chrono::milliseconds timeout{500};   // per Hamlib call; no retries

    bool operator==(const HamlibRigConfig&) const = default;
};

class HamlibRig : public Rig {
public:
    // Starts the rig's thread, which opens the rig at once. The first reading
    // is "down" with reason "Connecting" until the rig has answered.
    explicit HamlibRig(HamlibRigConfig config);
    ~HamlibRig() override;
    HamlibRig(const HamlibRig&) = delete;
    HamlibRig& operator=(const HamlibRig&) = delete;

    RigReading Reading() const override;
    void SetPtt(bool on) override;
    const HamlibRigConfig& Config() const { return m_config; }
    // Waits (at most `limit`) until the first open has been tried; false when
    // it failed or has not finished. Any thread.
    bool WaitFirstOpen(std::chrono::milliseconds limit) const;

private:
    struct Session;   // the Hamlib handle; rig thread only
    void Run();
    // After a failed call: closes the rig (with the lock let go, as every
    // Hamlib call is) and shows it down with Hamlib's reason.
    void CloseAfterFault(Session& s, int code) REQUIRES(m_mutex);

    const HamlibRigConfig m_config;

    mutable Mutex m_mutex;
    CondVar m_wake;                // the rig's thread waits on it
    mutable CondVar m_tried;       // WaitFirstOpen waits on it
    bool m_bTried GUARDED_BY(m_mutex) = false;      // the first open has been tried
    RigReading m_reading GUARDED_BY(m_mutex);
    bool m_pttWanted GUARDED_BY(m_mutex) = false;   // the latest request
    bool m_pttPending GUARDED_BY(m_mutex) = false;  // a request not carried out yet
    bool m_pttUsed GUARDED_BY(m_mutex) = false;     // PTT was asked for at least once
    bool m_stop GUARDED_BY(m_mutex) = false;
    std::thread m_thread;          // started last, joined in the destructor
};
