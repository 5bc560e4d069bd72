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
// - m_keyMutex serialises KeyTransmitter and UnkeyTransmitter (with their
//   100 ms waits), which both the transmit thread and the owner call, so the
//   RTS line always ends where m_bKeyed says.
// - The 32-bit flags are atomics: the owner writes the options, the threads
//   the status. Lock order: m_keyMutex is never taken while m_txMutex or
//   m_rxMutex is held.
#include "link/BaudotCodec.h"
#include "link/PortDevice.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
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
    // again. A port that can't be opened leaves the link closed, silently. Closing
    // never waits on the device: not on a stalled write, not on a far end
    // that never reads. Owner's thread.
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
    // before and after the line change; m_bKeyed follows in every case. Any thread.
    void KeyTransmitter();
    void UnkeyTransmitter();

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
    // Empties queue and out-buffer, clears hold and active, unkeys.
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
    void ReadAvailable();
    // One pass of the transmit rules; true when the next pass should follow
    // at once rather than wait for news.
    bool TxStep();
    // Writes bytes TxStep has taken (m_bTxWriting set); clears the mark.
    void WriteBytes(const std::string& bytes, bool fill);
    // Under m_txMutex: no write in progress, the latest drained and its line time past.
    bool LineIdleLocked(std::chrono::steady_clock::time_point now) const;
    void OnDrained(uint64_t drainedWrites);
    void MarkDown();
    void Notify();                 // bumps m_nTxWakeGen and wakes the transmit thread
    bool PortUsable() const;
    void DataReady();
    uint32_t WriteTimeoutMs(size_t len) const;

    // Set in Connect on the owner's thread while neither worker runs.
    std::unique_ptr<PortDevice> m_hPort;
    std::thread m_rxThread;
    std::thread m_txThread;
    std::function<std::unique_ptr<PortDevice>(int port)> m_opener;
    std::atomic<bool> m_bOpen{false};
    std::atomic<bool> m_bDown{false};
    std::atomic<int> m_nOpenError{0};
    std::string m_strOpenError;   // owner's thread, set in Connect

    mutable std::mutex m_rxMutex;
    std::string m_strReceived;                          // guarded by m_rxMutex
    std::shared_ptr<const std::function<void()>> m_onDataReady;  // guarded by m_rxMutex

    mutable std::mutex m_txMutex;
    std::condition_variable m_txWake;
    std::string m_strTxQueue;                           // guarded by m_txMutex
    std::string m_strTxOut;                             // guarded by m_txMutex
    uint64_t m_nTxWakeGen = 0;                          // guarded by m_txMutex
    uint64_t m_nWritesStarted = 0;                      // guarded by m_txMutex
    uint64_t m_nWritesDrained = 0;                      // guarded by m_txMutex: covered by the latest drain
    bool m_bTxWriting = false;                          // guarded by m_txMutex: bytes taken, write not returned
    bool m_bLastWriteFill = false;                      // guarded by m_txMutex: the latest write was idle fill
    // Guarded by m_txMutex: when the last character written leaves the line.
    std::chrono::steady_clock::time_point m_tLineFree{};
    std::chrono::microseconds m_charTime{0};            // set in Connect while no worker runs
    // Transmit thread only: TxStep asks to look again at this time (max: no need).
    std::chrono::steady_clock::time_point m_tTxRecheck = std::chrono::steady_clock::time_point::max();

    std::mutex m_keyMutex;
};
