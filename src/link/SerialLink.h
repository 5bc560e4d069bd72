#pragma once
// The engine behind one serial port: a receive thread that waits for port
// events, reads, decodes Baudot for 5-bit data and appends to the receive
// string; a transmit thread that moves at most four queued bytes at a time to
// the port (five with a byte pushed in front), each write only after the port
// has reported its output drained, keys and unkeys the transmitter through RTS
// and sends idle fill while a transmission is active and nothing is queued.
//
// Owners set the line parameters and option flags directly and open/close the
// link from their own (user-interface) thread: close, change parameters, open.
//
// Threads and locks:
// - m_txMutex guards m_strTxQueue, m_strTxOut, m_nTxWakeGen and the write
//   accounting below it; the transmit thread sleeps on m_txWake until
//   m_nTxWakeGen changes (or, when only a line time is left to pass, until
//   then). Everything that can give it work bumps the
//   generation: QueueText, PushFront, ClearTransmit, an output-drained report,
//   closing, and Wake(). Owners who change m_bTxActive, m_bTxHold or m_bDiddle
//   directly call Wake() afterwards so the thread looks again.
// - m_rxMutex guards m_strReceived, the receive shift state of the codec
//   (m_bRxFigures) and m_bExtended while the link runs: DecodeCode runs under
//   it on the receive thread, and EchoThroughCodec / SetExtended /
//   InvertReceiveShift take it for the owner.
// - m_keyMutex guards the keying state below it. One key or unkey at a
//   time runs its steps (m_bKeyBusy; the others wait on m_keyChanged), with
//   its 100 ms waits on m_keyChanged so that a cut (StopSending,
//   ClearTransmit, closing) ends them at once and drops the line itself;
//   the transmit thread and the owner both key and unkey, so the RTS line
//   always ends where m_bKeyed says.
// - The 32-bit flags are atomics: the owner writes the options, the threads
//   the status. Lock order: m_keyMutex is never taken while m_txMutex or
//   m_rxMutex is held.
#include "link/BaudotCodec.h"
#include "link/LinkClock.h"
#include "link/PortDevice.h"
#include "link/ThreadSafety.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

class SerialLink : public BaudotCodec {
public:
    // The text InjectTestMessage appends.
    static constexpr const char* kTestText =
        "This is a test of the emergency broadcast system.\r\n"
        "In the event of a real emergency you would be dead!\r\n";
    // Idle fill and queued text leave in writes of at most this many bytes.
    static constexpr size_t kChunk = 4;
    // One read takes at most this many bytes.
    static constexpr size_t kReadMax = 1023;

    SerialLink();
    ~SerialLink() override;   // closes the link
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Line parameters; changed only while the link is closed.
    uint32_t m_nPort = 1;       // port number 1..16, mapped to a device by the opener
    uint32_t m_nBaud = 9600;    // 0 keeps the port from opening
    uint8_t m_nByteSize = 8;    // 5 selects Baudot coding both ways
    uint8_t m_nParity = 0;
    uint8_t m_nStopBits = 0;

    std::atomic<uint32_t> m_bRunning{0};    // both threads loop while set
    std::atomic<uint32_t> m_bDataReady{0};  // set after each append, cleared by TakeReceived
    std::atomic<uint32_t> m_bDiddle{0};     // idle fill while active with nothing queued
    std::atomic<uint32_t> m_bPttKeying{0};  // RTS keys the transmitter (set before opening)
    std::atomic<uint32_t> m_bTxActive{0};   // keep keyed, idle fill when dry; clear: empty queue unkeys
    std::atomic<uint32_t> m_bKeyed{0};      // the transmitter state as the link believes it
    std::atomic<uint32_t> m_bTxHold{0};     // the transmit thread does nothing at all
    std::atomic<uint32_t> m_bTxEmpty{1};    // the last write has drained: the next may go

