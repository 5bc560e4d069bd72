#pragma once
// The rig through Hamlib: a radio model on its serial port, or a running
// rigctld at host:port (model 2, Hamlib's network client), or a CM108 sound
// adapter's GPIO used only as a PTT line (the dummy model with its PTT on the
// adapter's hidraw device).
//
// One thread of its own does every Hamlib call for this rig, in this order:
// open, then the latest PTT request before anything else, then a poll of
// frequency and mode each interval. The poll is one call at a time (the
// frequency, then the mode), and a PTT request asked for meanwhile goes
// between them, so it waits for at most the one call in progress. Every call
// is bounded by the timeout; a rig that fails one is shown down (with
// Hamlib's reason), closed, and opened again at the next interval, so it
// comes back when it answers again, and then carries out the PTT state
// wanted (released, unless the link keys it again).
// Closing: the thread releases PTT if it was ever asked for, closes the rig
// and is joined; the destructor waits at most for one bounded Hamlib call.
#include "link/Rig.h"
#include "link/ThreadSafety.h"

#include <chrono>
#include <cstdint>
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
    // Confirmed by rig_set_ptt's success: Hamlib's CAT backends return only
    // once the radio has acknowledged the command. The caller waits at most
    // PttConfirmLimit(); a rig already shown down fails at once.
    bool SetPttConfirmed(bool on, std::string& failure) override;
    // The longest SetPttConfirmed waits: the one call that may be in progress
    // (at most the timeout), the PTT call itself (at most the timeout), and
    // kPttScheduling for the rig's thread to wake and report.
    std::chrono::milliseconds PttConfirmLimit() const { return 2 * m_config.timeout + kPttScheduling; }
    static constexpr std::chrono::milliseconds kPttScheduling{100};
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
    // Records a request for the rig's thread; returns its number.
    uint64_t AskPtt(bool on) REQUIRES(m_mutex);
    // Carries out the latest PTT request (with the lock let go for the
    // Hamlib call) and reports the outcome to its waiter; returns Hamlib's
    // code. A request for on that fails is withdrawn.
    int ServePtt(Session& s) REQUIRES(m_mutex);
    // After a fault: a request not carried out yet fails with the rig's
    // reason (and is withdrawn when it was for on); it stays pending for
    // when the rig answers again.
    void FailWaitingPtt() REQUIRES(m_mutex);
    // "port: Hamlib's reason", for the operator.
    std::string FaultText(int code) const;

    // What the rig's thread made of a PTT request.
    struct PttOutcome {
        uint64_t request = 0;   // its number (AskPtt); 0: none carried out yet
        bool on = false;
        bool ok = false;
        std::string reason;     // when not ok
    };

    const HamlibRigConfig m_config;

    mutable Mutex m_mutex;
    CondVar m_wake;                // the rig's thread waits on it
    mutable CondVar m_tried;       // WaitFirstOpen waits on it
    CondVar m_pttServed;           // SetPttConfirmed waits on it for m_pttDone
    bool m_bTried GUARDED_BY(m_mutex) = false;      // the first open has been tried
    RigReading m_reading GUARDED_BY(m_mutex);
    bool m_pttWanted GUARDED_BY(m_mutex) = false;   // the latest request
    bool m_pttPending GUARDED_BY(m_mutex) = false;  // a request not carried out yet
    bool m_pttUsed GUARDED_BY(m_mutex) = false;     // PTT was asked for at least once
    uint64_t m_pttAsked GUARDED_BY(m_mutex) = 0;    // the number of the latest request
    PttOutcome m_pttDone GUARDED_BY(m_mutex);       // the latest request carried out
    bool m_stop GUARDED_BY(m_mutex) = false;
    std::thread m_thread;          // started last, joined in the destructor
};
