#include "KeyingSession.h"

#include "TransmitFakes.h"

#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"
#include "app/SettingsKeys.h"
#include "link/SerialLink.h"
#include "link/SharedPortDevice.h"
#include "support/ScratchDir.h"
#include "support/VirtualClock.h"
#include "views/MacroSender.h"
#include "views/RttyLinkControl.h"
#include "views/SendHost.h"
#include "views/SendQueue.h"
#include "views/SerialLinkTransmit.h"
#include "views/TapeSender.h"
#include "views/TxRxControl.h"
#include "views/TypeAhead.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace keying {

using namespace std::chrono_literals;

namespace {

using Log = std::function<void(Command::Kind, std::string, bool direct)>;

// A text as the account shows it, quoted, with its line ends spelt out.
std::string Quoted(std::string_view text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return out + "'";
}

// The link as the rules reach it, noting what they give it: text, and each
// cut or end of a transmission. Everything else passes straight through.
class LoggingLink : public TransmitLink {
public:
    LoggingLink(SerialLink& link, Log log) : m_inner(link), m_log(std::move(log)) {}

    void SendText(std::string& text) override
    {
        m_log(Command::Kind::Text, Quoted(text), direct);
        m_inner.SendText(text);
    }
    void SendChar(const char* text) override
    {
        m_log(Command::Kind::Text, Quoted(text), false);
        m_inner.SendChar(text);
    }
    void PushFront(uint8_t byte) override { m_inner.PushFront(byte); }
    void ClearTransmit() override
    {
        m_log(Command::Kind::Clear, "link", false);
        m_inner.ClearTransmit();
    }
    void KeyTransmitter() override
    {
        m_log(Command::Kind::Note, "key", false);
        m_inner.KeyTransmitter();
    }
    void StopSending() override
    {
        m_log(Command::Kind::Receive, "link", false);
        m_inner.StopSending();
    }
    std::string TakeKeyFailure() override { return m_inner.TakeKeyFailure(); }
    void InjectTestMessage(bool testMode) override { m_inner.InjectTestMessage(testMode); }
    uint8_t CurrentShiftCode() const override { return m_inner.CurrentShiftCode(); }
    void EchoThroughCodec(std::string& text, int stream) override { m_inner.EchoThroughCodec(text, stream); }
    int DataBits() const override { return m_inner.DataBits(); }
    size_t TxQueueLength() const override { return m_inner.TxQueueLength(); }
    size_t TxOutLength() const override { return m_inner.TxOutLength(); }
    bool TxActive() const override { return m_inner.TxActive(); }
    void SetTxActive(bool on) override { m_inner.SetTxActive(on); }
    bool TxHold() const override { return m_inner.TxHold(); }
    void SetTxHold(bool on) override { m_inner.SetTxHold(on); }
    bool Keyed() const override { return m_inner.Keyed(); }
    bool Diddle() const override { return m_inner.Diddle(); }
    bool LineQuiet() const override { return m_inner.LineQuiet(); }
    uint32_t LineTimeLeftMs() const override { return m_inner.LineTimeLeftMs(); }
    bool IdleFillOnAir() const override { return m_inner.IdleFillOnAir(); }
    bool Down() const override { return m_inner.Down(); }
    PortState State(const SettingsStore& settings) const override { return m_inner.State(settings); }

    // Set while a tape sends past the Delay buffer.
    bool direct = false;

private:
    SerialLinkTransmit m_inner;
    Log m_log;
};

// The receive view over the live link: the channel was last heard when the
// session says so.
class LiveReceive : public ReceiveSide {
public:
    explicit LiveReceive(LoggingLink& link) : m_link(link) {}
    TransmitLink& Link() override { return m_link; }
    void SetTxEcho(const std::string&) override {}
    void ClearDeadmanCount() override {}
    uint32_t LastReceiveTick() const override { return lastReceive; }
    bool DisplayRunning() const override { return true; }
    void TakeCompletedLines() override {}
    void Repaint() override {}
    void ScrollToNewest() override {}