    // Opens the port (through the device opener) and starts both threads, or
    // stops them and releases the port. Opening an open link does nothing,
    // unless its device has gone away (IsDown): then the link closes and opens
    // again. A port that can't be opened leaves the link closed, silently. The
    // transmit thread starts once the line has settled, as Connect returns.
    // Closing cuts off what is on the line, drops PTT and ends the
    // transmission (m_bTxActive clear); queued text stays. It never waits on
    // the device: not on a stalled write, not on a far end that never
    // reads. Owner's thread.
    void Connect(bool open);
    bool IsOpen() const { return m_bOpen.load(); }
    // Why the latest Connect(true) left the link closed, as an errno value
    // (EIO when the device gave no reason); 0 while open, after closing, and
    // before any open was tried. Lets the owner tell the operator the truth.
    int OpenError() const { return m_nOpenError.load(); }
    // The device's own words for that failure (PortDevice::OpenErrorText),
    // and, while the link is down, for why the device went away; empty when
    // it gave none. Owner's thread.
    const std::string& OpenErrorText() const { return m_strOpenError; }
    std::string DownReason() const;
    // The device vanished while open: both threads have stopped, nothing more
    // is sent or received until the owner closes and reopens the link.
    bool IsDown() const { return m_bDown.load(); }

    // Key/unkey through RTS when m_bPttKeying is set, holding the caller 100 ms
    // before and after the line change; m_bKeyed follows in every case. A
    // key the device cannot confirm (a rig that does not answer) leaves the
    // transmitter unkeyed and says why in KeyFailure. Any thread.
    void KeyTransmitter() EXCLUDES(m_keyMutex, m_txMutex, m_rxMutex);
    void UnkeyTransmitter() EXCLUDES(m_keyMutex, m_txMutex, m_rxMutex);
    // The operator's Receive: hold set, active cleared, and the transmitter
    // off the air. When the line is still sending, what the device holds is
    // purged and the line dropped at once (a key in progress is cut short);
    // the queue and out-buffer stay for the next Transmit. On a quiet line
    // the text is finished: the line falls 100 ms after its last stop bit.
    // Owner's thread.
    void StopSending() EXCLUDES(m_keyMutex, m_txMutex, m_rxMutex);
    // Why the transmitter could not be keyed, once: the link dropped what
    // was to be sent rather than send it unkeyed. Empty when nothing failed
    // since the last call. Any thread.
    std::string TakeKeyFailure() EXCLUDES(m_keyMutex);

    // Encodes (5-bit: Baudot codes with shifts, replacing `text`) and queues.
    // Nothing happens when no port is open. Owner's thread.
    void SendText(std::string& text);
    void SendChar(char c);
    void SendChar(const char* s);
    // Raw bytes already in line form, appended to the transmit queue. Any thread.
    void QueueText(std::string_view bytes);
    // One byte in front of the out-buffer, sent before anything else. Any thread.
    void PushFront(uint8_t byte);
    // The receive string, handed over and emptied. Any thread.
    std::string TakeReceived();
    // Empties queue and out-buffer, clears hold and active, and takes the
    // transmitter off the air as StopSending does (purging the device's output).
    void ClearTransmit();
    // In test mode appends the test text, undecoded, as if received.
    void InjectTestMessage(bool testMode);
    size_t TxQueueLength() const;
    size_t TxOutLength() const;

    // The one rule for the end of a transmission. The line is quiet when
    // nothing is queued, the out-buffer is empty, no write is in progress
    // (bytes taken from the out-buffer count from that moment, not from the
    // write call), the device's drained report covers the latest write, and
    // that write's line time, reckoned by the link from the line settings,
    // has passed. Whatever unkeys because the text is finished waits for it:
    // the transmit thread's own unkey on an empty queue, and the owner's
    // returns to receive after Send/Receive and a stop-transmit. A closed or
    // vanished link is quiet. Any thread; takes m_txMutex for a moment.
    bool IsLineQuiet() const;
    // How long, by the link's own reckoning from the line settings, the last
    // character written still needs to leave the line: 0 once it has (a write
    // in progress counts as at least 1 ms left). It does not wait for the
    // device's drained report, so a device that never reports one can be told
    // apart from a line still busy. Any thread.
    std::chrono::milliseconds LineTimeLeft() const;
    // Idle fill is on the air: a transmission is active with idle fill on,
    // the transmitter keyed and not held, nothing queued or in the
    // out-buffer, and the latest write was idle fill (not the end of the
    // text). Any thread.
    bool IsIdleFillOnAir() const;
    // Tells the transmit thread to look at the flags again (after changing
    // m_bTxActive, m_bTxHold or m_bDiddle directly). Any thread.
    void Wake();

