#pragma once
// Hands each reported contact to the operator's logging program: one
// LoggedAdifMessage datagram to "Options" "LoggerAddress" : "LoggerPort"
// (default 127.0.0.1:2237) while "LoggerUDP" is on (default off). The
// settings are read at each report. Sending never waits and never complains:
// a logger that is not running, an address that is no numeric IP address,
// a network that refuses the datagram all cost nothing and show nothing.
// User-interface thread only.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <QHostAddress>

class CVELTRANDoc;
class QUdpSocket;
class SettingsStore;

class LoggerUdp {
public:
    LoggerUdp();
    ~LoggerUdp();
    LoggerUdp(const LoggerUdp&) = delete;
    LoggerUdp& operator=(const LoggerUdp&) = delete;

    // After the Report command built `record` (ADIF or plain, as "UseADIF"
    // chose): sends the contact as ADIF, building the ADIF record when the
    // log file took the plain layout. Does nothing at all while off.
    void SendReport(CVELTRANDoc& doc, const std::string& record);
    // Sends an ADIF record as it is (while on).
    void Send(const SettingsStore& settings, std::string_view adifRecord);

    // A numeric IPv4 or IPv6 address ("localhost" taken as 127.0.0.1); no
    // name lookup, which could block.
    static std::optional<QHostAddress> ParseAddress(const std::string& text);

private:
    std::unique_ptr<QUdpSocket> m_socket;  // made at the first send
};
