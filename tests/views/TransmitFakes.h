#pragma once
// Fakes around the transmit pane's rules: a link that records what it is
// given, a receive view, a status bar, the pane host, fixed clocks, and a
// bundle that wires them to a TypeAhead and a TxRxControl.
#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"
#include "app/WallClock.h"
#include "link/TickSource.h"
#include "views/FrameStatus.h"
#include "views/ReceiveSide.h"
#include "views/TransmitHost.h"
#include "views/TransmitLink.h"
#include "views/TxRxControl.h"
#include "views/TypeAhead.h"

#include <cctype>
#include <string>
#include <vector>

namespace txfake {

class Link : public TransmitLink {
public:
    void SendText(std::string& text) override
    {
        texts.push_back(text);
        ops.push_back("text:" + text);
        queueLength += text.size();
    }
    void SendChar(const char* text) override
    {
        chars.push_back(text);
        ops.push_back(std::string("char:") + text);
    }
    void PushFront(uint8_t byte) override
    {
        pushed.push_back(byte);
        ops.push_back("push:" + std::to_string(byte));
    }
    void ClearTransmit() override
    {
        ops.push_back("clear");
        queueLength = 0;
        outLength = 0;
        hold = false;
        active = false;
        keyed = false;
    }
    void KeyTransmitter() override
    {
        ops.push_back("key");
        keyed = true;
    }
    void StopSending() override
    {
        ops.push_back("stop");
        hold = true;
        active = false;
        keyed = false;
    }
    std::string TakeKeyFailure() override
    {
        std::string why;
        why.swap(keyFailure);
        return why;
    }
    void InjectTestMessage(bool testMode) override { ops.push_back(testMode ? "inject:1" : "inject:0"); }
    uint8_t CurrentShiftCode() const override { return shift; }
    // The far end prints capitals; the stream used is recorded.
    void EchoThroughCodec(std::string& text, int stream) override
    {
        echoStreams.push_back(stream);
        for (char& c : text)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    int DataBits() const override { return dataBits; }
    size_t TxQueueLength() const override { return queueLength; }
    size_t TxOutLength() const override { return outLength; }
    bool TxActive() const override { return active; }
    void SetTxActive(bool on) override
    {
        active = on;
        ops.push_back(on ? "active:1" : "active:0");
    }
    bool TxHold() const override { return hold; }
    void SetTxHold(bool on) override
    {
        hold = on;
        ops.push_back(on ? "hold:1" : "hold:0");
    }
    bool Keyed() const override { return keyed; }
    bool Diddle() const override { return diddle; }
    bool LineQuiet() const override { return queueLength == 0 && outLength == 0 && !lineBusy; }
    uint32_t LineTimeLeftMs() const override { return lineTimeLeftMs; }
    // As the link reckons it: fill follows the text at once while active.
    bool IdleFillOnAir() const override
    {
        return active && diddle && keyed && !hold && queueLength == 0 && outLength == 0;
    }
    PortState State(const SettingsStore&) const override { return port; }

    // Everything given to SendText and SendChar, in order.
    std::string AllSent() const
    {
        std::string all;
        for (const std::string& op : ops) {
            if (op.rfind("text:", 0) == 0 || op.rfind("char:", 0) == 0)
                all += op.substr(5);
        }
        return all;
    }

    std::vector<std::string> texts;
    std::vector<std::string> chars;
    std::vector<uint8_t> pushed;
    std::vector<std::string> ops;
    std::vector<int> echoStreams;
    size_t queueLength = 0;
    size_t outLength = 0;
    bool active = false;
    bool hold = true;
    bool keyed = false;
    bool diddle = true;
    std::string keyFailure;   // told once by TakeKeyFailure
    bool lineBusy = false;   // the last write is still on the line (or not reported drained)
    uint32_t lineTimeLeftMs = 0;   // by the link's reckoning
    uint8_t shift = 31;
    int dataBits = 5;
    PortState port = OpenPort();   // open unless a test says otherwise

    static PortState OpenPort()
    {
        PortState s;
        s.name = "RTTY";
        s.port = 1;
        s.device = "sim:plain";
        s.open = true;
        return s;
    }
};

class Receive : public ReceiveSide {
public:
    TransmitLink& Link() override { return link; }
    void SetTxEcho(const std::string& text) override { txEcho = text; }
    void ClearDeadmanCount() override { ++deadmanClears; }
    uint32_t LastReceiveTick() const override { return lastReceive; }
    bool DisplayRunning() const override { return displayRunning; }
    void TakeCompletedLines() override { ++takes; }
    void Repaint() override { ++repaints; }
    void ScrollToNewest() override { ++scrolls; }

