#pragma once
// The controller of the simulated modem, as the TNC port talks to it
// ("sim:tnc"): it echoes what is typed, and at each CR runs the line as a
// command and answers with its lines and the prompt "cmd:". Commands (any
// case, unambiguous abbreviations not accepted): HELP, VERSION, MYCALL
// [call], MODE [RTTY|ASCII], STATUS (the RTTY side). Anything else gets an
// error line. An empty line just gives the prompt again. LF is ignored (the
// terminal may send CR LF), backspace removes the last character typed.
//
// Not thread-safe: the modem calls it under its lock.
#include <string>
#include <string_view>

class SimulatedTnc {
public:
    static constexpr const char* kPrompt = "cmd:";

    // The sign-on text sent when the port opens.
    std::string SignOn() const;
    // Bytes from the terminal; returns what the controller sends back.
    std::string Input(std::string_view bytes);

    const std::string& MyCall() const { return m_strMyCall; }
    const std::string& Mode() const { return m_strMode; }

private:
    std::string Run(const std::string& line);

    std::string m_strLine;
    std::string m_strMyCall = "NOCALL";
    std::string m_strMode = "RTTY";
};
