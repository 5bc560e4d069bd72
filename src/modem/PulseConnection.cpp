#include "modem/PulseConnection.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/rtclock.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>
#include <pulse/timeval.h>

#include <pthread.h>
#include <sched.h>

namespace {

// On the mainloop thread, once: real-time priority where the system allows
// it (root, or a raised RLIMIT_RTPRIO), just below the server's usual 5, so
// a busy machine does not make a playback stream run dry. Elsewhere the
// thread keeps its normal priority.
void PreferRealTime(pa_mainloop_api*, void*)
{
    sched_param param{};
    param.sched_priority = 4;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

}  // namespace

PulseConnection::PulseConnection(std::string server)
    : m_server(std::move(server))
{
}

PulseConnection::~PulseConnection()
{
    Close();
}

PulseConnection::Lock::Lock(const PulseConnection& c)
    : m_loop(c.m_loop)
{
    if (m_loop)
        pa_threaded_mainloop_lock(m_loop);
}

PulseConnection::Lock::~Lock()
{
    if (m_loop)
        pa_threaded_mainloop_unlock(m_loop);
}

bool PulseConnection::Connect(std::chrono::milliseconds timeout, std::string& error)
{
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop) {
        error = "The sound server's client library could not start";
        return false;
    }
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "VELTRAN");
    if (!m_context) {
        error = "The sound server's client library could not start";
        Close();
        return false;
    }
    pa_context_set_state_callback(m_context, &PulseConnection::OnContextState, this);
    // Runs first thing on the mainloop thread; queued before it starts, so
    // no lock is needed.
    pa_mainloop_api_once(pa_threaded_mainloop_get_api(m_loop), &PreferRealTime, nullptr);
    if (pa_context_connect(m_context, m_server.empty() ? nullptr : m_server.c_str(), PA_CONTEXT_NOAUTOSPAWN,
                           nullptr) < 0
        || pa_threaded_mainloop_start(m_loop) < 0) {
        error = "No sound server: " + LastError();
        Close();
        return false;
    }
    if (!Wait([this] { return m_bReady.load() || m_bFailed.load(); }, timeout) || !m_bReady) {
        error = m_bFailed ? "No sound server: " + LastError() : std::string("The sound server does not answer");
        Close();
        return false;
    }
    return true;
}

void PulseConnection::Close()
{
    if (!m_loop)
        return;
    m_bClosing = true;
    {
        Lock lock(*this);
        if (m_timer) {
            pa_threaded_mainloop_get_api(m_loop)->time_free(m_timer);
            m_timer = nullptr;
        }
        if (m_context) {
            pa_context_set_state_callback(m_context, nullptr, nullptr);
            pa_context_disconnect(m_context);
        }
    }
    // Joins the mainloop thread (a no-op when it never started).
    pa_threaded_mainloop_stop(m_loop);
    if (m_context)
        pa_context_unref(m_context);
    m_context = nullptr;
    pa_threaded_mainloop_free(m_loop);
    m_loop = nullptr;
}

bool PulseConnection::Wait(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_waitMutex);
    return m_wake.wait_for(lock, timeout, done);
}

void PulseConnection::Notify()
{
    { std::lock_guard lock(m_waitMutex); }
    m_wake.notify_all();
}

void PulseConnection::StartTimer(std::chrono::microseconds period, std::function<void()> tick)
{
    m_period = period;
    m_tick = std::move(tick);
    m_timer = pa_context_rttime_new(m_context, pa_rtclock_now() + static_cast<pa_usec_t>(period.count()),
                                    &PulseConnection::OnTimer, this);
}

std::string PulseConnection::StreamOpenError(bool refused, bool made) const
{
    if (!refused)
        return "the sound server does not answer";
    if (made && pa_context_errno(m_context) == PA_ERR_NOENTITY)
        return "no such device";
    return LastError();
}

const char* PulseConnection::StreamDownReason(pa_stream* s, const char* deviceWent)
{
    return pa_context_get_state(pa_stream_get_context(s)) == PA_CONTEXT_READY ? deviceWent : "Lost the sound server";
}

std::string PulseConnection::LastError() const
{
    return m_context ? pa_strerror(pa_context_errno(m_context)) : "unknown error";
}

void PulseConnection::OnContextState(pa_context* c, void* self)
{
    auto* me = static_cast<PulseConnection*>(self);
    switch (pa_context_get_state(c)) {
    case PA_CONTEXT_READY:
        me->m_bReady = true;
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        me->m_bFailed = true;
        if (me->m_bReady && !me->m_bClosing && me->m_onLost && !me->m_bLostReported.exchange(true))
            me->m_onLost("Lost the sound server: " + std::string(pa_strerror(pa_context_errno(c))));
        break;
    default:
        return;
    }
    me->Notify();
}

void PulseConnection::OnTimer(pa_mainloop_api*, pa_time_event* e, const struct timeval*, void* self)
{
    auto* me = static_cast<PulseConnection*>(self);
    if (me->m_tick)
        me->m_tick();
    if (me->m_context && e == me->m_timer)
        pa_context_rttime_restart(me->m_context, e, pa_rtclock_now() + static_cast<pa_usec_t>(me->m_period.count()));
}
