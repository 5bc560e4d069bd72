#include "link/SimulatedTnc.h"

#include "link/SimulatedRttyStatus.h"

#include <cctype>
#include <sstream>

namespace {

constexpr const char* kCrLf = "\r\n";

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

std::string SimulatedTnc::SignOn() const
{
    return std::string(kCrLf) + "VELTRAN simulated modem controller 1.2" + kCrLf + kPrompt;
}

std::string SimulatedTnc::Input(std::string_view bytes)
{
    std::string out;
    for (char ch : bytes) {
        if (ch == '\r') {
            out += kCrLf;
            out += Run(m_strLine);
            out += kPrompt;
            m_strLine.clear();
        } else if (ch == '\n' || ch == '\0') {
            continue;
        } else if (ch == '\b' || ch == 0x7f) {
            if (!m_strLine.empty()) {
                m_strLine.pop_back();
                out += "\b \b";
            }
        } else {
            m_strLine += ch;
            out += ch;
        }
    }
    return out;
}

std::string SimulatedTnc::Run(const std::string& line)
{
    std::istringstream in(line);
    std::string command, argument, extra;
    in >> command >> argument >> extra;
    command = Upper(command);
    argument = Upper(argument);
    if (command.empty())
        return {};
    if (command == "HELP")
        return std::string("Commands: HELP VERSION MYCALL [call] MODE [RTTY|ASCII] STATUS") + kCrLf;
    if (command == "VERSION")
        return std::string("VELTRAN simulated modem controller 1.2") + kCrLf;
    if (command == "MYCALL") {
        if (!argument.empty() && extra.empty() && argument.size() <= 12)
            m_strMyCall = argument;
        else if (!argument.empty())
            return std::string("?bad call sign") + kCrLf;
        return "MYCALL " + m_strMyCall + kCrLf;
    }
    if (command == "MODE") {
        if (argument == "RTTY" || argument == "ASCII")
            m_strMode = argument;
        else if (!argument.empty())
            return "?bad mode " + argument + kCrLf;
        return "MODE " + m_strMode + kCrLf;
    }
    if (command == "STATUS")
        return SimulatedRttyStatus::Current().Line() + kCrLf;
    return "?unknown command " + command + kCrLf;
}
