#include "frame/OptionsSettings.h"

#include "app/LoggerUdp.h"
#include "app/SettingsStore.h"

OptionsSettings OptionsSettings::Read(const SettingsStore& s)
{
    OptionsSettings o;
    o.m_bSplash = s.Get(keys::Splash) != 0;
    o.m_bXRMerge = s.Get(keys::XRMerge) != 0;
    o.m_strEditor = s.Get(keys::Editor);
    o.m_bZulu = s.Get(keys::UseLocal) == 0;
    o.m_bEchoImport = s.Get(keys::EchoImport) != 0;
    o.m_bAutoCaps = s.Get(keys::AutoCaps) != 0;
    o.m_bInitLogo = s.Get(keys::InitLogo) != 0;
    const int prompt = s.Get(keys::Prompt);
    o.m_nPrompt = prompt >= 0 && prompt <= 4 ? prompt : -1;
    o.m_bUseADIF = s.Get(keys::UseADIF) != 0;
    o.m_bLoggerUdp = s.Get(keys::LoggerUdp) != 0;
    o.m_strLoggerAddress = s.Get(keys::LoggerAddress);
    o.m_nLoggerPort = s.Get(keys::LoggerPort);
    return o;
}

void OptionsSettings::WriteChecks(SettingsStore& s) const
{
    s.Put(keys::Splash, m_bSplash ? 1 : 0);
    s.Put(keys::XRMerge, m_bXRMerge ? 1 : 0);
    s.Put(keys::Prompt, m_nPrompt);
    s.Put(keys::UseLocal, m_bZulu ? 0 : 1);
    s.Put(keys::EchoImport, m_bEchoImport ? 1 : 0);
    s.Put(keys::AutoCaps, m_bAutoCaps ? 1 : 0);
    s.Put(keys::InitLogo, m_bInitLogo ? 1 : 0);
    s.Put(keys::UseADIF, m_bUseADIF ? 1 : 0);
    s.Put(keys::LoggerUdp, m_bLoggerUdp ? 1 : 0);
    s.Put(keys::LoggerAddress, m_strLoggerAddress);
    s.Put(keys::LoggerPort, m_nLoggerPort);
}

bool OptionsSettings::LoggerValid() const
{
    return !m_bLoggerUdp ||
           (LoggerUdp::ParseAddress(m_strLoggerAddress).has_value() && m_nLoggerPort > 0 && m_nLoggerPort <= 65535);
}
