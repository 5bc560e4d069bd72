// The rig's status pane: what it says for each state of the rig, and that it
// follows a real rig (rigctld) that dies while the window keeps running.
#include "frame/RigPaneText.h"
#include "frame/widgets/RigStatusPane.h"
#include "link/HamlibRig.h"
#include "link/ProgramRig.h"
#include "support/Rigctld.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(RigPane, ShowsFrequencyAndModeDownOrNothing)
{
    RigReading up;
    up.frequencyHz = 14085000;
    up.mode = "USB";
    RigReading bare;
    bare.frequencyHz = 7000000;
    RigReading down;
    down.down = true;
    down.reason = "Connection refused";
    const struct {
        std::optional<RigReading> reading;
        const char* text;
        bool down;
    } cases[] = {
        {std::nullopt, "", false},
        {up, "14.085000 MHz USB", false},
        {bare, "7.000000 MHz", false},
        {RigReading{}, "", false},   // answering, no frequency yet
        {down, "RIG DOWN", true},
    };
    for (const auto& c : cases) {
        const RigPaneText pane = ComputeRigPane(c.reading);
        EXPECT_EQ(pane.text, c.text);
        EXPECT_EQ(pane.down, c.down) << c.text;
    }
    EXPECT_NE(ComputeRigPane(down).toolTip.find("Connection refused"), std::string::npos);
}

// Waits with the event loop running; the largest gap between two ticks of a
// 20 ms timer meanwhile tells whether anything held the window up.
bool WaitShown(RigStatusPane& pane, const QString& text, qint64& largestGapMs)
{
    QElapsedTimer since;
    since.start();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        largestGapMs = std::max(largestGapMs, since.restart());
    });
    tick.start(20);
    for (int i = 0; i < 500; ++i) {
        if (pane.text().startsWith(text))
            return true;
        QTest::qWait(20);
    }
    return false;
}

TEST(RigPane, FollowsARigctldThatDiesWithoutHoldingTheWindow)
{
    RIGCTLD_OR_SKIP();
    Rigctld daemon;
    ASSERT_TRUE(daemon.Running());
    ASSERT_EQ(daemon.Command("F 14085000"), "RPRT 0");
    HamlibRigConfig config;
    config.model = HamlibRigConfig::kNetRigctl;
    config.port = daemon.Address();
    config.pollInterval = 100ms;
    SetProgramRig(std::make_shared<HamlibRig>(config));
    struct Reset {
        ~Reset() { SetProgramRig(nullptr); }
    } reset;

    RigStatusPane pane;
    qint64 gap = 0;
    EXPECT_TRUE(WaitShown(pane, QStringLiteral("14.085000 MHz"), gap)) << pane.text().toStdString();
    daemon.Kill();
    gap = 0;
    EXPECT_TRUE(WaitShown(pane, QStringLiteral("RIG DOWN"), gap)) << pane.text().toStdString();
    EXPECT_LT(gap, 1000) << "the window was held up while the rig died";
}

}  // namespace
