// Every return to receive that comes because the text is finished, on the
// simulated modem at 45 baud with RTS keying and idle fill on: RTS falls no
// earlier than 100 ms after the last stop bit of the last character written,
// and the final drain is never announced as idle fill. Real time, so only a
// few runs, with the phase of the looks varied.
#include "TransmitFakes.h"
#include "link/LinkTestSupport.h"
#include "support/KeyingMargin.h"

#include "app/CVELTRANApp.h"
#include "views/SerialLinkTransmit.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView3.h"
#include "views/widgets/TransmitSends.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <thread>
#include <utility>

using namespace std::chrono_literals;

namespace {

// How often RTS fell after having risen.
int RtsFalls(const std::vector<SimEvent>& log)
{
    bool up = false;
    int falls = 0;
    for (const SimEvent& e : log) {
        if (e.kind != SimEvent::Kind::Rts)
            continue;
        falls += up && !e.level;
        up = e.level;
    }
    return falls;
}

bool RtsFellAfterRising(const std::vector<SimEvent>& log)
{
    return RtsFalls(log) > 0;
}

bool Announced(const txfake::Status& status)
{
    return std::find(status.diddle.begin(), status.diddle.end(), "Diddle") != status.diddle.end();
}

// The receive view as the transmit rules see it, over a live link.
class LiveReceive : public ReceiveSide {
public:
    explicit LiveReceive(SerialLink& link) : m_link(link) {}
    TransmitLink& Link() override { return m_link; }
    void SetTxEcho(const std::string&) override {}
    void ClearDeadmanCount() override {}
    uint32_t LastReceiveTick() const override { return 0; }
    bool DisplayRunning() const override { return true; }
    void TakeCompletedLines() override {}
    void Repaint() override {}
    void ScrollToNewest() override {}

private:
    SerialLinkTransmit m_link;
};

}  // namespace

// Send/Receive, with idle fill and without: the timer step looks far more
// often than once a second, at varied phases, so a rule that mistook the end
// of the text for idle fill would be caught at its worst moment. Until RTS
// falls the transmission stays active (Manual never acts as Auto).
TEST(UnkeyPaths, SendReceiveReturnsAfterTheLastCharacterHasLeft)
{
    for (auto [diddle, phase] : {std::pair{1u, 0ms}, std::pair{1u, 17ms}, std::pair{0u, 0ms}, std::pair{0u, 17ms}}) {
        linktest::SimLink s;
        s.Open(45, 5, true);
        s.link.m_bTxHold = 1;
        s.link.m_bDiddle = diddle;
        LiveReceive receive(s.link);
        txfake::Status status;
        txfake::Host host;
        host.receive = &receive;
        host.status = &status;
        MemorySettingsStore settings;
        CVELTRANDoc doc{settings};
        txfake::Ticks ticks;
        TxRxControl control(settings, doc, host, ticks);

        std::string text = "CQ";   // waits, held, for the transmission
        s.link.SendText(text);
        control.SendReceive(false);
        std::this_thread::sleep_for(phase);
        const auto limit = std::chrono::steady_clock::now() + linktest::kEventually;
        bool keyedInactive = false;
        while (control.ReturnToReceivePending() && std::chrono::steady_clock::now() < limit) {
            control.TimerStep();
            keyedInactive = keyedInactive || (control.ReturnToReceivePending() && s.link.m_bKeyed.load() &&
                                              !s.link.m_bTxActive.load());
            std::this_thread::sleep_for(40ms);
        }
        EXPECT_FALSE(keyedInactive) << diddle << " " << phase.count();
        EXPECT_EQ(status.LastAuto(), "RXD      ") << diddle;
        ASSERT_TRUE(s.modem->WaitFor(RtsFellAfterRising, linktest::kEventually));
        const auto margin = keying::SmallestUnkeyMargin(s.modem->Log());
        ASSERT_TRUE(margin);
        EXPECT_GE(*margin, 100ms) << diddle << " " << phase.count();
        // Everything went out: shift code, then LTRS C Q.
        std::string all;
        for (const std::string& w : s.modem->Writes())
            all += w;
        EXPECT_EQ(all.substr(0, 4), linktest::Bytes({31, 31, 14, 23}));
    }
}

namespace {

class StopTransmitOnAir : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        old = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir.path()));
        settings.Put(keys::RTTYPort, 1);   // 45 baud Baudot, Manual, idle fill and its beep on
        settings.Put(keys::CharMode, 1);
        settings.Put(keys::WordMode, 0);
        rv = std::make_unique<CVELTRANView>(app, doc, status);
        rv->Link().Connect(false);
        rv->Link().SetDeviceOpener([m = modem](int) -> std::unique_ptr<PortDevice> {
            return std::make_unique<SharedPortDevice>(m);
        });
        rv->ApplyPortSettings();
        tv = std::make_unique<CVELTRANView3>(app, doc, status);
        sends = TransmitSends::Install(app, doc, *tv);
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        tv.reset();
        rv.reset();
        QDir::setCurrent(old);
    }
    // Runs the event loop until the sends are done and RTS has fallen `falls` times.
    void RunToReceive(int falls)
    {
        QDeadlineTimer deadline(20000);
        while ((sends->Queue().Busy() || RtsFalls(modem->Log()) < falls) && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_FALSE(sends->Queue().Busy());
    }

    QTemporaryDir dir;
    QString old;
    MemorySettingsStore settings;
    CVELTRANDoc doc{settings};
    CVELTRANApp app{settings};
    txfake::Status status;
    std::shared_ptr<SimulatedModem> modem = std::make_shared<SimulatedModem>("quiet");
    std::unique_ptr<CVELTRANView> rv;
    std::unique_ptr<CVELTRANView3> tv;
    TransmitSends* sends = nullptr;
};

}  // namespace

TEST_F(StopTransmitOnAir, MacroAndTapeReturnAfterTheLastCharacterWithoutAnIdleFillNotice)
{
    settings.PutText("Settings", "E", "^WRY^Q");
    { std::ofstream("TAPECQ.TXT") << "^WCQ^Q"; }
    for (int run = 0; run < 2; ++run) {
        if (run == 0)
            sends->SendMacro('E');
        else
            sends->SendTape(TapeSender::kCqTape);
        RunToReceive(run + 1);
        const auto margin = keying::SmallestUnkeyMargin(modem->Log());
        ASSERT_TRUE(margin) << run;
        EXPECT_GE(*margin, 100ms) << run;
        EXPECT_FALSE(Announced(status)) << run;
        EXPECT_EQ(status.LastAuto(), "RXD      ") << run;
        EXPECT_TRUE(rv->Link().m_bTxHold.load()) << run;
    }
}
