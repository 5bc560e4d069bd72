// Macro, tape and report commands wired into the panes, over the simulated
// modem: a tape's stop-transmit waits for the drain while the window keeps
// running, Receive ends such a wait, the Send commands follow their files,
// and the TNC startup tape is sent when the panes are ready.
#include "TransmitFakes.h"

#include "app/CVELTRANApp.h"
#include "app/CommandTable.h"
#include "link/SharedPortDevice.h"
#include "link/SimulatedModem.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView2.h"
#include "views/widgets/CVELTRANView3.h"
#include "views/widgets/SendWiring.h"
#include "views/widgets/TransmitSends.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include "support/ModalDriver.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

// Runs the event loop until `done` holds or a generous safety limit passes.
template <class Pred>
bool RunUntil(Pred done, int limitMs = 20000)
{
    QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

std::string Written(const SimulatedModem& modem)
{
    std::string all;
    for (const std::string& w : modem.Writes())
        all += w;
    return all;
}

void WriteFile(const std::string& name, const std::string& content)
{
    std::ofstream out(name, std::ios::binary);
    out << content;
}

std::string ReadFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class TransmitSendsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        old = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir.path()));
        settings.Put(keys::RTTYPort, 1);
        settings.Put(keys::RTTYType, 8);
        settings.Put(keys::RTTYBaud, 110);
        settings.Put(keys::Diddle, 0);
        settings.Put(keys::WordMode, 0);
        settings.PutText("Devices", "COM1", "sim:quiet");
        settings.PutText("Devices", "COM2", "sim:quiet");
    }
    void TearDown() override
    {
        tnc.reset();
        tv.reset();
        rv.reset();
        QDir::setCurrent(old);
    }
    void Make(bool withTnc = false)
    {
        rv = std::make_unique<CVELTRANView>(app, doc, status);
        rv->Link().Connect(false);
        rv->Link().SetDeviceOpener([m = modem](int) -> std::unique_ptr<PortDevice> {
            return std::make_unique<SharedPortDevice>(m);
        });
        rv->ApplyPortSettings();
        tv = std::make_unique<CVELTRANView3>(app, doc, status);
        if (withTnc) {
            tnc = std::make_unique<CVELTRANView2>(app, doc, status);
            tnc->Link().Connect(false);
            tnc->Link().SetDeviceOpener([m = tncModem](int) -> std::unique_ptr<PortDevice> {
                return std::make_unique<SharedPortDevice>(m);
            });
            tnc->ApplyPortSettings();
            WireSendsAndTapes(app, doc, *tv, *tnc);
            sends = tv->findChild<TransmitSends*>();
        } else {
            sends = TransmitSends::Install(app, doc, *tv);
        }
        tv->resize(400, 200);
        QCoreApplication::processEvents();  // the panes become ready
    }
    CommandState State(int id)
    {
        CommandState state;
        EXPECT_TRUE(tv->OnUpdateCommand(id, state)) << id;
        return state;
    }
    const LineList& History() const { return doc.GetList(CVELTRANDoc::kTransmitList); }

    QTemporaryDir dir;
    QString old;
    MemorySettingsStore settings;
    CVELTRANDoc doc{settings};
    CVELTRANApp app{settings};
    txfake::Status status;
    std::shared_ptr<SimulatedModem> modem = std::make_shared<SimulatedModem>("quiet");
    std::shared_ptr<SimulatedModem> tncModem = std::make_shared<SimulatedModem>("quiet");
    std::unique_ptr<CVELTRANView> rv;
    std::unique_ptr<CVELTRANView3> tv;
    std::unique_ptr<CVELTRANView2> tnc;
    TransmitSends* sends = nullptr;
};

}  // namespace

TEST_F(TransmitSendsTest, EveryStartOfATransmissionRefusesAnRttyPortThatIsDown)
{
    WriteFile("TAPECQ.TXT", "^WCQ CQ\r\n");
    settings.PutText("Settings", "F2", "^WDE TEST");
    settings.Put(keys::CharMode, 1);   // where a macro's Ctrl-W acts
    Make();
    // The device is missing: the port stays closed.
    rv->Link().Connect(false);
    rv->Link().SetDeviceOpener([](int) -> std::unique_ptr<PortDevice> { return nullptr; });
    rv->ApplyPortSettings();
    ASSERT_FALSE(rv->Link().IsOpen());
    for (int id : {ID_TOOLS_TRANSMIT, ID_TOOLS_SEND_RECEIVE, ID_SEND_CQ, ID_MACRO_F2}) {
        status.messages.clear();
        ASSERT_TRUE(tv->OnCommand(id)) << id;
        ASSERT_TRUE(RunUntil([&] { return !sends->Queue().Busy(); })) << id;
        EXPECT_EQ(rv->Link().m_bKeyed.load(), 0u) << id;
        EXPECT_EQ(rv->Link().m_bTxActive.load(), 0u) << id;
        EXPECT_EQ(status.LastAuto(), "RXD      ") << id;
        ASSERT_FALSE(status.messages.empty()) << id;
        EXPECT_EQ(status.messages.back().rfind("RTTY port COM1 is down: sim:quiet: ", 0), 0u)
            << status.messages.back();
    }
}

