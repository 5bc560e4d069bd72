#pragma once
// PTT on a GPIO of a CM108 (or compatible) USB sound adapter, through
// Hamlib's dummy rig with its PTT on the adapter's hidraw device, on the
// rig's own thread: Set never waits for the adapter.
//
// Open waits (briefly: a local device) for the adapter to open, so a missing
// or forbidden /dev/hidrawN is refused with its reason. A line whose adapter
// fails later (unplugged) reports IsDown.
//
// While open, the line also holds a descriptor of its own on the adapter,
// registered with CrashLineRelease, so that a fatal signal still sets the
// GPIO low. After kill -9 nothing can: the GPIO stays as it was.
#include "link/PttLine.h"
#include "link/ThreadSafety.h"

#include <atomic>
#include <memory>
#include <string>

class HamlibRig;

class Cm108PttLine : public PttLine {
public:
    explicit Cm108PttLine(std::string hidraw);
    ~Cm108PttLine() override;

    bool Open(std::string& error) override;
    void Close() override;
    void Set(bool keyed) override;
    bool IsKeyed() const override { return m_keyed.load(); }
    bool IsDown() const override;

private:
    const std::string m_hidraw;
    mutable Mutex m_mutex;
    std::unique_ptr<HamlibRig> m_rig GUARDED_BY(m_mutex);   // made by Open, dropped by Close
    std::atomic<bool> m_keyed{false};
    int m_crashFd GUARDED_BY(m_mutex) = -1;   // for CrashLineRelease only; -1 when none
};
