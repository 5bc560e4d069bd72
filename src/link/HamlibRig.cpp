#include "link/HamlibRig.h"

#include "link/HamlibGlobal.h"

#include <hamlib/rig.h>

#include <cmath>
#include <utility>

namespace {

// Hamlib's text for an error code, without its trailing line break.
std::string ErrorText(int code)
{
    const char* text = rigerror2(code);
    std::string out = text ? text : "";
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
        out.pop_back();
    return out.empty() ? std::string("Rig error ") + std::to_string(code) : out;
}

// An error of the rig's link, as opposed to a question this model can't answer.
bool IsFault(int code)
{
    return code != RIG_OK && code != -RIG_ENAVAIL && code != -RIG_ENIMPL;
}

void SetConf(RIG* rig, const char* name, const std::string& value)
{
    const token_t token = rig_token_lookup(rig, name);
    if (token != RIG_CONF_END)
        rig_set_conf(rig, token, value.c_str());
}

}  // namespace

struct HamlibRig::Session {
    RIG* rig = nullptr;
    bool open = false;

    ~Session()
    {
        Close();
        if (rig)
            rig_cleanup(rig);
    }
    void Close()
    {
        if (open)
            rig_close(rig);
        open = false;
    }
};

HamlibRig::HamlibRig(HamlibRigConfig config) : m_config(std::move(config))
{
    m_reading.down = true;
    m_reading.reason = "Connecting";
    {
        MutexLock global(HamlibGlobalMutex());
        QuietHamlib();
    }
    m_thread = std::thread(&HamlibRig::Run, this);
}

HamlibRig::~HamlibRig()
{
    {
        MutexLock lock(m_mutex);
        m_stop = true;
    }
    m_wake.NotifyAll();
    m_pttServed.NotifyAll();
    if (m_thread.joinable())
        m_thread.join();
}

RigReading HamlibRig::Reading() const
{
    MutexLock lock(m_mutex);
    return m_reading;
}

bool HamlibRig::WaitFirstOpen(std::chrono::milliseconds limit) const
{
    MutexLock lock(m_mutex);
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!m_bTried && m_tried.WaitUntil(lock, until)) {
    }
    return m_bTried && !m_reading.down;
}

uint64_t HamlibRig::AskPtt(bool on)
{
    m_pttWanted = on;
    m_pttPending = true;
    m_pttUsed = true;
    m_wake.NotifyAll();
    return ++m_pttAsked;
}

void HamlibRig::SetPtt(bool on)
{
    MutexLock lock(m_mutex);
    AskPtt(on);
}

bool HamlibRig::SetPttConfirmed(bool on, std::string& failure)
{
    MutexLock lock(m_mutex);
    if (m_bTried && m_reading.down) {
        // Nothing to wait for. The rig ends released when it answers again.
        AskPtt(false);
        failure = m_reading.reason;
        return false;
    }
    const uint64_t request = AskPtt(on);
    const auto until = std::chrono::steady_clock::now() + PttConfirmLimit();
    while (m_pttDone.request < request && !m_stop && m_pttServed.WaitUntil(lock, until)) {
    }
    if (m_pttDone.request == request) {
        failure = m_pttDone.reason;
        return m_pttDone.ok;
    }
    if (m_pttDone.request > request) {
        // Overtaken by a later request before the rig got to this one.
        if (m_pttDone.ok && m_pttDone.on == on)
            return true;
        failure = m_pttDone.ok ? "PTT was asked otherwise meanwhile" : m_pttDone.reason;
        return false;
    }
    failure = "the rig did not confirm PTT " + std::string(on ? "on" : "off") + " within " +
              std::to_string(PttConfirmLimit().count()) + " ms";
    // The link goes on as if unkeyed, so the rig must not key late.
    if (on && m_pttAsked == request)
        AskPtt(false);
    return false;
}

int HamlibRig::ServePtt(Session& s)
{
    const bool on = m_pttWanted;
    const uint64_t request = m_pttAsked;
    m_pttPending = false;
    m_mutex.unlock();
    const int code = rig_set_ptt(s.rig, RIG_VFO_CURR, on ? RIG_PTT_ON : RIG_PTT_OFF);
    m_mutex.lock();
    m_pttDone = PttOutcome{request, on, code == RIG_OK, code == RIG_OK ? std::string() : FaultText(code)};
    if (code == RIG_OK) {
        m_reading.pttOn = on;
    } else if (on && m_pttAsked == request) {
        // Refused or unanswered: the radio may have keyed anyway (only its
        // answer lost), so it is released, when it answers again if need be.
        AskPtt(false);
    }
    m_pttServed.NotifyAll();
    return code;
}

void HamlibRig::FailWaitingPtt()
{
    if (m_pttDone.request >= m_pttAsked)
        return;
    const bool on = m_pttWanted;
    m_pttDone = PttOutcome{m_pttAsked, on, false, m_reading.reason};
    if (on)
        AskPtt(false);
    m_pttServed.NotifyAll();
}

