#include "views/ReceiveDisplay.h"

#include "app/SettingsKeys.h"
#include "link/TickSource.h"
#include "views/ReceiveSource.h"

#include <system_error>

ReceiveDisplay::ReceiveDisplay(ReceiveSource& source, DisplayPass& cutter, const TickSource& clock,
                               std::atomic<uint32_t>& lastPoll, std::atomic<uint32_t>& lastReceive,
                               std::chrono::milliseconds rest)
    : m_source(source),
      m_cutter(cutter),
      m_clock(clock),
      m_lastPoll(lastPoll),
      m_lastReceive(lastReceive),
      m_rest(rest),
      m_pageWidth(keys::RTTYPageWidth.def)
{
}

ReceiveDisplay::~ReceiveDisplay()
{
    Stop();
}

bool ReceiveDisplay::Start()
{
    if (m_thread.joinable())
        return true;
    {
        MutexLock hold(m_mutex);
        m_bStop = false;
        // Text that came while the thread was down is taken at once.
        m_bNotified = true;
    }
    // std::thread reports a failure to start by throwing; that is the one
    // exception the program catches, to report it as "not started".
    try {
        m_thread = std::thread(&ReceiveDisplay::Run, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void ReceiveDisplay::Stop()
{
    if (!m_thread.joinable())
        return;
    {
        MutexLock hold(m_mutex);
        m_bStop = true;
    }
    m_wake.NotifyAll();
    m_thread.join();
}

void ReceiveDisplay::Notify()
{
    bool waiting = false;
    {
        MutexLock hold(m_mutex);
        m_bNotified = true;
        // A thread that is busy or resting after a pass looks at the flag
        // before it waits again: waking it would only cost a switch.
        waiting = m_bIdle;
    }
    if (waiting)
        m_wake.NotifyOne();
}

void ReceiveDisplay::SetPageWidth(int stored)
{
    if (m_pageWidth.exchange(stored) != stored)
        Notify();  // a narrower page may have finished a line already pending
}

void ReceiveDisplay::SetByteSize(int bits)
{
    m_byteSize.store(bits);
}

DisplayPass::Repaint ReceiveDisplay::TakeRepaint()
{
    MutexLock hold(m_mutex);
    const DisplayPass::Repaint due = m_due;
    m_due = DisplayPass::Repaint::kNone;
    return due;
}

void ReceiveDisplay::RefreshIdlePoll()
{
    MutexLock hold(m_mutex);
    if (m_thread.joinable() && m_bIdle)
        m_lastPoll.store(m_clock.Now());
}

void ReceiveDisplay::Run()
{
    bool more = false;
    MutexLock lock(m_mutex);
    auto lastPass = std::chrono::steady_clock::time_point{};
    for (;;) {
        m_bIdle = !more && !m_bNotified;
        while (!m_bStop && !m_bNotified && !more)
            m_wake.Wait(lock);
        m_bIdle = false;
        if (!more && !m_bStop) {
            // New text: rest out what is left of the rest after the last
            // pass. Text arriving meanwhile gathers in the source and one
            // pass takes it, so a fast line costs a hundred passes and
            // repaints a second at most instead of one per character.
            const auto restEnds = lastPass + m_rest;
            while (!m_bStop && std::chrono::steady_clock::now() < restEnds)
                m_wake.WaitUntil(lock, restEnds);
        }
        if (m_bStop)
            return;
        m_bNotified = false;
        lock.Unlock();
        lastPass = std::chrono::steady_clock::now();
        RunPass(&more);
        lock.Lock();
    }
}

void ReceiveDisplay::RunPass(bool* more)
{
    const uint32_t now = m_clock.Now();
    std::string taken;
    if (m_source.DataReady()) {
        m_lastReceive.store(now);
        m_lastPoll.store(now);
        taken = m_source.TakeReceived();
    } else {
        m_lastPoll.store(now);
    }
    const int width = m_pageWidth.load();
    const DisplayPass::Repaint repaint = m_cutter.Pass(taken, m_byteSize.load(), width);
    *more = m_cutter.NeedsPass(width);
    if (repaint == DisplayPass::Repaint::kNone)
        return;

    bool post = false;
    {
        MutexLock hold(m_mutex);
        post = m_due == DisplayPass::Repaint::kNone;
        if (repaint > m_due)
            m_due = repaint;
    }
    if (post && m_repaint)
        m_repaint();
}
