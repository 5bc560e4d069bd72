// Confirmed keying through the port wrappers: a PttRoutedPort hands KeyPtt
// to its PTT line (a rig's CAT PTT), returns only once the rig has answered,
// and every wrapper in front of it passes the answer and its reason on.
#include "link/FskKeyedPort.h"
#include "link/PttRoutedPort.h"
#include "link/RigPttLine.h"
#include "link/SharedPortDevice.h"
#include "link/SimulatedModem.h"
#include "support/FakeRig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace {

using Wrap = std::function<std::unique_ptr<PortDevice>(std::unique_ptr<PortDevice>)>;

struct CatPort {
    std::shared_ptr<FakeRig> rig = std::make_shared<FakeRig>();
    std::shared_ptr<SimulatedModem> modem = std::make_shared<SimulatedModem>("");
    std::unique_ptr<PortDevice> port;

    explicit CatPort(const Wrap& wrap)
        : port(wrap(std::make_unique<PttRoutedPort>(std::make_unique<SharedPortDevice>(modem),
                                                    std::make_unique<RigPttLine>(rig))))
    {
    }
    bool Open()
    {
        LineSettings line;
        line.baud = 45;
        line.dataBits = 5;
        line.pttKeying = true;
        return port->Open(line);
    }
};

TEST(KeyPtt, EveryWrapperPassesTheRigsAnswerAndReasonOn)
{
    const std::pair<const char*, Wrap> wrappers[] = {
        {"PttRoutedPort", [](std::unique_ptr<PortDevice> p) { return p; }},
        {"SharedPortDevice",
         [](std::unique_ptr<PortDevice> p) -> std::unique_ptr<PortDevice> {
             return std::make_unique<SharedPortDevice>(std::shared_ptr<PortDevice>(std::move(p)));
         }},
        {"FskKeyedPort",
         [](std::unique_ptr<PortDevice> p) -> std::unique_ptr<PortDevice> {
             return std::make_unique<FskKeyedPort>(std::move(p), FskKeyedPort::PttOn::Rts);
         }},
    };
    for (const auto& [name, wrap] : wrappers) {
        SCOPED_TRACE(name);
        CatPort cat(wrap);
        ASSERT_TRUE(cat.Open());
        EXPECT_TRUE(cat.port->KeyPtt(true));
        EXPECT_TRUE(cat.rig->Ptt());
        EXPECT_EQ(cat.port->PttFailureText(), "");
        cat.rig->Refuse("no answer");
        EXPECT_FALSE(cat.port->KeyPtt(false));
        EXPECT_EQ(cat.port->PttFailureText(), "CAT PTT: no answer");
        for (const SimEvent& e : cat.modem->Log())
            EXPECT_FALSE(e.kind == SimEvent::Kind::Rts && e.level) << "the port's own RTS must stay low";
    }
}

TEST(KeyPtt, ReturnsOnlyOnceTheRigHasConfirmed)
{
    CatPort cat([](std::unique_ptr<PortDevice> p) { return p; });
    ASSERT_TRUE(cat.Open());
    cat.rig->Hold();
    std::atomic<bool> returned{false};
    bool keyed = false;
    std::thread keyer([&] {
        keyed = cat.port->KeyPtt(true);
        returned = true;
    });
    ASSERT_TRUE(cat.rig->WaitForWaitingRequest());
    EXPECT_FALSE(returned) << "KeyPtt returned before the rig answered";
    cat.rig->Answer();
    keyer.join();
    EXPECT_TRUE(keyed);
}

// A port the link does not key through (ASCII): its own RTS, no rig at all.
TEST(KeyPtt, WithoutRoutingKeysThePortsOwnRts)
{
    CatPort cat([](std::unique_ptr<PortDevice> p) { return p; });
    ASSERT_TRUE(cat.port->Open(LineSettings{}));
    EXPECT_TRUE(cat.port->KeyPtt(true));
    EXPECT_TRUE(cat.rig->Requests().empty());
    EXPECT_TRUE(cat.modem->Rts());
}

}  // namespace
