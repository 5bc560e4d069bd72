#pragma once
// The program options the Options dialog edits ("Options" and "UseLocal" of
// "Settings"), loaded with their defaults when it opens and written back in a
// fixed order. "Use Zulu Time" is "UseLocal" inverted.
#include <string>

class SettingsStore;

struct OptionsSettings {
    int m_bSplash = 0;
    int m_bXRMerge = 0;
    std::string m_strEditor;
    int m_bZulu = 0;
    int m_bEchoImport = 0;
    int m_bAutoCaps = 0;
    int m_bInitLogo = 0;
    int m_nPrompt = -1;  // 0 "&Date", 1 "Time", 2 "%", 3 ">", 4 "None"; -1 no button
    int m_bUseADIF = 0;
    // Ours: each report also sent to a logger over UDP (LoggerUdp.h).
    int m_bLoggerUdp = 0;
    std::string m_strLoggerAddress;
    int m_nLoggerPort = 0;

    // A stored "Prompt" outside 0..4 loads as -1 (no button selected).
    static OptionsSettings Read(const SettingsStore& settings);
    // Writes "Splash", "XRMerge", "Prompt", "UseLocal" (section "Settings", 1
    // when Zulu is off), "EchoImport", "AutoCaps", "InitLogo", "UseADIF", in
    // that order, then the logger's "LoggerUDP", "LoggerAddress" and
    // "LoggerPort". "Editor" is not among them: it is written only once found.
    void WriteChecks(SettingsStore& settings) const;
    // False when the logger is on and its address is no numeric IP address
    // or its port is outside 1..65535.
    bool LoggerValid() const;
};
