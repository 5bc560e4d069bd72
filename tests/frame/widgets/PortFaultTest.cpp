// Port faults seen from the whole window: a device that disappears while the
// program receives or transmits, a USB adapter re-plugged under its stable
// name, and a far end that stops reading. Each case checks what the operator
// sees, that the window keeps working, and that no received line is lost.
#include "FrameFixture.h"

#include "app/CommandTable.h"
#include "app/SettingsKeys.h"
#include "link/BaudotText.h"
#include "link/SharedPortDevice.h"
#include "link/SimulatedModem.h"
#include "support/ModalDriver.h"
#include "support/Pty.h"
#include "views/widgets/CVELTRANView.h"
#include "views/widgets/CVELTRANView2.h"

#include <QDeadlineTimer>
#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <termios.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// Runs the event loop until `done` holds; false after a long while (a hang
// detector, not a speed check).
bool Until(const std::function<bool()>& done, int limitMs = 20000)
{
    QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

bool HasLine(const CVELTRANDoc& doc, int list, const std::string& line)
{
    const auto& lines = doc.GetList(list);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class PortFault : public FrameFixture {
protected:
    CVELTRANView& Receive() { return *app->FindView<CVELTRANView>(); }
    CVELTRANView2& Tnc() { return *app->FindView<CVELTRANView2>(); }
    QString ModeTip() { return frame->statusBar()->findChild<QLabel*>(QStringLiteral("StatusPane5"))->toolTip(); }

    // The RTTY port (Baudot, 110 baud, Manual, idle fill) on a modem the test holds.
    void MakeOnHeldModem()
    {
        store.Put(keys::RTTYBaud, 110);
        Make();
        SerialLink& link = Receive().Link();
        link.Connect(false);
        link.SetDeviceOpener([m = modem](int) -> std::unique_ptr<PortDevice> {
            return std::make_unique<SharedPortDevice>(m);
        });
        frame->OnPortsConfirmed();
        ShowActive();
        ASSERT_TRUE(modem->IsOpen());
    }

    // The operator applies the Ports dialog again, changing nothing.
    void ApplyPortsAgain()
    {
        bool ran = false;
        WhenModal([&](QDialog* d) {
            ran = true;
            ClickButton(d, QDialogButtonBox::Ok);
        });
        frame->ExecuteCommand(ID_TOOLS_PORTS);
        ASSERT_TRUE(ran);
    }

    // The event loop still turns: a timer started now fires.
    bool TimerFires()
    {
        bool fired = false;
        QTimer::singleShot(50, frame.get(), [&] { fired = true; });
        return Until([&] { return fired; });
    }

    std::shared_ptr<SimulatedModem> modem = std::make_shared<SimulatedModem>("plain");
};

// Vanishes while a line is still arriving, or while keyed with idle fill on
// the air: either way the window shows the port down, the transmitter is
// unkeyed, and the Ports dialog brings the port back with the page intact.
TEST_F(PortFault, ModemVanishingWhileReceivingOrKeyedShowsDownAndReappliesWithNothingLost)
{
    for (const bool keyed : {false, true}) {
        SCOPED_TRACE(keyed ? "keyed" : "receiving");
        modem = std::make_shared<SimulatedModem>("plain");
        MakeOnHeldModem();
        modem->Feed(EncodeBaudotText("CQ TEST DE W1AW\r\nPAR"));
        ASSERT_TRUE(Until([&] { return HasLine(*doc, CVELTRANDoc::kReceiveList, " CQ TEST DE W1AW"); }));
        if (keyed) {
            frame->ExecuteCommand(ID_TOOLS_TRANSMIT);
            ASSERT_TRUE(modem->WaitFor([](const auto& log) {
                return std::count_if(log.begin(), log.end(), [](const SimEvent& e) {
                           return e.kind == SimEvent::Kind::Write;
                       }) >= 2;
            }, 20s));
            ASSERT_TRUE(modem->Rts());
        }
        modem->Vanish();

        ASSERT_TRUE(Until([&] { return frame->PaneText(5) == "DOWN"; }));
        EXPECT_EQ(frame->PaneText(6), "0");
        EXPECT_TRUE(ModeTip().contains("has gone away")) << ModeTip().toStdString();
        EXPECT_TRUE(TimerFires());
        EXPECT_FALSE(Receive().Link().m_bKeyed.load());
        if (keyed) {   // the window no longer claims a transmission
            EXPECT_TRUE(Until([&] { return frame->PaneText(4) == "RXD      "; })) << frame->PaneText(4).toStdString();
            EXPECT_EQ(frame->PaneText(3), "");
            frame->UpdateCommandStates();
            EXPECT_FALSE(frame->Action(ID_TOOLS_TRANSMIT)->isChecked());
        }
        frame->ExecuteCommand(ID_TOOLS_RECEIVE);   // still answers, at once
        frame->ExecuteCommand(ID_TOOLS_CLEAR_TX_BUFFER);

        ApplyPortsAgain();
        EXPECT_EQ(modem->OpenCount(), 2);
        EXPECT_EQ(frame->PaneText(5), "RTTY");
        EXPECT_FALSE(modem->Rts()) << "the transmitter must come back unkeyed";
        modem->Feed(EncodeBaudotText("TY\r\n"));
        EXPECT_TRUE(Until([&] { return HasLine(*doc, CVELTRANDoc::kReceiveList, " PARTY"); }));
        EXPECT_TRUE(HasLine(*doc, CVELTRANDoc::kReceiveList, " CQ TEST DE W1AW"));
        CloseAndDestroy();
    }
}

// A USB adapter unplugged and plugged in again comes back under its stable
// name (a symlink, as /dev/serial/by-id has) pointing at a new device node.
TEST_F(PortFault, AdapterPluggedInAgainUnderItsStableNameReopensOnTheNewDevice)
{
    auto first = std::make_unique<Pty>();
    ASSERT_TRUE(first->Ok());
    const std::filesystem::path stable = std::filesystem::current_path() / "usb-FTDI_TNC-if00-port0";
    std::filesystem::remove(stable);
    std::filesystem::create_symlink(first->Path(), stable);
    store.PutText(keys::kDevices, keys::DeviceKey(2), stable.string());
    store.Put(keys::TNCBaud, 19200);
    Make();
    ShowActive();
    ASSERT_TRUE(Tnc().Link().IsOpen());
    first->WriteAll("cmd: one\r\ncmd: tw");
    ASSERT_TRUE(Until([&] { return HasLine(*doc, CVELTRANDoc::kTncList, "cmd: one"); }));

    first.reset();   // unplugged: the device node goes away
    EXPECT_TRUE(Until([&] { return ModeTip().contains("TNC port COM2 is down"); })) << ModeTip().toStdString();
    EXPECT_TRUE(ModeTip().contains("has gone away")) << ModeTip().toStdString();
    EXPECT_TRUE(TimerFires());

    Pty second;
    ASSERT_TRUE(second.Ok());
    std::filesystem::remove(stable);
    std::filesystem::create_symlink(second.Path(), stable);
    ApplyPortsAgain();
    ASSERT_TRUE(Tnc().Link().IsOpen());
    ASSERT_FALSE(Tnc().Link().IsDown());
    EXPECT_FALSE(ModeTip().contains("TNC port COM2 is down")) << ModeTip().toStdString();
    second.WriteAll("o\r\n");
    EXPECT_TRUE(Until([&] { return HasLine(*doc, CVELTRANDoc::kTncList, "cmd: two"); }));
    EXPECT_TRUE(HasLine(*doc, CVELTRANDoc::kTncList, "cmd: one"));
    Tnc().Link().SendChar('x');
    EXPECT_EQ(second.ReadAtLeast(1), "x");
    CloseAndDestroy();
}

// A far end that never reads: the simulated modem's stall, and a pseudo-
// terminal whose output queue the test has filled. Receive, Clear TX Buffer
// and closing the window all still work.
TEST_F(PortFault, StalledWritesFreezeNothingAndReceiveClearAndCloseStillWork)
{
    for (const bool pty : {false, true}) {
        SCOPED_TRACE(pty ? "pseudo-terminal" : "simulated modem");
        std::unique_ptr<Pty> line;
        int filler = -1;
        if (pty) {
            line = std::make_unique<Pty>();
            ASSERT_TRUE(line->Ok());
            // Opened before the program's port (which then holds it
            // exclusively), and filled after, since opening purges the queue.
            filler = ::open(line->Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            ASSERT_GE(filler, 0);
            termios raw{};
            ::tcgetattr(filler, &raw);
            ::cfmakeraw(&raw);
            ::tcsetattr(filler, TCSANOW, &raw);
            store.PutText(keys::kDevices, keys::DeviceKey(1), line->Path());
            store.Put(keys::RTTYBaud, 110);
            Make();
            ShowActive();
            ASSERT_TRUE(Receive().Link().IsOpen());
            const std::string block(512, 'x');
            while (::write(filler, block.data(), block.size()) > 0) {
            }
        } else {
            MakeOnHeldModem();
            modem->SetStalled(true, 0);
        }
        std::string text(400, 'R');
        frame->ExecuteCommand(ID_TOOLS_TRANSMIT);
        Receive().Link().SendText(text);
        ASSERT_TRUE(Until([&] { return Receive().Link().m_bKeyed.load() != 0; }));
        EXPECT_TRUE(TimerFires());

        frame->ExecuteCommand(ID_TOOLS_RECEIVE);
        EXPECT_TRUE(Until([&] { return !Receive().Link().m_bKeyed.load(); }));
        frame->ExecuteCommand(ID_TOOLS_CLEAR_TX_BUFFER);
        EXPECT_EQ(Receive().Link().TxQueueLength(), 0u);
        EXPECT_TRUE(TimerFires());
        frame->ExecuteCommand(ID_TOOLS_TRANSMIT);   // keyed into the stall once more, then closed
        Receive().Link().SendText(text);
        ASSERT_TRUE(Until([&] { return Receive().Link().m_bKeyed.load() != 0; }));
        frame->ExecuteCommand(ID_APP_EXIT);
        EXPECT_TRUE(Until([&] { return !frame->isVisible(); }));
        Destroy();
        if (filler >= 0)
            ::close(filler);
    }
}

}  // namespace
