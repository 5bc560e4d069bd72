// SendMacro: a macro joins the type-ahead line; transmitter control in it is
// obeyed in Character mode only, with the stop waiting for the drain.
#include "RecordingSendHost.h"

#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"
#include "views/MacroSender.h"
#include "views/SendQueue.h"

#include <gtest/gtest.h>

namespace {

class MacroSenderTest : public ::testing::Test {
protected:
    void SetUp() override { doc.SetMacroSources(nullptr, [this] { return byteSize; }); }
    void Macro(const char* key, const char* text) { settings.PutText("Settings", key, text); }

    MemorySettingsStore settings;
    CVELTRANDoc doc{settings};
    int byteSize = 5;
    RecordingSendHost host;
    SendQueue queue;
    MacroSender sender{host, doc, queue};
};

}  // namespace

TEST_F(MacroSenderTest, PlainMacroIsInsertedInEveryMode)
{
    Macro("K", "DL0ABC");
    Macro("A", "^K DE ^C");
    Macro("C", "W1AW");
    for (bool charMode : {false, true}) {
        host.charMode = charMode;
        host.events.clear();
        sender.SendMacro('A');
        EXPECT_EQ(host.events, (std::vector<std::string>{"insert:DL0ABC DE W1AW"}));
    }
}

TEST_F(MacroSenderTest, SerialNumberIncrementsPerPressAndRepeats)
{
    settings.PutText("Settings", "I", "100");
    CVELTRANDoc fresh(settings);
    MacroSender s(host, fresh, queue);
    s.SendMacro('I');
    s.SendMacro('I');
    s.SendMacro('I');
    s.SendMacro('J');
    EXPECT_EQ(host.events,
              (std::vector<std::string>{"insert:100", "insert:101", "insert:102", "insert:102"}));
    EXPECT_EQ(settings.GetText("Settings", "I", ""), "100");
}

TEST_F(MacroSenderTest, ModeFollowsTheDataBits)
{
    sender.SendMacro('M');
    byteSize = 8;
    sender.SendMacro('M');
    EXPECT_EQ(host.events, (std::vector<std::string>{"insert:RTTY ", "insert:ASCII "}));
}

TEST_F(MacroSenderTest, StartTransmitMacroIsDroppedInLineAndWordMode)
{
    Macro("E", "^W CQ");
    host.charMode = false;
    sender.SendMacro('E');
    EXPECT_TRUE(host.events.empty());
    EXPECT_FALSE(queue.Busy());
}

TEST_F(MacroSenderTest, StartTransmitMacroInCharacterModeKeysThenSends)
{
    Macro("E", "^W CQ");
    host.charMode = true;
    sender.SendMacro('E');
    EXPECT_EQ(host.events, (std::vector<std::string>{"repaint", "transmit", "insert: CQ"}));
}

TEST_F(MacroSenderTest, StopTransmitReturnsOnlyAfterTheDrain)
{
    Macro("Z", "TU SK^Q");
    host.charMode = true;
    host.pendingLooks = 2;
    sender.SendMacro('Z');
    EXPECT_TRUE(queue.Busy());
    EXPECT_EQ(host.events, (std::vector<std::string>{"insert:TU SK", "repaint", "timer"}));
    EXPECT_TRUE(queue.Pump());
    EXPECT_FALSE(queue.Pump());
    EXPECT_EQ(host.events, (std::vector<std::string>{"insert:TU SK", "repaint", "timer", "timer",
                                                     "receive"}));
}

TEST_F(MacroSenderTest, StopTransmitWithTheTransmitterOffReturnsAtOnce)
{
    Macro("Z", "SK^Q");
    host.charMode = true;
    sender.SendMacro('Z');
    EXPECT_FALSE(queue.Busy());
    EXPECT_EQ(host.events, (std::vector<std::string>{"insert:SK", "repaint", "receive"}));
}

TEST_F(MacroSenderTest, StopBeforeTheFirstStartIsPlainText)
{
    Macro("Y", "A^QB^WC^QD");
    host.charMode = true;
    sender.SendMacro('Y');
    EXPECT_EQ(host.events,
              (std::vector<std::string>{"insert:A\x11" "B", "repaint", "transmit", "insert:C",
                                        "repaint", "receive", "insert:D"}));
}

TEST_F(MacroSenderTest, MacroWaitsBehindAWaitingSend)
{
    Macro("Z", "SK^Q");
    Macro("A", "NEXT");
    host.charMode = true;
    host.pendingLooks = 2;
    sender.SendMacro('Z');
    // Queuing the second send looks at the drain once more.
    sender.SendMacro('A');
    EXPECT_EQ(host.events,
              (std::vector<std::string>{"insert:SK", "repaint", "timer", "timer"}));
    EXPECT_FALSE(queue.Pump());
    EXPECT_EQ(host.events, (std::vector<std::string>{"insert:SK", "repaint", "timer", "timer",
                                                     "receive", "insert:NEXT"}));
}

TEST_F(MacroSenderTest, FunctionKeysSendTheirMacros)
{
    Macro("F2", "two");
    Macro("F9", "nine");
    sender.SendMacro(0x71);
    sender.SendMacro(0x78);
    EXPECT_EQ(host.events, (std::vector<std::string>{"insert:two", "insert:nine"}));
}
