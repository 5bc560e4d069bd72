// The rig through Hamlib against a real rigctld (Hamlib's dummy rig): the
// dial frequency arrives, CAT PTT follows the link's keying, and a daemon
// that dies shows the rig down without holding anyone up, and back when it
// returns.
#include "link/Cm108PttLine.h"
#include "link/HamlibRig.h"
#include "link/PttRoutedPort.h"
#include "link/RigPttLine.h"
#include "LinkTestSupport.h"
#include "support/RigLatencyProxy.h"
#include "support/Rigctld.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace {

using namespace linktest;

// A hang detector for "the rig's thread gets there": the rig polls every 100 ms.
bool Eventually(const std::function<bool()>& done)
{
    const auto deadline = Clock::now() + 10s;
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

std::shared_ptr<HamlibRig> RigOn(const Rigctld& daemon)
{
    HamlibRigConfig config;
    config.model = HamlibRigConfig::kNetRigctl;
    config.port = daemon.Address();
    config.pollInterval = 100ms;
    return std::make_shared<HamlibRig>(config);
}

TEST(HamlibRig, ReadsTheDialFrequencyAndModeSetOnTheRig)
{
    RIGCTLD_OR_SKIP();
    Rigctld daemon;
    ASSERT_TRUE(daemon.Running());
    ASSERT_EQ(daemon.Command("F 14085000"), "RPRT 0");
    ASSERT_EQ(daemon.Command("M USB 2400"), "RPRT 0");
    auto rig = RigOn(daemon);
    // One poll reads the dial, then the mode: wait for both.
    EXPECT_TRUE(Eventually([&] {
        const RigReading r = rig->Reading();
        return r.frequencyHz == 14085000 && r.mode == "USB";
    }));
    const RigReading r = rig->Reading();
    EXPECT_FALSE(r.down) << r.reason;
    EXPECT_EQ(r.mode, "USB");
}

TEST(HamlibRig, UnknownModelIsDownWithAReason)
{
    HamlibRigConfig config;
    config.model = 999999;
    HamlibRig rig(config);
    EXPECT_TRUE(Eventually([&] { return rig.Reading().reason.find("999999") != std::string::npos; }));
    EXPECT_TRUE(rig.IsDown());
}

// The link keys through the port's RTS as always; the decorator hands that to
// the rig, whose PTT (as rigctld reports it) must be on before the first
// character is written and stay on until the last one has left the line.
TEST(HamlibRig, CatPttFollowsTheLinksKeyingTimeline)
{
    RIGCTLD_OR_SKIP();
    Rigctld daemon;
    ASSERT_TRUE(daemon.Running());
    auto rig = RigOn(daemon);
    ASSERT_TRUE(Eventually([&] { return !rig->IsDown(); }));

    WatchedLink watched;
    auto modem = std::make_shared<SimulatedModem>("");
    watched.link.SetDeviceOpener([&](int) {
        return std::make_unique<PttRoutedPort>(std::make_unique<SharedPortDevice>(modem),
                                               std::make_unique<RigPttLine>(rig));
    });
    SerialLink& link = watched.link;
    link.m_nBaud = 300;
    link.m_nByteSize = 5;
    link.m_bPttKeying = 1;
    link.Connect(true);
    ASSERT_TRUE(link.IsOpen());

    // rigctld's PTT sampled on connections of its own while the link sends.
    std::vector<std::pair<Clock::time_point, bool>> samples;
    std::atomic<bool> sampling{true};
    std::thread sampler([&] {
        while (sampling) {
            if (const auto on = daemon.Ptt())
                samples.emplace_back(Clock::now(), *on);
            std::this_thread::sleep_for(2ms);
        }
    });
    std::string text = "RYRYRY";
    link.SendText(text);
    const bool finished = Eventually([&] { return SimLink::CountWrites(modem->Log()) > 0 && !link.m_bKeyed; });
    std::this_thread::sleep_for(150ms);
    sampling = false;
    sampler.join();
    ASSERT_TRUE(finished);

    const auto log = modem->Log();
    const auto writes = OfKind(log, SimEvent::Kind::Write);
    ASSERT_FALSE(writes.empty());
    std::optional<Clock::time_point> firstOn, lastOn;
    for (const auto& [t, on] : samples) {
        if (on && !firstOn)
            firstOn = t;
        if (on)
            lastOn = t;
    }
    ASSERT_TRUE(firstOn.has_value()) << "the rig never reported PTT on";
    EXPECT_LT(*firstOn, writes.front().time);
    EXPECT_GE(*lastOn, writes.back().ends);
    EXPECT_FALSE(samples.back().second);
    for (const SimEvent& e : OfKind(log, SimEvent::Kind::Rts))
        EXPECT_FALSE(e.level) << "the port's own RTS must stay low";

    link.Connect(false);
    EXPECT_EQ(daemon.Ptt(), false);
}

TEST(HamlibRig, DaemonKilledMidSessionIsDownAndComesBack)
{
    RIGCTLD_OR_SKIP();
    auto daemon = std::make_unique<Rigctld>();
    ASSERT_TRUE(daemon->Running());
    const int port = daemon->Port();
    auto rig = RigOn(*daemon);
    ASSERT_TRUE(Eventually([&] { return rig->Reading().frequencyHz != 0; }));

    daemon->Kill();
    EXPECT_TRUE(Eventually([&] { return rig->IsDown(); }));
    EXPECT_FALSE(rig->Reading().reason.empty());
    // Nobody waits on a dead rig: PTT requests are taken and the reading answers.
    const auto before = Clock::now();
    rig->SetPtt(true);
    rig->SetPtt(false);
    (void)rig->Reading();
    EXPECT_LT(Clock::now() - before, 1s) << "a caller was held up by the dead rig";

    daemon = std::make_unique<Rigctld>(port);
    ASSERT_TRUE(daemon->Running());
    ASSERT_EQ(daemon->Command("F 7080000"), "RPRT 0");
    EXPECT_TRUE(Eventually([&] { return !rig->IsDown() && rig->Reading().frequencyHz == 7080000; }));
    EXPECT_EQ(daemon->Ptt(), false);
}

// A rig whose every answer comes 300 ms late, well inside its 500 ms
// time-out: rigctld behind a relay that holds its replies back.
struct SlowRig {
    Rigctld daemon;
    RigLatencyProxy proxy{daemon.Port(), 300ms};
    std::shared_ptr<HamlibRig> rig;
    std::shared_ptr<SimulatedModem> modem = std::make_shared<SimulatedModem>("");
    PttRoutedPort port;

    explicit SlowRig(bool poll = true)
        : rig(MakeRig(proxy, poll)),
          port(std::make_unique<SharedPortDevice>(modem), std::make_unique<RigPttLine>(rig))
    {
    }
    static std::shared_ptr<HamlibRig> MakeRig(const RigLatencyProxy& proxy, bool poll)
    {
        HamlibRigConfig config;
        config.model = HamlibRigConfig::kNetRigctl;
        config.port = proxy.Address();
        config.pollInterval = 100ms;
        config.poll = poll;
        return std::make_shared<HamlibRig>(config);
    }
    // The rig open and the port keyed through it.
    bool Ready()
    {
        LineSettings line;
        line.pttKeying = true;
        return daemon.Running() && proxy.Listening() && rig->WaitFirstOpen(10s) && port.Open(line);
    }
    // Returns once the rig is waiting for the answer to a frequency poll.
    bool PollInFlight(size_t* at = nullptr)
    {
        const auto found = proxy.WaitForCommand("f", proxy.Commands().size(), 10s);
        if (found && at)
            *at = *found;
        return found.has_value();
    }
};

TEST(HamlibRig, KeyPttOnASlowRigReturnsOnlyOnceTheRigHasCarriedItOut)
{
    RIGCTLD_OR_SKIP();
    SlowRig slow;
    ASSERT_TRUE(slow.Ready());
    // Each asked while a poll waits for its late answer.
    ASSERT_TRUE(slow.PollInFlight());
    ASSERT_TRUE(slow.port.KeyPtt(true)) << slow.port.PttFailureText();
    EXPECT_EQ(slow.daemon.Ptt(), true);
    ASSERT_TRUE(slow.PollInFlight());
    ASSERT_TRUE(slow.port.KeyPtt(false)) << slow.port.PttFailureText();
    EXPECT_EQ(slow.daemon.Ptt(), false);
}

TEST(HamlibRig, APttRequestGoesAheadOfTheRestOfThePoll)
{
    RIGCTLD_OR_SKIP();
    SlowRig slow;
    ASSERT_TRUE(slow.Ready());
    size_t poll = 0;
    ASSERT_TRUE(slow.PollInFlight(&poll));
    ASSERT_TRUE(slow.port.KeyPtt(true)) << slow.port.PttFailureText();
    const std::vector<std::string> commands = slow.proxy.Commands();
    ASSERT_GT(commands.size(), poll + 1);
    EXPECT_EQ(commands[poll + 1].rfind("T", 0), 0u) << "after the frequency came " << commands[poll + 1];
}

// The rig hears the key command but its answer never comes: the link is told
// the transmitter is not keyed, and the rig is released once it answers.
TEST(HamlibRig, ARigThatDoesNotConfirmFailsTheKeyWithAReasonAndEndsReleased)
{
    RIGCTLD_OR_SKIP();
    SlowRig slow(false);
    ASSERT_TRUE(slow.Ready());
    slow.proxy.SwallowReplies(true);
    EXPECT_FALSE(slow.port.KeyPtt(true));
    const std::string reason = slow.port.PttFailureText();
    EXPECT_EQ(reason.rfind("CAT PTT: ", 0), 0u) << reason;
    EXPECT_GT(reason.size(), std::string("CAT PTT: ").size());
    // The request reached the rig (only its answer was lost), through the
    // relay's delay.
    EXPECT_TRUE(Eventually([&] { return slow.daemon.Ptt() == true; }));
    slow.proxy.SwallowReplies(false);
    EXPECT_TRUE(Eventually([&] { return slow.daemon.Ptt() == false; }));
}

TEST(HamlibRig, AConfirmedRequestToARigThatIsDownFailsAtOnceWithItsReason)
{
    HamlibRigConfig config;
    config.model = 999999;
    HamlibRig rig(config);
    ASSERT_TRUE(Eventually([&] { return rig.Reading().reason.find("999999") != std::string::npos; }));
    std::string failure;
    EXPECT_FALSE(rig.SetPttConfirmed(true, failure));
    EXPECT_NE(failure.find("999999"), std::string::npos) << failure;
}

}  // namespace

namespace {

TEST(Cm108PttLine, AMissingAdapterIsRefusedWithItsReason)
{
    for (const char* device : {"", "/nonexistent/hidraw9"}) {
        Cm108PttLine line(device);
        std::string error;
        EXPECT_FALSE(line.Open(error));
        EXPECT_NE(error.find(*device ? device : "No CM108"), std::string::npos) << error;
        EXPECT_TRUE(line.IsDown());
        line.Set(true);   // ignored, and harmless
        EXPECT_FALSE(line.IsKeyed());
    }
}

}  // namespace
