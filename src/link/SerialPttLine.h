#pragma once
// PTT on RTS or DTR of a serial device of its own (the usual USB interface
// beside a sound card), driven through a PortDevice: a PosixSerialPort on
// the device's path, or the simulated modem in tests and the demo.
//
// Open opens the device with PTT keying (the real port drops RTS and DTR as
// its very first step and sets HUPCL, so the kernel drops them when the
// device closes however the program ends; a fatal signal drops them at once),
// then lowers both lines itself: an interface may key on either. From then the
// line is low until Set(true). A watcher thread waits on the device's events
// (input is read and thrown away) and marks the line down when the device
// goes away (an unplugged adapter hangs up); a failed line change does too.
//
// Threads: Open and Close on the owner's thread; Set, IsKeyed and IsDown
// from any thread. m_mutex guards m_bOpen and m_bKeyed and orders line
// changes; the watcher (started by Open, joined by Close) only touches the
// device's waiting side and m_bDown.
#include "link/PortDevice.h"
#include "link/PttLine.h"
#include "link/ThreadSafety.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

class SerialPttLine : public PttLine {
public:
    enum class Line { Rts, Dtr };

    // `device` is not yet open; `name` (its path) is what the operator is
    // told about it.
    SerialPttLine(std::unique_ptr<PortDevice> device, Line line, std::string name);
    ~SerialPttLine() override;
    SerialPttLine(const SerialPttLine&) = delete;
    SerialPttLine& operator=(const SerialPttLine&) = delete;

    // On failure `error` reads "PTT device <name>: <the system's reason>".
    bool Open(std::string& error) override;
    void Close() override;
    void Set(bool keyed) override;
    bool IsKeyed() const override;
    bool IsDown() const override;

    const std::string& Name() const { return m_name; }

private:
    void Watch();
    void SetLine(bool on) REQUIRES(m_mutex);

    const std::unique_ptr<PortDevice> m_device;
    const Line m_line;
    const std::string m_name;
    mutable Mutex m_mutex;
    bool m_bOpen GUARDED_BY(m_mutex) = false;
    bool m_bKeyed GUARDED_BY(m_mutex) = false;
    std::atomic<bool> m_bDown{false};
    std::thread m_watcher;
};