TEST_F(TransmitSendsTest, SendCommandsAreEnabledWhileTheirFilesExist)
{
    Make();
    EXPECT_FALSE(State(ID_SEND_CQ).enabled);
    EXPECT_FALSE(State(ID_SEND_BRAG).enabled);
    WriteFile("TAPEBRAG.TXT", "RIG\r\n");
    EXPECT_TRUE(State(ID_SEND_BRAG).enabled);
    EXPECT_FALSE(State(ID_SEND_EXCHANGE).enabled);
    EXPECT_TRUE(State(ID_MACRO_F2).enabled);
    EXPECT_TRUE(State(ID_FILE_REPORT).enabled);
}

TEST_F(TransmitSendsTest, StopTransmitInATapeReturnsToReceiveOnlyAfterTheDrain)
{
    WriteFile("TAPECQ.TXT", "^WCQ CQ\r\n^Q");
    Make();
    ASSERT_TRUE(modem->IsOpen());
    ASSERT_TRUE(tv->OnCommand(ID_SEND_CQ));

    // The command returns at once; the tape waits, keyed, while the window runs.
    EXPECT_TRUE(sends->Queue().Busy());
    EXPECT_TRUE(rv->Link().m_bTxActive.load());
    EXPECT_EQ(status.LastAuto(), "TXD      ");

    ASSERT_TRUE(RunUntil([&] { return !sends->Queue().Busy(); }));
    const auto returned = SimulatedModem::Clock::now();
    // Back in receive only once every byte has gone to the modem (after the
    // shift code that opens every transmission) and the last write has had
    // its time on the line.
    EXPECT_EQ(Written(*modem), "\x1f" "CQ CQ\r\n");
    const std::vector<SimEvent> log = modem->Log();
    const auto last = std::find_if(log.rbegin(), log.rend(),
                                   [](const SimEvent& e) { return e.kind == SimEvent::Kind::Write; });
    ASSERT_NE(last, log.rend());
    EXPECT_GE(returned - last->time, modem->CharTime() * static_cast<int>(last->bytes.size()));
    EXPECT_FALSE(rv->Link().m_bTxActive.load());
    EXPECT_EQ(status.LastAuto(), "RXD      ");
    EXPECT_EQ(History().back(), ">* Import Complete *(TAPECQ.TXT)");
}

TEST_F(TransmitSendsTest, ReceiveEndsTheWaitOfATransmitterThatHasNotDrained)
{
    const std::string text(200, 'R');
    WriteFile("TAPECQ.TXT", "^W" + text + "^Q\r\nAFTER\r\n");
    Make();
    ASSERT_TRUE(tv->OnCommand(ID_SEND_CQ));
    ASSERT_TRUE(sends->Queue().Busy());

    tv->OnCommand(ID_TOOLS_RECEIVE);
    ASSERT_TRUE(RunUntil([&] { return !sends->Queue().Busy(); }));
    EXPECT_LT(Written(*modem).size(), text.size());
    EXPECT_EQ(History().back(), ">* Import Complete *(TAPECQ.TXT)");
}

TEST_F(TransmitSendsTest, ClearTxBufferDropsTheRestOfAWaitingTape)
{
    WriteFile("TAPECQ.TXT", "^W" + std::string(200, 'R') + "^Q\r\nNEVER\r\n");
    Make();
    ASSERT_TRUE(tv->OnCommand(ID_SEND_CQ));
    ASSERT_TRUE(sends->Queue().Busy());

    tv->OnCommand(ID_TOOLS_CLEAR_TX_BUFFER);
    EXPECT_FALSE(sends->Queue().Busy());
    EXPECT_FALSE(rv->Link().m_bTxActive.load());
    EXPECT_EQ(rv->Link().TxQueueLength(), 0u);
    QTest::qWait(100);
    EXPECT_EQ(Written(*modem).find("NEVER"), std::string::npos);
    // Cancelled: no note line.
    EXPECT_TRUE(History().empty());
}