    uint32_t lastReceive = 0;

private:
    LoggingLink& m_link;
};

// The pane's SendHost without widgets, over its line, its control and the
// receive view's link; each Ctrl-W and Ctrl-Q the sends run is noted.
class PlainSends : public SendHost {
public:
    PlainSends(TypeAhead& line, TxRxControl& control, LoggingLink& link, Log log)
        : m_line(line), m_control(control), m_link(link), m_log(std::move(log))
    {
    }

    bool HasReceiveView() override { return true; }
    bool CharMode() override { return m_line.CharMode(); }
    void InsertText(const std::string& text) override { m_line.InsertText(text); }
    void SendToLink(std::string& text) override
    {
        m_link.direct = true;
        m_link.SendText(text);
        m_link.direct = false;
    }
    void EchoThroughCodec(std::string& text, int stream) override { m_link.EchoThroughCodec(text, stream); }
    void DoTransmit() override
    {
        const bool manual = m_control.CurrentProtocol() == TxRxControl::kManual;
        m_log(manual ? Command::Kind::Transmit : Command::Kind::Note, "Ctrl-W", false);
        m_control.DoTransmit();
    }
    void BeginStopTransmit() override
    {
        m_log(Command::Kind::Note, "Ctrl-Q", false);
        m_control.BeginStopTransmit();
    }
    bool StopTransmitPending() override { return m_control.StopTransmitPending(); }
    void EndStopTransmit() override
    {
        m_log(Command::Kind::Note, "Ctrl-Q over", false);
        m_control.EndStopTransmit();
    }
    void TimerStep() override { m_control.TimerStep(); }
    void ClearTxEcho() override {}
    void ClearDeadmanCount() override {}
    void ReceiveListChanged() override {}
    void HistoryChanged() override {}
    void RepaintTransmitView() override {}
    void ShowFileError(const std::string& text) override { errors.push_back(text); }

    std::vector<std::string> errors;

private:
    TypeAhead& m_line;
    TxRxControl& m_control;
    LoggingLink& m_link;
    Log m_log;
};

const char* const kTyped[] = {"CQ CQ DE N0CALL K\r", "599 001 ", "RYRY ", "TU 73\r", "E", "QRZ? ", "DE W1AW KN\r"};

// Macro keys and their texts: with Ctrl-W and Ctrl-Q (sent only in
// Character mode) and without.
const std::pair<char, const char*> kMacros[] = {
    {'A', "^WCQ CQ DE N0CALL K^Q"}, {'B', "^WRYRY ^Q"}, {'C', "TU 73 "},
    {'D', "^W599 001 "},            {'E', "QRZ? ^Q"},   {'F', "^WDE W1AW^Q^WKN^Q"},
};

const char* const kTapes[] = {"^WCQ CQ DE N0CALL\r\n^Q", "CQ TEST\r\n", "^WDE W1AW\r\nKN^Q\r\n"};

class ViewsSession {
public:
    explicit ViewsSession(uint32_t seed)
        : m_rng(seed),
          m_taking(m_clock),
          m_ticks(m_clock),
          m_tx(m_link, Logger()),
          m_receive(m_tx)
    {
        // Manual has the most to exercise: half the sessions.
        const int protocol = std::max(0, Pick(4) - 1);
        m_session.manual = protocol == TxRxControl::kManual;
        m_session.delay = protocol == TxRxControl::kDelay;
        m_session.diddle = Chance(2);
        m_settings.Put(keys::RTTYDuplex, protocol);
        m_settings.Put(keys::Diddle, m_session.diddle ? 1 : 0);
        // Character mode (the only one that sends macros with Ctrl-W and
        // Ctrl-Q) half the time, else Word or Line; Delay and Auto clear both.
        const int mode = std::max(0, Pick(4) - 1);
        m_settings.Put(keys::CharMode, mode == 0 ? 1 : 0);
        m_settings.Put(keys::WordMode, mode == 1 ? 1 : 0);
        for (const auto& [key, text] : kMacros)
            m_settings.PutText("Settings", std::string(1, key), text);
        for (size_t i = 0; i < std::size(kTapes); ++i)
            m_tapes.push_back(m_dir.Write("TAPE" + std::to_string(i) + ".TXT", kTapes[i]));

        m_modem->SetClock(m_clock);
        m_link.SetClock(m_clock);
        m_link.SetDeviceOpener([m = m_modem](int) { return std::make_unique<SharedPortDevice>(m); });
        Open();
        Hear();

        m_host.receive = &m_receive;
        m_host.status = &m_status;
        m_control = std::make_unique<TxRxControl>(m_settings, m_doc, m_host, m_ticks);
        m_line = std::make_unique<TypeAhead>(m_settings, m_doc, m_host, *m_control, m_calendar);
        m_sends = std::make_unique<PlainSends>(*m_line, *m_control, m_tx, Logger());
        m_macros = std::make_unique<MacroSender>(*m_sends, m_doc, m_queue);
        m_tapeSender = std::make_unique<TapeSender>(*m_sends, m_doc, m_queue);
        m_line->SetMacroHandler([this](int key) { m_macros->SendMacro(key); });
        m_line->RefreshPortState();
        m_line->OnReady();
        m_nextTick = m_clock.Now() + 1000ms;
    }
    ~ViewsSession()
    {
        m_queue.Cancel();
        m_link.Connect(false);
    }

