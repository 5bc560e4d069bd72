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

void HamlibRig::SetPtt(bool on)
{
    {
        MutexLock lock(m_mutex);
        m_pttWanted = on;
        m_pttPending = true;
        m_pttUsed = true;
    }
    m_wake.NotifyAll();
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
    // The rig closed after a fault is opened again at the next tick.
    const auto fail = [this, &s, &nextTick](int code) REQUIRES(m_mutex) {
        CloseAfterFault(s, code);
        nextTick = Clock::now() + m_config.pollInterval;
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
            const bool on = m_pttWanted;
            m_pttPending = false;
            lock.Unlock();
            const int code = rig_set_ptt(s.rig, RIG_VFO_CURR, on ? RIG_PTT_ON : RIG_PTT_OFF);
            lock.Lock();
            if (code != RIG_OK)
                fail(code);
            else
                m_reading.pttOn = on;
            continue;
        }
        if (m_config.poll && Clock::now() >= nextTick) {
            nextTick = Clock::now() + m_config.pollInterval;
            lock.Unlock();
            freq_t freq = 0;
            rmode_t mode = RIG_MODE_NONE;
            pbwidth_t width = 0;
            const int code = rig_get_freq(s.rig, RIG_VFO_CURR, &freq);
            const int modeCode = IsFault(code) ? RIG_OK : rig_get_mode(s.rig, RIG_VFO_CURR, &mode, &width);
            lock.Lock();
            if (IsFault(code) || IsFault(modeCode)) {
                fail(IsFault(code) ? code : modeCode);
                continue;
            }
            if (code == RIG_OK && freq > 0)
                m_reading.frequencyHz = static_cast<uint64_t>(std::llround(freq));
            if (modeCode == RIG_OK && mode != RIG_MODE_NONE)
                m_reading.mode = rig_strrmode(mode);
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
    const std::string& where = m_config.cm108Ptt ? m_config.pttDevice : m_config.port;
    m_reading.reason = (where.empty() ? std::string() : where + ": ") + ErrorText(code);
}
