#include "support/KeyingProperty.h"

#include "link/SerialLink.h"
#include "link/SharedPortDevice.h"
#include "support/VirtualClock.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <random>

namespace keying {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Kind = SimEvent::Kind;

namespace {

constexpr auto kTail = 100ms;
constexpr auto kCutLimit = 50ms;
constexpr auto kDelayQuiet = 3000ms;

bool IsFill(const SimEvent& e)
{
    return e.bytes == std::string(SerialLink::kChunk, '\x1F');
}

// The line as the record shows it up to some event.
struct Line {
    bool up = false;            // PTT raised by the link
    Clock::time_point textFree{};   // the last stop bit of text (not fill)
    bool textCut = false;       // text was purged from the line since the last rise
    std::optional<Clock::time_point> rise;

    void Apply(const SimEvent& e, std::vector<std::string>& broken, const std::string& at)
    {
        switch (e.kind) {
        case Kind::Open:
            *this = Line{};
            textFree = e.time;
            break;
        case Kind::Write:
            if (!up)
                broken.push_back(at + ": written while PTT is down");
            if (!IsFill(e))
                textFree = std::max(textFree, e.ends);
            break;
        case Kind::Purge:
        case Kind::PurgeOutput:
            if (textFree > e.time) {
                textFree = e.time;
                textCut = true;
            }
            break;
        case Kind::Rts:
            if (e.level && !up) {
                up = true;
                rise = e.time;
                textCut = false;
            } else if (!e.level && up) {
                up = false;
                if (!textCut && e.time < textFree + kTail)
                    broken.push_back(at + ": PTT fell before the text's tail was over");
            }
            break;
        case Kind::Dtr:
            if (e.level)
                broken.push_back(at + ": DTR rose");
            break;
        case Kind::Close: break;
        }
    }
};

}  // namespace

std::vector<std::string> CheckKeying(const Session& session)
{
    std::vector<std::string> broken;
    if (session.log.empty())
        return broken;
    const Clock::time_point origin = session.log.front().time;
    const auto at = [origin](Clock::time_point t) {
        return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(t - origin).count()) + " ms";
    };

    // The rules read along the record: writes, tails, DTR, and each rise
    // against the latest command before it.
    Line line;
    for (const SimEvent& e : session.log) {
        if (e.kind == Kind::Rts && e.level && !line.up) {
            std::optional<Command::Kind> latest;
            // A command at the very moment of the rise did not cause it (a
            // key takes 100 ms) and may have lost the race to it.
            for (const Command& c : session.commands) {
                if (c.at >= e.time)
                    break;
                // Under Manual a transmission ends with its port.
                const bool counts = session.manual ? c.kind == Command::Kind::Transmit ||
                                                         c.kind == Command::Kind::Receive ||
                                                         c.kind == Command::Kind::Clear ||
                                                         c.kind == Command::Kind::Reopen
                                                   : c.kind == Command::Kind::Text || c.kind == Command::Kind::Clear;
                if (counts)
                    latest = c.kind;
            }
            const Command::Kind asks = session.manual ? Command::Kind::Transmit : Command::Kind::Text;
            if (latest != asks)
                broken.push_back(at(e.time) + ": PTT rose with no command asking for it");
        }
        line.Apply(e, broken, at(e.time));
    }

    // Under Delay, the buffer's text against the traffic heard before it.
    if (session.delay) {
        std::optional<Clock::time_point> heard;
        for (const Command& c : session.commands) {
            if (c.kind == Command::Kind::Heard)
                heard = c.at;
            else if (c.kind == Command::Kind::Text && !c.direct && heard && c.at - *heard <= kDelayQuiet)
                broken.push_back(at(c.at) + ": delayed text went out within 3 s of traffic heard");
        }
    }

    // Each Receive and Clear against the record up to it. A device that
    // has vanished takes nothing more until it is opened again.
    bool gone = false;
    for (const Command& c : session.commands) {
        if (c.kind == Command::Kind::Vanish || c.kind == Command::Kind::Reopen)
            gone = c.kind == Command::Kind::Vanish;
        if (gone || (c.kind != Command::Kind::Receive && c.kind != Command::Kind::Clear))
            continue;
        Line before;
        std::vector<std::string> ignored;
        std::optional<Clock::time_point> fall;
        bool sawFall = false;
        for (const SimEvent& e : session.log) {
            if (e.time < c.at) {
                before.Apply(e, ignored, {});
            } else if (!sawFall && e.kind == Kind::Rts && !e.level) {
                fall = e.time;
                sawFall = true;
            }
        }
        if (!before.up)
            continue;
        const Clock::time_point limit = before.textFree > c.at
                                            ? c.at + kCutLimit
                                            : std::max(c.at + kCutLimit, before.textFree + kTail + 1ms);
        if (!fall || *fall > limit)
            broken.push_back(at(c.at) + ": PTT did not fall within 50 ms of " +
                             (c.kind == Command::Kind::Receive ? "Receive" : "Clear"));
    }
    return broken;
}

namespace {

// Texts as an operator sends them; none makes four LTRS codes in a row,
// which would read as idle fill.
const char* const kTexts[] = {"CQ CQ DE N0CALL N0CALL K\r\n", "599 001 ", "RYRYRY ", "TU 73 ", "E", " ",
                              "QRZ? ", "5NN 014 014\r\n", "DE W1AW KN\r\n"};

class LinkSession {
public:
    explicit LinkSession(uint32_t seed) : m_rng(seed), m_taking(m_clock)
    {
        m_session.manual = Chance(2);
        m_session.diddle = Chance(2);
        m_modem->SetClock(m_clock);
        m_link.SetClock(m_clock);
        m_link.SetDeviceOpener([m = m_modem](int) { return std::make_unique<SharedPortDevice>(m); });
        m_link.m_nBaud = 45;
        m_link.m_nByteSize = 5;
        m_link.m_bPttKeying = 1;
        Open();
    }
    ~LinkSession() { m_link.Connect(false); }

