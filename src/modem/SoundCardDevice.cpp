#include "modem/SoundCardDevice.h"

#include "modem/AudioTap.h"
#include "modem/ProgramLiveAudio.h"
#include "modem/PttLineFor.h"

#include <cerrno>

namespace {

std::string Named(const std::string& device)
{
    return device.empty() ? std::string("(the default)") : device;
}

}  // namespace

SoundCardDevice::SoundCardDevice(std::string value, bool usos, PttFactory pttFor)
    : m_value(std::move(value)), m_usosSetting(usos), m_pttFor(pttFor ? std::move(pttFor) : PttFactory(PttLineFor))
{
}

SoundCardDevice::~SoundCardDevice()
{
    Close();
}

bool SoundCardDevice::Fail(int error, std::string text)
{
    m_nOpenError = error;
    m_strOpenError = std::move(text);
    return false;
}

bool SoundCardDevice::Open(const LineSettings& settings)
{
    Close();
    m_nOpenError = 0;
    m_strOpenError.clear();
    AudioDeviceValue value;
    if (!ParseAudioDeviceValue(m_value, value) || !value.card)
        return Fail(EINVAL, "not a sound-card device value");
    const RttyParams params = RttyParamsForLine(settings, value, m_usosSetting);
    if (!params.Valid())
        return Fail(EINVAL, "the speed, tones or framing are out of range");
    LiveAudioBackend* backend = ProgramLiveAudio();
    if (!backend)
        return Fail(ENODEV, kNoServer);

    // The PTT line first: it must be low before any stream can play.
    std::string error;
    std::unique_ptr<PttLine> ptt = m_pttFor(value);
    if (!ptt->Open(error))
        return Fail(ENODEV, error);
    std::unique_ptr<CaptureStream> capture = backend->OpenCapture(value.capture, kRate, error);
    if (!capture) {
        ptt->Close();
        return Fail(ENODEV, "capture device " + Named(value.capture) + ": " + error);
    }
    std::unique_ptr<PlaybackStream> playback = backend->OpenPlayback(value.playback, kRate, error);
    if (!playback) {
        ptt->Close();
        return Fail(ENODEV, "playback device " + Named(value.playback) + ": " + error);
    }

    {
        MutexLock lock(m_mutex);
        ResetForOpen(params, Clock::now());
        m_tx.ResetLive(params, kRate, playback.get());
        m_downReason.clear();
    }
    m_pttName = value.pttDevice;
    m_rxParams = params;
    m_demod = std::make_unique<RttyDemodulator>(params, kRate);
    m_rxUsos.Reset();
    m_ptt = std::move(ptt);
    m_capture = std::move(capture);
    m_playback = std::move(playback);
    RttyAudioTap().Open(kRate, params.MarkTone(), params.SpaceTone());
    m_bTapOpen = true;

    const auto onDown = [this](const std::string& reason) { OnDown(reason); };
    if (!m_playback->Start([this](float* out, size_t n) { OnFill(out, n); }, onDown, error)) {
        Close();
        return Fail(ENODEV, "playback device " + Named(value.playback) + ": " + error);
    }
    if (!m_capture->Start([this](const float* s, size_t n) { OnCapture(s, n); }, onDown, error)) {
        Close();
        return Fail(ENODEV, "capture device " + Named(value.capture) + ": " + error);
    }
    return true;
}

void SoundCardDevice::Close()
{
    {
        MutexLock lock(m_mutex);
        m_bStop = true;
        m_bOpen = false;
        m_bPtt = false;
        m_tx.SetKeyed(false);
        m_changed.NotifyAll();
    }
    {
        // Released first, whatever the streams do while they stop.
        MutexLock key(m_keyMutex);
        if (m_ptt)
            m_ptt->Set(false);
    }
    if (m_capture)
        m_capture->Stop();
    if (m_playback)
        m_playback->Stop();
    {
        MutexLock lock(m_mutex);
        m_tx.Close();
    }
    if (m_ptt)
        m_ptt->Close();
    m_capture.reset();
    m_playback.reset();
    m_ptt.reset();
    m_demod.reset();
    if (m_bTapOpen)
        RttyAudioTap().Close();
    m_bTapOpen = false;
}

