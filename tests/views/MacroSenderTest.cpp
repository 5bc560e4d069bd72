// SendMacro: a macro joins the type-ahead line in key order, also while a
// tape waits; transmitter control in it is obeyed in Character mode only,
// with the stop waiting for the drain.
#include "RecordingSendHost.h"
#include "TransmitFakes.h"

#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"
#include "views/MacroSender.h"
#include "views/SendQueue.h"
#include "views/TapeSender.h"

#include <gtest/gtest.h>

#include <fstream>

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

TEST_F(MacroSenderTest, MacroJoinsTheLineAtOnceWhileASendWaits)
{
    Macro("Z", "SK^Q");
    Macro("A", "NEXT");
    Macro("Y", "A^QB");
    host.charMode = true;
    host.pendingLooks = 2;
    sender.SendMacro('Z');
    // In key order, as if typed; only Y's own stop and what follows wait.
    sender.SendMacro('A');
    sender.SendMacro('Y');
    EXPECT_EQ(host.events, (std::vector<std::string>{"insert:SK", "repaint", "timer", "insert:NEXT",
                                                     "insert:A", "timer"}));
    EXPECT_FALSE(queue.Pump());
    EXPECT_EQ(host.events, (std::vector<std::string>{"insert:SK", "repaint", "timer", "insert:NEXT",
                                                     "insert:A", "timer", "receive", "repaint", "receive",
                                                     "insert:B"}));
}

namespace {

// The type-ahead line over a fake link; stop-transmits wait while
// pendingLooks lasts.
class LineSendHost : public RecordingSendHost {
public:
    explicit LineSendHost(txfake::Bench& bench) : m_bench(bench) {}
    bool CharMode() override { return m_bench.line->CharMode(); }
    void InsertText(const std::string& text) override { m_bench.line->InsertText(text); }
    void SendToLink(std::string& text) override { m_bench.link().SendText(text); }

private:
    txfake::Bench& m_bench;
};

}  // namespace

TEST(MacroOrder, MacroKeysGoInKeyOrderWhileATapeWaits)
{
    struct Row {
        bool charMode;
        const char* sent;  // tape before its stop, the keys, then the tape's rest
    };
    for (const Row& row : {Row{true, "CQAB W1AW XY\r\n"}, Row{false, "CQAB W1AW \r\n"}}) {
        txfake::Bench bench;
        bench.settings.Put(keys::CharMode, row.charMode ? 1 : 0);
        bench.settings.Put(keys::WordMode, row.charMode ? 0 : 1);
        bench.settings.PutText("Settings", "C", "W1AW");
        bench.Start();
        LineSendHost host(bench);
        host.pendingLooks = 1000;  // the tape waits until released
        SendQueue queue;
        MacroSender macros(host, bench.doc, queue);
        TapeSender tapes(host, bench.doc, queue);
        bench.line->SetMacroHandler([&](int key) { macros.SendMacro(key); });
        { std::ofstream("ORDER.TXT", std::ios::binary) << "CQ^Q\r\n"; }

        // Each key: its key-down, then its character.
        auto type = [&](const std::string& text) {
            for (char c : text) {
                bench.line->OnKeyDown(0, false);
                bench.line->OnChar(static_cast<uint8_t>(c));
            }
        };
        tapes.SendTape("ORDER.TXT");
        ASSERT_TRUE(queue.Busy());
        type("AB ");
        bench.line->OnKeyDown('C', true);
        type(" XY");
        host.pendingLooks = 0;
        EXPECT_FALSE(queue.Pump());
        EXPECT_EQ(bench.link().AllSent(), row.sent) << (row.charMode ? "Character mode" : "Word mode");
    }
}

TEST_F(MacroSenderTest, FunctionKeysSendTheirMacros)
{
    Macro("F2", "two");
    Macro("F9", "nine");
    sender.SendMacro(0x71);
    sender.SendMacro(0x78);
    EXPECT_EQ(host.events, (std::vector<std::string>{"insert:two", "insert:nine"}));
}