    // Called after each append to the receive string (on the receive thread;
    // on the caller's thread for InjectTestMessage) and once when the device
    // vanishes. The owner must only post or notify from it.
    void SetDataReadyCallback(std::function<void()> callback);
    // The clock the link keeps its keying delays and line times on (the
    // steady clock unless a test gives another); set while the link is closed.
    void SetClock(LinkClock& clock);
    // Maps the port number to a device; without one no port opens.
    void SetDeviceOpener(std::function<std::unique_ptr<PortDevice>(int port)> opener);

    // Receive-side codec state, safe while the receive thread decodes.
    void SetExtended(bool on);
    void InvertReceiveShift();
    void SetReceiveShift(bool figures);
    // As BaudotCodec's, but excluded from the receive thread's decoding, which
    // shares the shift state the echo borrows for a moment.
    void EchoThroughCodec(std::string& text, int stream);

protected:
    uint8_t CodecByteSize() const override { return m_nByteSize; }

private:
    void ReceiveThread();
    void TransmitThread();
    // Starts a worker counted by the link's clock; false (not running) when it can't.
    bool StartThread(std::thread& thread, void (SerialLink::*body)());
    void JoinThread(std::thread& thread);
    void ReadAvailable();
    // One pass of the transmit rules; true when the next pass should follow
    // at once rather than wait for news.
    bool TxStep();
    // Writes bytes TxStep has taken (m_bTxWriting set); clears the mark.
    void WriteBytes(const std::string& bytes, bool fill);
    // Under m_txMutex: no write in progress, the latest drained and its line time past.
    bool LineIdleLocked(std::chrono::steady_clock::time_point now) const REQUIRES(m_txMutex);
    // Under m_txMutex: no write in progress and the latest drained.
    bool NothingOutstandingLocked() const REQUIRES(m_txMutex);
    // Throws away what the device still holds to send; the line is free.
    void PurgeLineOutput() EXCLUDES(m_txMutex);
    void OnDrained(uint64_t drainedWrites);
    // Keys for queued text or idle fill: refused while held or closing, so
    // a Receive that came between taking the bytes and keying wins. True
    // when the transmitter is keyed.
    bool KeyToSend() EXCLUDES(m_keyMutex, m_txMutex, m_rxMutex);
    bool Key(bool toSend) EXCLUDES(m_keyMutex, m_txMutex, m_rxMutex);
    // Unkeys with the line falling no earlier than `tailEnd` (without one,
    // 100 ms after the unkey begins). `onlyIfFinished`: not when a
    // transmission is active or text is waiting by the time it may start.
    void Unkey(std::optional<std::chrono::steady_clock::time_point> tailEnd, bool onlyIfFinished)
        EXCLUDES(m_keyMutex, m_txMutex, m_rxMutex);
    // Cuts a key or unkey in progress short and drops the line now.
    void CutKeying() EXCLUDES(m_keyMutex, m_txMutex, m_rxMutex);
    // Off the air for StopSending and ClearTransmit: cut when the line is
    // busy, the usual tail after the last stop bit when it is quiet.
    void EndTransmission() EXCLUDES(m_keyMutex, m_txMutex, m_rxMutex);
    void EndTransmissionNoWrites() EXCLUDES(m_keyMutex, m_txMutex, m_rxMutex);
    // A write may start only while keyed, not held, not closing and no key,
    // unkey or end of transmission is under way; EndWrite closes the gate.
    bool BeginWrite() EXCLUDES(m_keyMutex);
    void EndWrite() EXCLUDES(m_keyMutex);
    // Under m_keyMutex: waits until `deadline`; false when a cut came first.
    bool PauseUnlessCut(MutexLock& lock, std::chrono::steady_clock::time_point deadline, const uint64_t& counter,
                        uint64_t cut) REQUIRES(m_keyMutex);
    // Under m_keyMutex with m_bKeyBusy set: releases the PTT line if raised.
    void DropLineLocked(MutexLock& lock) REQUIRES(m_keyMutex);
    void WaitKeyIdleLocked(MutexLock& lock) REQUIRES(m_keyMutex);
    void MarkDown();
    void Notify();                 // bumps m_nTxWakeGen and wakes the transmit thread
    bool PortUsable() const;
    void DataReady();
    uint32_t WriteTimeoutMs(size_t len) const;

