#pragma once
// The display thread of a port-owning pane (the receive page and the TNC
// terminal): takes received text from a source, cuts it into lines with the
// pane's DisplayPass and asks the user-interface thread to repaint. It never
// spins: it sleeps on a condition variable until Notify() (the link's
// data-ready callback) or until a pass left work behind, so text appears
// within one pass (and at most one rest, kRestAfterPass) of its arrival and an
// idle page costs nothing.
//
// Thread rule: Start(), Stop(), SetPageWidth(), SetByteSize(), TakeRepaint()
// and RefreshIdlePoll() are called on the user-interface thread; Notify() from
// any thread (it only takes m_mutex briefly). The repaint hook runs on the
// display thread and must only post to the user-interface thread; it is
// called only when no earlier request is still outstanding (TakeRepaint()
// collects them), so a fast line cannot flood the event queue.
#include "views/DisplayPass.h"

#include "link/ThreadSafety.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>

class ReceiveSource;
class TickSource;

class ReceiveDisplay {
public:
    using RepaintHook = std::function<void()>;

    // After a pass the thread rests this long before it takes newly notified
    // text (the lines a pass leaves behind follow at once). Text that waits
    // for a screen no faster than this loses nothing by it, and a 19,200 baud
    // line no longer costs a pass, a switch and a repaint per character.
    static constexpr std::chrono::milliseconds kRestAfterPass{10};

    // `lastPoll` and `lastReceive` are the owner's tick stamps: the time of the
    // latest pass, and of the latest pass that took text. They outlive this.
    // `rest` replaces kRestAfterPass for a pane whose text may come in bulk.
    ReceiveDisplay(ReceiveSource& source, DisplayPass& cutter, const TickSource& clock,
                   std::atomic<uint32_t>& lastPoll, std::atomic<uint32_t>& lastReceive,
                   std::chrono::milliseconds rest = kRestAfterPass);
    ~ReceiveDisplay();
    ReceiveDisplay(const ReceiveDisplay&) = delete;
    ReceiveDisplay& operator=(const ReceiveDisplay&) = delete;

    // Set before Start().
    void SetRepaintHook(RepaintHook hook) { m_repaint = std::move(hook); }

    // Starts the thread unless it runs already; false when it cannot be started.
    // A stopped display can be started again.
    bool Start();
    // Stops and joins the thread. Returns at once when it is not running.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }

    // New text may be waiting in the source. Any thread; never blocks for long.
    void Notify();

    // The stored page width (clamped by the pass) and the link's data bits,
    // copied here by the owner so the display thread never reads the store.
    void SetPageWidth(int stored);
    void SetByteSize(int bits);

    // The repaint due since the last call (the widest one asked for), and clears it.
    DisplayPass::Repaint TakeRepaint();

    // While the thread waits for text every moment counts as a pass without
    // text; the owner's timer calls this so that lastPoll keeps moving while
    // the channel is quiet (the Delay protocol compares the two stamps).
    void RefreshIdlePoll();

private:
    void Run();
    void RunPass(bool* more);

    ReceiveSource& m_source;
    DisplayPass& m_cutter;
    const TickSource& m_clock;
    std::atomic<uint32_t>& m_lastPoll;
    std::atomic<uint32_t>& m_lastReceive;
    RepaintHook m_repaint;
    const std::chrono::milliseconds m_rest;

    std::atomic<int> m_pageWidth;
    std::atomic<int> m_byteSize{5};

    Mutex m_mutex;
    CondVar m_wake;
    bool m_bStop GUARDED_BY(m_mutex) = false;
    bool m_bNotified GUARDED_BY(m_mutex) = false;
    bool m_bIdle GUARDED_BY(m_mutex) = false;  // the thread is waiting with no work left
    DisplayPass::Repaint m_due GUARDED_BY(m_mutex) = DisplayPass::Repaint::kNone;

    std::thread m_thread;  // started and joined on the user-interface thread
};