TEST_F(TransmitSendsTest, FunctionBarAndControlKeysSendTheirMacros)
{
    settings.PutText("Settings", "F2", "RYRY ");
    settings.PutText("Settings", "E", "DE ^C");
    settings.PutText("Settings", "C", "W1AW");
    Make();
    ASSERT_TRUE(tv->m_bPortOpen);
    ASSERT_TRUE(tv->OnCommand(ID_MACRO_F2));
    EXPECT_EQ(tv->TypeAheadLine().Line(), "RYRY ");
    QTest::keyClick(tv.get(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(tv->TypeAheadLine().Line(), "RYRY DE W1AW");
}

TEST_F(TransmitSendsTest, ReportAppendsTheAdifRecordOfAnAsciiContact)
{
    settings.PutText("Settings", "K", "DL0ABC");
    Make();
    ASSERT_TRUE(tv->OnCommand(ID_FILE_REPORT));
    ASSERT_TRUE(tv->OnCommand(ID_FILE_REPORT));
    const std::string log = ReadFile("REPORT.TXT");
    const size_t first = log.find("\r\n");
    ASSERT_NE(first, std::string::npos);
    const std::string line = log.substr(0, first);
    EXPECT_EQ(log, line + "\r\n" + line + "\r\n");
    EXPECT_EQ(line.rfind("<operator:0><call:6>DL0ABC<time_on:4:t>", 0), 0u) << line;
    EXPECT_NE(line.find("<band:3>10M<mode:4>RTTY<submode:4>ASCI<eor>"), std::string::npos) << line;
}

TEST_F(TransmitSendsTest, APlainReportStillReachesTheLoggerAsAdifWithTheRigsBand)
{
    QUdpSocket logger;
    ASSERT_TRUE(logger.bind(QHostAddress(QHostAddress::LocalHost), 0));
    settings.Put(keys::UseADIF, 0);
    settings.Put(keys::LoggerUdp, 1);
    settings.Put(keys::LoggerPort, logger.localPort());
    doc.SetReportFrequencySource([] { return std::optional<double>(14'085'000.0); });
    Make();
    ASSERT_TRUE(tv->OnCommand(ID_FILE_REPORT));
    EXPECT_EQ(ReadFile("REPORT.TXT").find('<'), std::string::npos);
    ASSERT_TRUE(logger.hasPendingDatagrams() || logger.waitForReadyRead(5000));
    const QByteArray datagram = logger.receiveDatagram().data();
    EXPECT_TRUE(datagram.contains("<band:3>20M<freq:9>14.085000<mode:4>RTTY")) << datagram.toStdString();
}

TEST_F(TransmitSendsTest, PlainReportExpandsTheTemplate)
{
    settings.Put(keys::UseADIF, 0);
    settings.Put(keys::RTTYType, 5);
    settings.Put(keys::RTTYBaud, 45);
    Make();
    ASSERT_TRUE(tv->OnCommand(ID_FILE_REPORT));
    const std::string log = ReadFile("REPORT.TXT");
    // Empty store: the blanks of the template, time, date and mode; no band.
    // Shape "  hhmmZ m-dd-yy    RTTY  \r\n" (the month may have one digit).
    auto digits = [&](size_t at, size_t n) {
        return at + n <= log.size() &&
               std::all_of(log.begin() + at, log.begin() + at + n, [](char c) { return c >= '0' && c <= '9'; });
    };
    const size_t month = log.find('-');
    ASSERT_TRUE(month == 9 || month == 10) << log;
    EXPECT_EQ(log.substr(0, 2), "  ") << log;
    EXPECT_TRUE(digits(2, 4) && log.substr(6, 2) == "Z " && digits(8, month - 8)) << log;
    EXPECT_TRUE(digits(month + 1, 2) && log[month + 3] == '-' && digits(month + 4, 2)) << log;
    EXPECT_EQ(log.substr(month + 6), "    RTTY  \r\n") << log;
}

TEST_F(TransmitSendsTest, TncStartupTapeIsSentWhenThePanesAreReady)
{
    WriteFile("TAPESTARTUPTNC.TXT", "MYCALL ^C\r\nMON ON\r\n");
    settings.PutText("Settings", "C", "W1AW");
    Make(true);
    ASSERT_TRUE(RunUntil([&] {
        const LineList& list = doc.GetList(CVELTRANDoc::kTncList);
        return !list.empty() && list.back() == ">>>* Import Complete *(TAPESTARTUPTNC.TXT)";
    }));
    const std::string expected = "MYCALL W1AW\r\nMON ON\r\n";
    ASSERT_TRUE(RunUntil([&] { return Written(*tncModem).size() >= expected.size(); }));
    EXPECT_EQ(Written(*tncModem), expected);
}

TEST_F(TransmitSendsTest, ReportOnALogLockedByAnotherProgramTellsTheOperatorAndKeepsTheLog)
{
    Make();
    WriteFile("REPORT.TXT", "earlier\r\n");
    const int other = ::open("REPORT.TXT", O_RDWR);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    QString shown;
    AnswerMessageBox(&shown);
    ASSERT_TRUE(tv->OnCommand(ID_FILE_REPORT));
    EXPECT_EQ(shown, "REPORT.TXT is locked by another program.");
    EXPECT_EQ(ReadFile("REPORT.TXT"), "earlier\r\n");
    ::close(other);
    ASSERT_TRUE(tv->OnCommand(ID_FILE_REPORT));
    EXPECT_EQ(ReadFile("REPORT.TXT").rfind("earlier\r\n<operator:", 0), 0u);
}