std::string HamlibRig::FaultText(int code) const
{
    const std::string& where = m_config.cm108Ptt ? m_config.pttDevice : m_config.port;
    return (where.empty() ? std::string() : where + ": ") + ErrorText(code);
}

void HamlibRig::Run()
{
    Session s;
    {
        MutexLock global(HamlibGlobalMutex());
        s.rig = rig_init(static_cast<rig_model_t>(m_config.model));
    }
    if (!s.rig) {
        MutexLock lock(m_mutex);
        m_reading.reason = "Unknown rig model " + std::to_string(m_config.model);
        m_bTried = true;
        m_tried.NotifyAll();
        while (!m_stop)
            m_wake.Wait(lock);
        return;
    }
    SetConf(s.rig, "rig_pathname", m_config.port);
    if (m_config.serialBaud > 0)
        SetConf(s.rig, "serial_speed", std::to_string(m_config.serialBaud));
    SetConf(s.rig, "timeout", std::to_string(m_config.timeout.count()));
    SetConf(s.rig, "retry", "0");
    if (m_config.cm108Ptt) {
        SetConf(s.rig, "ptt_type", "CM108");
        SetConf(s.rig, "ptt_pathname", m_config.pttDevice);
    } else {
        SetConf(s.rig, "ptt_type", "RIG");
    }

    using Clock = std::chrono::steady_clock;
    Clock::time_point nextTick = Clock::now();
    bool modeDue = false;   // the poll's second call, after the frequency
    // The rig closed after a fault is opened again at the next tick.
    const auto fail = [this, &s, &nextTick, &modeDue](int code) REQUIRES(m_mutex) {
        CloseAfterFault(s, code);
        FailWaitingPtt();
        nextTick = Clock::now() + m_config.pollInterval;
        modeDue = false;
    };

    MutexLock lock(m_mutex);
    while (!m_stop) {
        if (!s.open) {
            if (Clock::now() < nextTick) {
                m_wake.WaitUntil(lock, nextTick);
                continue;
            }
            lock.Unlock();
            int code = rig_open(s.rig);
            if (code == RIG_OK) {
                s.open = true;
                rig_set_cache_timeout_ms(s.rig, HAMLIB_CACHE_ALL, 0);
            }
            lock.Lock();
            const bool first = !m_bTried;
            m_bTried = true;
            if (code != RIG_OK) {
                fail(code);
                if (first)
                    m_tried.NotifyAll();
                continue;
            }
            m_reading.down = false;
            m_reading.reason.clear();
            nextTick = Clock::now();
            // A rig that comes (back) gets the PTT state the link wants:
            // released at start-up, and after a loss whatever is current.
            if (m_pttUsed)
                m_pttPending = true;
            if (first)
                m_tried.NotifyAll();
        }
        if (m_pttPending) {
            // A model without CAT PTT refuses it without a fault: the rig
            // stays open, and nothing is keyed.
            if (const int code = ServePtt(s); IsFault(code))
                fail(code);
            continue;
        }
        if (modeDue) {
            modeDue = false;
            lock.Unlock();
            rmode_t mode = RIG_MODE_NONE;
            pbwidth_t width = 0;
            const int code = rig_get_mode(s.rig, RIG_VFO_CURR, &mode, &width);
            lock.Lock();
            if (IsFault(code))
                fail(code);
            else if (code == RIG_OK && mode != RIG_MODE_NONE)
                m_reading.mode = rig_strrmode(mode);
            continue;
        }
        if (m_config.poll && Clock::now() >= nextTick) {
            nextTick = Clock::now() + m_config.pollInterval;
            lock.Unlock();
            freq_t freq = 0;
            const int code = rig_get_freq(s.rig, RIG_VFO_CURR, &freq);
            lock.Lock();
            if (IsFault(code)) {
                fail(code);
                continue;
            }
            if (code == RIG_OK && freq > 0)
                m_reading.frequencyHz = static_cast<uint64_t>(std::llround(freq));
            modeDue = true;
            continue;
        }
        // Woken by a request or the stop; the loop looks at both again.
        if (m_config.poll)
            m_wake.WaitUntil(lock, nextTick);
        else
            m_wake.Wait(lock);
    }
    const bool release = m_pttUsed && s.open;
    lock.Unlock();
    if (release)
        rig_set_ptt(s.rig, RIG_VFO_CURR, RIG_PTT_OFF);
    s.Close();
    MutexLock global(HamlibGlobalMutex());
    rig_cleanup(s.rig);
    s.rig = nullptr;
}

void HamlibRig::CloseAfterFault(Session& s, int code)
{
    m_mutex.unlock();
    s.Close();
    m_mutex.lock();
    m_reading.down = true;
    m_reading.reason = FaultText(code);
}