    Session Run()
    {
        const int steps = 6 + Pick(8);
        for (int i = 0; i < steps; ++i) {
            Step();
            Pass(std::chrono::milliseconds(Pick(1500)));
        }
        // The sends finish, Delay's buffer goes once the channel is quiet,
        // and under Manual the operator returns to receive.
        for (int i = 0; i < 600 && m_queue.Busy(); ++i)
            Pass(100ms);
        Pass(4s);
        if (m_session.manual)
            Receive();
        for (int i = 0; i < 1200 && !Settled(); ++i)
            Pass(100ms);
        Pass(500ms);
        m_link.Connect(false);
        for (const std::string& error : m_sends->errors)
            Note(Command::Kind::Note, "tape error: " + error);
        m_session.log = m_modem->Log();
        return m_session;
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool Chance(int n) { return Pick(n) == 0; }
    void Note(Command::Kind kind, std::string what, bool direct = false)
    {
        m_session.commands.push_back({kind, m_clock.Now(), std::move(what), direct});
    }
    Log Logger()
    {
        return [this](Command::Kind kind, std::string what, bool direct) { Note(kind, std::move(what), direct); };
    }

    // Nothing more will change on the line: the text is through (the line
    // quiet or idle fill following), or the link is held off the air with
    // what is left queued for a Transmit that will not come.
    bool Settled() const
    {
        const bool through = m_link.TxQueueLength() + m_link.TxOutLength() == 0 &&
                             (m_link.IsLineQuiet() || m_link.IsIdleFillOnAir());
        return through || (m_link.m_bTxHold.load() != 0 && m_link.m_bKeyed.load() == 0) || m_link.IsDown();
    }

    // The receive pane's apply: open (or reopen a vanished device), then
    // receive under Manual, unheld otherwise.
    void Open()
    {
        RttyLinkControl::Apply(m_link, RttyPortConfig::Read(m_settings));
        if (m_session.manual)
            Note(Command::Kind::Receive, "opened in receive");
    }

    // Virtual time passes with the pane's two timers running: the
    // one-second step, and the sends' look 20 ms after the last while one
    // waits (only a command queues a send, never the passing time).
    void Pass(std::chrono::milliseconds d)
    {
        const auto until = m_clock.Now() + d;
        for (auto now = m_clock.Now(); now < until; now = m_clock.Now()) {
            const bool looking = m_queue.Busy();
            if (!looking)
                m_nextLook = now + 20ms;
            const auto next = std::min({m_nextTick, looking ? m_nextLook : until, until});
            if (next > now)
                m_clock.SleepFor(next - now);
            if (m_clock.Now() >= m_nextTick) {
                m_control->TimerStep();
                m_nextTick = m_clock.Now() + 1000ms;
            }
            if (looking && m_clock.Now() >= m_nextLook) {
                m_queue.Pump();
                m_nextLook = m_clock.Now() + 20ms;
            }
        }
    }

    void Receive()
    {
        // Only Manual's Receive takes the transmitter off the air.
        Note(m_session.manual ? Command::Kind::Receive : Command::Kind::Note, "operator Receive");
        m_control->DoReceive();
        m_queue.Pump();
    }

    // Traffic on the receive channel, as the receive view notes it.
    void Hear()
    {
        Note(Command::Kind::Heard, {});
        m_receive.lastReceive = m_ticks.Now();
    }

    void Type(const std::string& text)
    {
        Note(Command::Kind::Note, "typing " + Quoted(text));
        for (char c : text) {
            m_line->OnChar(static_cast<uint8_t>(c));
            Pass(std::chrono::milliseconds(40 + Pick(200)));
        }
    }

    void VanishAndReopen()
    {
        Note(Command::Kind::Vanish, {});
        m_modem->Vanish();
        Pass(std::chrono::milliseconds(Pick(1500)));
        while (!m_link.IsDown())
            Pass(10ms);
        Note(Command::Kind::Reopen, {});
        Open();
    }

    void Step()
    {
        switch (Pick(10)) {
        case 0:
        case 1: Type(kTyped[Pick(static_cast<int>(std::size(kTyped)))]); break;
        case 2:
            Note(m_session.manual ? Command::Kind::Transmit : Command::Kind::Note, "operator Transmit");
            m_control->DoTransmit();
            break;
        case 3: Receive(); break;
        case 4:
            // Send/Receive is offered under Manual only.
            if (m_session.manual) {
                Note(Command::Kind::Transmit, "operator Send/Receive");
                m_control->SendReceive(false);
            }
            break;
        case 5:
            Note(Command::Kind::Clear, "operator Clear TX Buffer");
            // The sends are dropped first, as the pane does.
            m_queue.Cancel();
            m_control->ClearTxBuffer([this] { m_line->DiscardUnsent(); });
            break;
        case 6: {
            const auto& [key, text] = kMacros[Pick(static_cast<int>(std::size(kMacros)))];
            Note(Command::Kind::Note, std::string("macro ") + key + " " + Quoted(text));
            m_macros->SendMacro(key);
            break;
        }
        case 7: {
            const int tape = Pick(static_cast<int>(std::size(kTapes)));
            Note(Command::Kind::Note, "tape " + Quoted(kTapes[tape]));
            m_tapeSender->SendTape(m_tapes[static_cast<size_t>(tape)]);
            break;
        }
        case 8: Hear(); break;
        case 9:
            if (Chance(2))
                VanishAndReopen();
            break;
        }
    }

    std::mt19937 m_rng;
    VirtualClock m_clock;
    VirtualClock::Taking m_taking;
    VirtualTicks m_ticks;
    std::shared_ptr<SimulatedModem> m_modem = std::make_shared<SimulatedModem>();
    SerialLink m_link;
    Session m_session;
    ScratchDir m_dir;
    std::vector<std::string> m_tapes;

    MemorySettingsStore m_settings;
    CVELTRANDoc m_doc{m_settings};
    LoggingLink m_tx;
    LiveReceive m_receive;
    txfake::Status m_status;
    txfake::Host m_host;
    txfake::Calendar m_calendar;
    std::unique_ptr<TxRxControl> m_control;
    std::unique_ptr<TypeAhead> m_line;
    std::unique_ptr<PlainSends> m_sends;
    SendQueue m_queue;
    std::unique_ptr<MacroSender> m_macros;
    std::unique_ptr<TapeSender> m_tapeSender;
    std::chrono::steady_clock::time_point m_nextTick{};
    std::chrono::steady_clock::time_point m_nextLook{};
};

}  // namespace

Session RecordViewsSession(uint32_t seed)
{
    ViewsSession s(seed);
    return s.Run();
}

Outcome RunViewsSession(uint32_t seed)
{
    const Session session = RecordViewsSession(seed);
    Outcome outcome{CheckKeying(session), {}};
    if (!outcome.broken.empty())
        outcome.account = Describe(session);
    return outcome;
}

}  // namespace keying
