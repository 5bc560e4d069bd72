#pragma once
// The macro and tape sends of the transmit pane, one after another in the
// order they were asked for. A send that waits for the transmitter to drain
// holds back the ones behind it; the window stays live meanwhile, and the
// owner calls Pump() again from its event loop (a short timer, and at once
// after Receive or Clear TX Buffer) until Busy() turns false.
// User-interface thread only.
#include <deque>
#include <memory>

class SendJob;

class SendQueue {
public:
    SendQueue();
    ~SendQueue();

    // Queues a send and runs what can run now. True while something waits.
    bool Submit(std::unique_ptr<SendJob> job);
    // Runs queued sends until one has to wait (true) or none is left (false).
    bool Pump();
    bool Busy() const { return !m_jobs.empty(); }
    // Drops every queued send, also the one waiting (nothing more is sent).
    void Cancel();

private:
    std::deque<std::unique_ptr<SendJob>> m_jobs;
    // Set while Pump runs, so a step that calls back in does not re-enter.
    bool m_bPumping = false;
    bool m_bCancelled = false;
};
