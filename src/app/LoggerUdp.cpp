#include "app/LoggerUdp.h"

#include "app/CVELTRANDoc.h"
#include "app/LoggedAdifMessage.h"
#include "app/SettingsKeys.h"
#include "app/SettingsStore.h"

#include <QUdpSocket>

LoggerUdp::LoggerUdp() = default;
LoggerUdp::~LoggerUdp() = default;

std::optional<QHostAddress> LoggerUdp::ParseAddress(const std::string& text)
{
    const QString trimmed = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).trimmed();
    if (trimmed.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return QHostAddress(QHostAddress::LocalHost);
    QHostAddress address;
    if (!address.setAddress(trimmed))
        return std::nullopt;
    return address;
}

void LoggerUdp::SendReport(CVELTRANDoc& doc, const std::string& record)
{
    const SettingsStore& settings = doc.Settings();
    if (settings.Get(keys::LoggerUdp) == 0)
        return;
    if (settings.Get(keys::UseADIF) != 0) {
        Send(settings, record);
        return;
    }
    std::string adif;
    doc.BuildAdifRecord(adif);
    Send(settings, adif);
}

void LoggerUdp::Send(const SettingsStore& settings, std::string_view adifRecord)
{
    if (settings.Get(keys::LoggerUdp) == 0)
        return;
    const int port = settings.Get(keys::LoggerPort);
    const std::optional<QHostAddress> address = ParseAddress(settings.Get(keys::LoggerAddress));
    if (!address || port <= 0 || port > 65535)
        return;
    if (!m_socket)
        m_socket = std::make_unique<QUdpSocket>();
    const std::string datagram =
        LoggedAdifMessage::Encode(LoggedAdifMessage::kId, LoggedAdifMessage::AdifText(adifRecord));
    // A UDP send only hands the datagram to the system: it does not wait for
    // the logger, and its result (a refusal reported by the network) is of no
    // use to the operator.
    m_socket->writeDatagram(datagram.data(), static_cast<qint64>(datagram.size()), *address,
                            static_cast<quint16>(port));
}
