// Each report handed to a logger over UDP: the datagram read back byte for
// byte by a listener on a loopback port, and nothing at all while off.
#include "app/LoggerUdp.h"
#include "app/MemorySettingsStore.h"

#include <gtest/gtest.h>

#include <QNetworkDatagram>
#include <QUdpSocket>

namespace {

class LoggerUdpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(listener.bind(QHostAddress(QHostAddress::LocalHost), 0));
        settings.Put(keys::LoggerPort, listener.localPort());
    }
    QByteArray Receive()
    {
        if (!listener.hasPendingDatagrams() && !listener.waitForReadyRead(5000))
            return {};
        return listener.receiveDatagram().data();
    }

    QUdpSocket listener;
    MemorySettingsStore settings;
    LoggerUdp logger;
};

QByteArray Bytes(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (int b : bytes)
        out.append(static_cast<char>(b));
    return out;
}

}  // namespace

TEST_F(LoggerUdpTest, ReportGoesAsOneLoggedAdifDatagram)
{
    settings.Put(keys::LoggerUdp, 1);
    logger.Send(settings, "<call:6>DL\xC9" "ABC<eor>");  // one Latin-1 letter
    const QByteArray adif =
        "VELTRAN contact\n<adif_ver:5>3.1.4\n<programid:7>VELTRAN\n<eoh>\n<call:6>DL\xC3\x89" "ABC<eor>\n";
    const QByteArray expected = Bytes({0xAD, 0xBC, 0xCB, 0xDA, 0, 0, 0, 2, 0, 0, 0, 12, 0, 0, 0, 7}) + "VELTRAN" +
                                Bytes({0, 0, 0, static_cast<int>(adif.size())}) + adif;
    EXPECT_EQ(Receive().toHex(' '), expected.toHex(' '));
}

TEST_F(LoggerUdpTest, NothingIsSentWhileOffOrToAnAddressThatIsNoIpAddress)
{
    logger.Send(settings, "<call:3>OFF<eor>");  // off by default
    settings.Put(keys::LoggerUdp, 1);
    settings.Put(keys::LoggerAddress, "logger.example");  // would need a blocking lookup
    logger.Send(settings, "<call:4>NAME<eor>");
    settings.Put(keys::LoggerAddress, "localhost");
    logger.Send(settings, "<call:2>ON<eor>");
    // Loopback keeps the order: the first datagram to arrive is the last one sent.
    EXPECT_TRUE(Receive().endsWith("<call:2>ON<eor>\n"));
    EXPECT_FALSE(listener.hasPendingDatagrams());
}
