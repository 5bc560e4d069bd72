// The tail after the last stop bit is owed to text, not to idle fill. A
// Manual return to receive holds the link once the text is through, often
// with a fill write already on the line; when that write has left and the
// line is quiet, keyed, the operator's Receive or Clear TX Buffer must drop
// PTT at once, not 100 ms after the fill. On a virtual clock, so every
// moment is exact.
#include "link/SerialLink.h"
#include "link/SharedPortDevice.h"
#include "link/SimulatedModem.h"
#include "support/VirtualClock.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

using namespace std::chrono_literals;

TEST(FillTail, ReceiveOrClearAfterHeldIdleFillDropsPttAtOnce)
{
    const std::function<void(SerialLink&)> ends[] = {[](SerialLink& l) { l.StopSending(); },
                                                     [](SerialLink& l) { l.ClearTransmit(); }};
    for (const auto& end : ends) {
        VirtualClock clock;
        VirtualClock::Taking taking(clock);
        auto modem = std::make_shared<SimulatedModem>();
        modem->SetClock(clock);
        SerialLink link;
        link.SetClock(clock);
        link.SetDeviceOpener([modem](int) { return std::make_unique<SharedPortDevice>(modem); });
        link.m_nBaud = 45;
        link.m_nByteSize = 5;
        link.m_bPttKeying = 1;
        link.Connect(true);
        link.m_bDiddle = 1;
        std::string text = "CQ";
        link.SendText(text);
        link.m_bTxActive = 1;
        link.Wake();
        link.KeyTransmitter();
        while (!link.IsIdleFillOnAir())
            clock.SleepFor(1ms);
        link.m_bTxHold = 1;   // the text is through: no more fill
        link.Wake();
        while (!link.IsLineQuiet())
            clock.SleepFor(1ms);
        clock.SleepFor(10ms);
        const auto asked = clock.Now();
        end(link);
        clock.SleepFor(300ms);
        std::optional<std::chrono::steady_clock::time_point> fall;
        for (const SimEvent& e : modem->Log()) {
            if (!fall && e.kind == SimEvent::Kind::Rts && !e.level && e.time >= asked)
                fall = e.time;
        }
        ASSERT_TRUE(fall);
        EXPECT_LE(*fall - asked, 50ms);
        link.Connect(false);
    }
}