void SoundCardDevice::OnCapture(const float* samples, size_t count)
{
    AudioTap& tap = RttyAudioTap();
    tap.Push(samples, count);
    if (const std::optional<double> mark = tap.TakeMarkRequest()) {
        // The operator asks for the mark tone as heard; with reverse the
        // nominal mark sits one shift below it.
        RttyParams p = m_rxParams;
        p.markHz = p.reverse ? *mark - p.shiftHz : *mark;
        if (p.Valid()) {
            m_rxParams = p;
            m_demod = std::make_unique<RttyDemodulator>(p, kRate);
            MutexLock lock(m_mutex);
            m_tx.Retune(p);
        }
        tap.SetTones(m_rxParams.MarkTone(), m_rxParams.SpaceTone());
    }
    if (m_ptt->IsDown()) {
        OnDown(m_pttName.empty() ? std::string("the PTT line has gone away")
                                 : "the PTT device " + m_pttName + " has gone away");
        return;
    }
    m_demod->Process(samples, count);
    const std::vector<DecodedChar> chars = m_demod->Take();
    if (chars.empty())
        return;
    MutexLock lock(m_mutex);
    if (!m_bOpen)
        return;
    for (const DecodedChar& c : chars) {
        const uint8_t code = static_cast<uint8_t>(c.code);
        if (m_rxParams.usos) {
            std::string codes;
            m_rxUsos.Receive(code, codes);
            m_rx.insert(m_rx.end(), codes.begin(), codes.end());
        } else {
            m_rx.push_back(code);
        }
    }
    m_changed.NotifyAll();
}

void SoundCardDevice::OnFill(float* out, size_t count)
{
    MutexLock lock(m_mutex);
    if (m_tx.Fill(out, count))
        m_changed.NotifyAll();   // the drain's time is known now
}

void SoundCardDevice::OnDown(const std::string& reason)
{
    // PTT is released before the port is seen down, under m_keyMutex so
    // that no SetRts can key it again in between.
    MutexLock key(m_keyMutex);
    {
        MutexLock lock(m_mutex);
        m_bPtt = false;
        m_tx.SetKeyed(false);
    }
    m_ptt->Set(false);
    MutexLock lock(m_mutex);
    if (m_bOpen && !m_bDown) {
        m_bDown = true;
        m_downReason = reason;
    }
    m_changed.NotifyAll();
}

size_t SoundCardDevice::Write(const uint8_t* data, size_t len, uint32_t)
{
    MutexLock lock(m_mutex);
    if (!m_tx.Write(data, len, Clock::now()) || !m_bOpen || m_bDown)
        return 0;
    m_changed.NotifyAll();
    return len;
}

std::chrono::microseconds SoundCardDevice::OutputLead() const
{
    // The stream is made in Open and released in Close, neither of which
    // runs while the link's threads (the callers) do.
    return m_playback ? m_playback->Latency() : std::chrono::microseconds{};
}

void SoundCardDevice::SetRts(bool on)
{
    // m_keyMutex orders this against a device going down: once down, PTT
    // stays released.
    MutexLock key(m_keyMutex);
    if (on) {
        {
            MutexLock lock(m_mutex);
            if (!m_bOpen || m_bDown || !m_ptt)
                return;
        }
        // The radio is keyed before the first sample can play.
        m_ptt->Set(true);
        MutexLock lock(m_mutex);
        m_bPtt = true;
        m_tx.SetKeyed(true);
        m_changed.NotifyAll();
        return;
    }
    {
        MutexLock lock(m_mutex);
        m_bPtt = false;
        m_tx.SetKeyed(false);
        m_changed.NotifyAll();
    }
    if (m_ptt)
        m_ptt->Set(false);
}

std::string SoundCardDevice::DownReason() const
{
    MutexLock lock(m_mutex);
    return m_downReason;
}

bool SoundCardDevice::KeyPtt(bool on)
{
    // m_ptt is made in Open and released in Close, neither of which runs
    // while the link keys. The line's confirmation is waited for without
    // m_keyMutex, so a device going down meanwhile (a stream's thread) is
    // never held up by a slow rig: it releases the line itself, and is seen
    // below.
    if (!on) {
        {
            MutexLock lock(m_mutex);
            m_bPtt = false;
            m_tx.SetKeyed(false);
            m_pttFailure.clear();
            m_changed.NotifyAll();
        }
        if (!m_ptt || m_ptt->SetConfirmed(false))
            return true;
        MutexLock lock(m_mutex);
        m_pttFailure = m_ptt->FailureText();
        return false;
    }
    {
        MutexLock lock(m_mutex);
        if (!m_bOpen || m_bDown || !m_ptt) {
            m_pttFailure = m_bDown ? m_downReason : std::string("the port is not open");
            return false;
        }
    }
    const bool keyed = m_ptt->SetConfirmed(true);
    MutexLock key(m_keyMutex);
    {
        MutexLock lock(m_mutex);
        if (keyed && m_bOpen && !m_bDown) {
            // The radio is keyed before the first sample can play.
            m_bPtt = true;
            m_tx.SetKeyed(true);
            m_pttFailure.clear();
            m_changed.NotifyAll();
            return true;
        }
        m_pttFailure = m_bDown ? m_downReason : !keyed ? m_ptt->FailureText() : std::string("the port was closed");
    }
    // Down before the line was keyed: the release it made came too early.
    if (keyed)
        m_ptt->Set(false);
    return false;
}

std::string SoundCardDevice::PttFailureText() const
{
    MutexLock lock(m_mutex);
    return m_pttFailure;
}