    Session Run()
    {
        const int steps = 6 + Pick(10);
        for (int i = 0; i < steps; ++i) {
            Step();
            m_clock.SleepFor(std::chrono::milliseconds(Pick(1500)));
        }
        if (m_session.manual) {
            Log(Command::Kind::Receive);
            m_link.StopSending();
        }
        WaitQuiet(120s);
        m_clock.SleepFor(500ms);
        m_link.Connect(false);
        m_session.log = m_modem->Log();
        return m_session;
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool Chance(int n) { return Pick(n) == 0; }
    void Log(Command::Kind kind) { m_session.commands.push_back({kind, m_clock.Now(), {}, false}); }

    void Open()
    {
        m_link.Connect(true);
        m_link.m_bDiddle = m_session.diddle ? 1 : 0;
        if (m_session.manual) {
            // A Manual link opens in receive.
            Log(Command::Kind::Receive);
            m_link.StopSending();
        } else {
            m_link.m_bTxHold = 0;
            m_link.Wake();
        }
    }

    void Transmit()
    {
        Log(Command::Kind::Transmit);
        m_link.m_bTxActive = 1;
        // Each Transmit cut off before its first write leaves its shift
        // code in front; four LTRS in a row would read as idle fill.
        if (m_link.TxOutLength() < 3)
            m_link.PushFront(m_link.CurrentShiftCode());
        m_link.m_bTxHold = 0;
        m_link.Wake();
        m_link.KeyTransmitter();
    }

    // Until nothing is left to send and the line is quiet, or idle fill
    // follows the text; false when `limit` passed first.
    bool WaitQuiet(std::chrono::milliseconds limit)
    {
        const auto until = m_clock.Now() + limit;
        while (m_clock.Now() < until) {
            if (m_link.TxQueueLength() + m_link.TxOutLength() == 0 &&
                (m_link.IsLineQuiet() || m_link.IsIdleFillOnAir()))
                return true;
            m_clock.SleepFor(10ms);
        }
        return false;
    }

    void Step()
    {
        switch (Pick(m_session.manual ? 7 : 4)) {
        case 0:
        case 1: {
            Log(Command::Kind::Text);
            std::string text = kTexts[Pick(static_cast<int>(std::size(kTexts)))];
            m_link.SendText(text);
            break;
        }
        case 2:
            Log(Command::Kind::Clear);
            m_link.ClearTransmit();
            if (m_session.manual) {
                Log(Command::Kind::Receive);
                m_link.StopSending();
            }
            break;
        case 3:
            if (Chance(3)) {
                // The adapter is pulled and plugged in again.
                Log(Command::Kind::Vanish);
                m_modem->Vanish();
                // The owner opens again once the link has seen it go.
                m_clock.SleepFor(std::chrono::milliseconds(Pick(500)));
                while (!m_link.IsDown())
                    m_clock.SleepFor(10ms);
                Log(Command::Kind::Reopen);
                Open();
            }
            break;
        case 4: Transmit(); break;
        case 5:
            Log(Command::Kind::Receive);
            m_link.StopSending();
            break;
        case 6:
            // Send/Receive: Transmit, then receive once the text is through.
            Transmit();
            if (WaitQuiet(120s)) {
                Log(Command::Kind::Receive);
                m_link.StopSending();
            }
            break;
        }
    }

    std::mt19937 m_rng;
    VirtualClock m_clock;
    VirtualClock::Taking m_taking;
    std::shared_ptr<SimulatedModem> m_modem = std::make_shared<SimulatedModem>();
    SerialLink m_link;
    Session m_session;
};

}  // namespace

std::string Describe(const Session& session)
{
    static const char* const kCommands[] = {"TEXT", "TRANSMIT", "RECEIVE", "CLEAR", "VANISH", "REOPEN", "NOTE", "HEARD"};
    static const char* const kEvents[] = {"open", "write", "rts", "dtr", "purge", "purge tx", "close"};
    if (session.log.empty())
        return {};
    const Clock::time_point origin = session.log.front().time;
    const auto ms = [origin](Clock::time_point t) {
        return std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(t - origin).count() / 1000.0);
    };
    const auto command = [&ms](const Command& c) {
        return ms(c.at) + " " + kCommands[static_cast<int>(c.kind)] + (c.what.empty() ? "" : " " + c.what) +
               (c.direct ? " (past the Delay buffer)" : "") + "\n";
    };
    std::string out = session.manual ? "Manual" : session.delay ? "Delay" : "Auto";
    out += session.diddle ? ", idle fill\n" : ", no idle fill\n";
    size_t c = 0;
    for (const SimEvent& e : session.log) {
        for (; c < session.commands.size() && session.commands[c].at <= e.time; ++c)
            out += command(session.commands[c]);
        out += ms(e.time) + "   " + kEvents[static_cast<int>(e.kind)];
        if (e.kind == Kind::Rts || e.kind == Kind::Dtr)
            out += e.level ? " 1" : " 0";
        if (e.kind == Kind::Write)
            out += " " + std::to_string(e.bytes.size()) + " to " + ms(e.ends);
        out += "\n";
    }
    for (; c < session.commands.size(); ++c)
        out += command(session.commands[c]);
    return out;
}

Outcome RunLinkSession(uint32_t seed)
{
    LinkSession s(seed);
    const Session session = s.Run();
    Outcome outcome{CheckKeying(session), {}};
    if (!outcome.broken.empty())
        outcome.account = Describe(session);
    return outcome;
}

}  // namespace keying
