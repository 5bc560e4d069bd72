#pragma once
// One macro or tape send as a resumable list of steps, so that a wait for the
// transmitter to drain (a stop-transmit, Ctrl-Q) does not stop the window:
// Run() carries out steps until such a wait is not over yet and returns
// kWaiting; the caller runs it again later (from the event loop) and it goes
// on where it stopped. A wait ends as soon as the last character has left the
// line, the transmitter is no longer keyed or is held (Receive, Clear TX
// Buffer), so it can never hold the program. User-interface thread only.
#include <deque>
#include <string>

class CVELTRANDoc;
class SendHost;

class SendJob {
public:
    enum class Progress { kWaiting, kDone };

    SendJob(SendHost& host, CVELTRANDoc& doc) : m_host(host), m_doc(doc) {}
    virtual ~SendJob() = default;
    SendJob(const SendJob&) = delete;
    SendJob& operator=(const SendJob&) = delete;

    Progress Run();

protected:
    enum class Kind {
        kInsert,            // type-ahead InsertText(text)
        kEcho,              // ">" lines of text into the receive list (stream 2)
        kSend,              // the RTTY link's SendText(text)
        kTransmit,          // DoTransmit
        kRepaint,           // repaint the transmit view
        kDrainThenReceive,  // wait for the link's quiet line, then return to receive
        kClearDeadman,      // the receive view's deadman count to 0
    };

    void Add(Kind kind, std::string text = {}) { m_steps.push_back({kind, std::move(text), false}); }
    // Called when every step has run: adds more steps and returns true, or
    // finishes the job (its last words) and returns false.
    virtual bool Refill() { return false; }

    SendHost& m_host;
    CVELTRANDoc& m_doc;

private:
    struct Step {
        Kind kind;
        std::string text;
        bool begun = false;   // a wait has been begun
    };
    // False while the step has to wait.
    bool RunStep(Step& step);
    void Echo(const std::string& text);

    std::deque<Step> m_steps;
};
