#pragma once
// A serial device on Linux (or a pseudo-terminal standing in for one).
//
// Opened non-blocking and exclusive (TIOCEXCL, and an flock that even a
// root-owned second opener respects), raw, at any baud (termios2). Only a
// terminal device opens: a plain file or directory is refused with ENOTTY.
// Waiting is poll() on the device plus two eventfds: one a wake-up that
// WaitEvents consumes, one a cancel mark that stays set until Close, so a
// closing link never waits on the device. "Output drained" is reported only
// when the driver's output queue is empty (TIOCOUTQ, and the UART's shift
// register where TIOCSERGETLSR answers) AND the line time of
// every byte written has passed: adapters and pseudo-terminals claim to be
// drained long before the characters are on the air.
//
// Linux raises RTS and DTR inside open() itself; with PTT keying the port
// drops both again as its very first step, so the radio sees at most that
// unavoidable moment, and sets HUPCL, so the kernel drops both when the
// device closes however the process ends (crash, kill -9). While open under
// PTT keying the descriptor is registered with CrashLineRelease.
//
// A device that vanishes (EIO, ENXIO, ENODEV, hang-up) marks the port down
// once; from then on every call returns at once without touching it.
#include "link/PortDevice.h"
#include "link/Termios2.h"
#include "link/ThreadSafety.h"

#include <atomic>
#include <chrono>
#include <string>

class PosixSerialPort : public PortDevice {
public:
    explicit PosixSerialPort(std::string path);
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    bool Open(const LineSettings& settings) override;
    int OpenError() const override { return m_nOpenError; }
    void Close() override;
    PortEvents WaitEvents() override;
    size_t Read(uint8_t* buffer, size_t max) override;
    size_t Write(const uint8_t* data, size_t len, uint32_t timeoutMs) override;
    void SetRts(bool on) override;
    void SetDtr(bool on) override;
    void Purge() override;
    void PurgeOutput() override;
    void Wake() override;
    void Cancel() override;
    bool IsDown() const override { return m_bDown.load(); }

    const std::string& Path() const { return m_path; }

private:
    using Clock = std::chrono::steady_clock;

    void SetModemLine(int bit, bool on);
    // Closes what Open made and records why it failed; returns false.
    bool Fail(int error);
    void MarkDown();
    bool IsVanishedError(int err) const;
    // Under m_drainMutex: true when the last pending drain is complete; else
    // how long to wait before looking again (zero: nothing pending).
    bool CheckDrained(std::chrono::microseconds& recheck) REQUIRES(m_drainMutex);

    const std::string m_path;
    // Set in Open and cleared in Close, on the owner's thread while no other
    // thread uses the port; read by all callers in between.
    int m_fd = -1;
    int m_wakeFd = -1;
    int m_cancelFd = -1;
    std::chrono::microseconds m_charTime{0};
    int m_nOpenError = 0;  // owner's thread, like m_fd
    bool m_bCrashGuarded = false;  // owner's thread, like m_fd: m_fd is in CrashLineRelease's table
    termios2io::AppliedRate m_rate;  // owner's thread, like m_fd: undone at Close

    std::atomic<bool> m_bDown{false};
    std::atomic<bool> m_bCancelled{false};

    // Guards the drain tracking below (writer: Write; reader: WaitEvents; Purge).
    Mutex m_drainMutex;
    bool m_bDrainPending GUARDED_BY(m_drainMutex) = false;  // output written, its drain not yet reported
    Clock::time_point m_busyUntil GUARDED_BY(m_drainMutex){};  // when the last byte written leaves the line
    uint64_t m_nWrites GUARDED_BY(m_drainMutex) = 0;        // Write calls since Open
};