    // Set in Connect on the owner's thread while neither worker runs.
    std::unique_ptr<PortDevice> m_hPort;
    LinkClock* m_clock = &LinkClock::System();   // set while closed
    std::thread m_rxThread;
    std::thread m_txThread;
    std::function<std::unique_ptr<PortDevice>(int port)> m_opener;
    std::atomic<bool> m_bOpen{false};
    std::atomic<bool> m_bDown{false};
    std::atomic<int> m_nOpenError{0};
    std::string m_strOpenError;   // owner's thread, set in Connect

    // Also guards BaudotCodec's receive shift state (m_bRxFigures,
    // m_bExtended), which the base class declares without annotations.
    mutable Mutex m_rxMutex;
    std::string m_strReceived GUARDED_BY(m_rxMutex);
    std::shared_ptr<const std::function<void()>> m_onDataReady GUARDED_BY(m_rxMutex);

    mutable Mutex m_txMutex;
    CondVar m_txWake;
    std::string m_strTxQueue GUARDED_BY(m_txMutex);
    std::string m_strTxOut GUARDED_BY(m_txMutex);
    uint64_t m_nTxWakeGen GUARDED_BY(m_txMutex) = 0;
    uint64_t m_nClearGen GUARDED_BY(m_txMutex) = 0;   // bumped whenever the buffers are dropped
    uint64_t m_nWritesStarted GUARDED_BY(m_txMutex) = 0;
    uint64_t m_nWritesDrained GUARDED_BY(m_txMutex) = 0;   // covered by the latest drain
    bool m_bTxWriting GUARDED_BY(m_txMutex) = false;       // bytes taken, write not returned
    bool m_bLastWriteFill GUARDED_BY(m_txMutex) = false;   // the latest write was idle fill
    bool m_bWritingFill GUARDED_BY(m_txMutex) = false;     // with m_bTxWriting: the bytes are idle fill
    // When the last character written leaves the line.
    std::chrono::steady_clock::time_point m_tLineFree GUARDED_BY(m_txMutex){};
    // When the last character of text (not idle fill) leaves the line.
    std::chrono::steady_clock::time_point m_tTextFree GUARDED_BY(m_txMutex){};
    bool m_bLineCut GUARDED_BY(m_txMutex) = false;   // output purged since the latest write
    // When the device last reported its output drained.
    std::chrono::steady_clock::time_point m_tDrained GUARDED_BY(m_txMutex){};
    std::chrono::microseconds m_charTime{0};            // set in Connect while no worker runs
    // Transmit thread only: TxStep asks to look again at this time (max: no need).
    std::chrono::steady_clock::time_point m_tTxRecheck = std::chrono::steady_clock::time_point::max();

    // Taken first: never while m_txMutex or m_rxMutex is held.
    Mutex m_keyMutex ACQUIRED_BEFORE(m_txMutex, m_rxMutex);
    CondVar m_keyChanged;
    bool m_bKeyBusy GUARDED_BY(m_keyMutex) = false;   // a key or unkey is between its steps
    bool m_bLineUp GUARDED_BY(m_keyMutex) = false;    // the link has raised the PTT line
    uint64_t m_nKeyCut GUARDED_BY(m_keyMutex) = 0;    // bumped to abandon a key under way
    uint64_t m_nDropCut GUARDED_BY(m_keyMutex) = 0;   // bumped to drop the line now, tail or not
    std::string m_strKeyFailure GUARDED_BY(m_keyMutex);
    bool m_bWriteGate GUARDED_BY(m_keyMutex) = false;   // a write is handing bytes to the device
    bool m_bEnding GUARDED_BY(m_keyMutex) = false;      // EndTransmission is under way
};