    txfake::Link link;
    std::string txEcho;
    int deadmanClears = 0;
    uint32_t lastReceive = 0;
    bool displayRunning = true;
    int repaints = 0;
    int scrolls = 0;
    int takes = 0;
};

class Status : public FrameStatus {
public:
    void SetDiddlePaneText(const std::string& text) override { diddle.push_back(text); }
    void SetAutoPaneText(const std::string& text) override { autoPane.push_back(text); }
    void SetModePaneText(const std::string&) override {}
    void SetBaudPaneNumber(int) override {}
    void UpdatePortStatus() override {}
    void SetMessageText(const QString& text) override { messages.push_back(text.toStdString()); }

    std::string LastDiddle() const { return diddle.empty() ? "<none>" : diddle.back(); }
    std::string LastAuto() const { return autoPane.empty() ? "<none>" : autoPane.back(); }

    std::vector<std::string> diddle;
    std::vector<std::string> autoPane;
    std::vector<std::string> messages;
};

class Host : public TransmitHost {
public:
    ReceiveSide* ReceiveView() override { return receive; }
    FrameStatus* Status() override { return status; }
    void Beep() override { ++beeps; }
    void InvalidateCurrentLine() override { ++lineRepaints; }
    void RepaintPane() override { ++paneRepaints; }
    void HistoryScrollToNewest() override { ++historyScrolls; }

    ReceiveSide* receive = nullptr;
    FrameStatus* status = nullptr;
    int beeps = 0;
    int lineRepaints = 0;
    int paneRepaints = 0;
    int historyScrolls = 0;
};

class Ticks : public TickSource {
public:
    uint32_t Now() const override { return now; }
    uint32_t now = 0;
};

class Calendar : public WallClock {
public:
    CivilTime Now(bool local) const override { return local ? localTime : utcTime; }
    CivilTime localTime{2009, 3, 6, 9, 5};
    CivilTime utcTime{2009, 3, 6, 14, 5};
};

// Settings, document, fakes and the two rule classes, wired together with a
// receive view and a status bar present and the port open.
struct Bench {
    Bench() { host.receive = &receive; host.status = &status; }

    // Builds the rule classes once the settings of the test are in place.
    void Start()
    {
        control = std::make_unique<TxRxControl>(settings, doc, host, ticks);
        line = std::make_unique<TypeAhead>(settings, doc, host, *control, calendar);
        line->SetMacroHandler([this](int key) { macros.push_back(key); });
        line->RefreshPortState();
        line->OnReady();
    }
    void Type(const std::string& text)
    {
        for (char c : text)
            line->OnChar(static_cast<uint8_t>(c));
    }
    const LineList& History() const { return doc.GetList(CVELTRANDoc::kTransmitList); }
    const LineList& ReceiveList() const { return doc.GetList(CVELTRANDoc::kReceiveList); }
    Link& link() { return receive.link; }

    MemorySettingsStore settings;
    CVELTRANDoc doc{settings};
    Receive receive;
    Status status;
    Host host;
    Ticks ticks;
    Calendar calendar;
    std::vector<int> macros;
    std::unique_ptr<TxRxControl> control;
    std::unique_ptr<TypeAhead> line;
};

}  // namespace txfake
