// Sending tapes over the RTTY link: expansion, transmitter control, the echo
// into the receive pane, the wait for the transmitter to drain, and the note
// line; and sending files to the TNC.
#include "RecordingSendHost.h"

#include "app/CVELTRANDoc.h"
#include "app/MemorySettingsStore.h"
#include "app/WallClock.h"
#include "views/SendQueue.h"
#include "views/TapeSender.h"
#include "views/TncTapeSender.h"

#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <unistd.h>

namespace {

class FixedClock : public WallClock {
public:
    CivilTime Now(bool) const override { return CivilTime{1998, 12, 6, 14, 5}; }
};

class TapeSenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(dir.empty());
        doc.SetMacroSources(&clock, [] { return 8; });
    }
    std::string Write(const std::string& name, const std::string& content) { return scratch.Write(name, content); }
    // Runs the queue as the event loop would, until nothing waits any more.
    int PumpUntilIdle()
    {
        int pumps = 0;
        while (queue.Pump())
            ++pumps;
        return pumps;
    }
    size_t Count(const std::string& event) const
    {
        return static_cast<size_t>(std::count(host.events.begin(), host.events.end(), event));
    }

    ScratchDir scratch;
    const std::string dir = scratch.Path();
    MemorySettingsStore settings;
    CVELTRANDoc doc{settings};
    FixedClock clock;
    RecordingSendHost host;
    SendQueue queue;
    TapeSender sender{host, doc, queue};
};

}  // namespace

TEST_F(TapeSenderTest, CqTapeWithEchoKeysSendsWaitsForTheDrainAndReturns)
{
    settings.PutInt("Options", "EchoImport", 1);
    const std::string path = Write("TAPECQ.TXT", "^WCQ CQ\r\n^Q\r\n");
    host.pendingLooks = 3;
    sender.SendTape(path);

    // The tape stops at the stop-transmit until the transmitter has drained;
    // the window keeps running meanwhile (each look runs the timer step).
    EXPECT_TRUE(queue.Busy());
    EXPECT_EQ(Count("receive"), 0u);
    EXPECT_EQ(Count("send:\r\n"), 0u);
    PumpUntilIdle();
    EXPECT_FALSE(queue.Busy());

    const std::vector<std::string> expected = {
        "clear echo",
        "receive list", "transmit",
        "receive list", "send:CQ CQ\r\n", "repaint", "timer", "timer", "timer", "receive",
        "receive list", "send:\r\n",
        "deadman", "history"};
    EXPECT_EQ(host.events, expected);

    const LineList receive = doc.GetList(CVELTRANDoc::kReceiveList);
    EXPECT_EQ(receive, (LineList{">", ">CQ CQ", ">", ">", ">"}));
    const LineList history = doc.GetList(CVELTRANDoc::kTransmitList);
    ASSERT_FALSE(history.empty());
    EXPECT_EQ(history.back(), ">* Import Complete *(" + path + ")");
}

TEST_F(TapeSenderTest, StopTransmitReturnsAtOnceWhenNothingIsPending)
{
    const std::string path = Write("t.txt", "AB^QCD\r\n");
    host.pendingLooks = 0;
    sender.SendTape(path);
    EXPECT_FALSE(queue.Busy());
    const std::vector<std::string> expected = {"clear echo", "send:AB",  "repaint", "receive",
                                               "send:CD\r\n", "deadman", "history"};
    EXPECT_EQ(host.events, expected);
    // Without "EchoImport" nothing reaches the receive list.
    EXPECT_EQ(doc.GetLineCount(CVELTRANDoc::kReceiveList), 0);
}

TEST_F(TapeSenderTest, ReceiveBeforeTransmitInOnePiece)
{
    // Text between a stop and the next start goes after the wait, and the
    // start then keys again.
    const std::string path = Write("t.txt", "A^QB^WC\n");
    sender.SendTape(path);
    const std::vector<std::string> expected = {"clear echo", "send:A", "repaint", "receive",
                                               "send:B", "transmit", "send:C\n", "deadman",
                                               "history"};
    EXPECT_EQ(host.events, expected);
}

TEST_F(TapeSenderTest, ThreeThousandByteTapeArrivesWholeAndInOrder)
{
    std::string content;
    for (int i = 0; i < 50; ++i) {
        std::string line = "LINE " + std::to_string(i) + " ";
        line.resize(58, static_cast<char>('A' + i % 26));
        content += line + "\r\n";
    }
    sender.SendTape(Write("t.txt", content));
    EXPECT_EQ(host.sent, content);
    EXPECT_EQ(Count("deadman"), host.pieces.size());
}

TEST_F(TapeSenderTest, LastLineAndOverlongLinesAreSent)
{
    const std::string longLine(1500, 'R');
    const std::string content = longLine + "\r\nRYRY\r\nDE W1AW K";
    sender.SendTape(Write("t.txt", content));
    EXPECT_EQ(host.sent, content);
}

TEST_F(TapeSenderTest, CaretReferencesInATapeAndAtTheBufferBoundary)
{
    settings.PutText("Settings", "F4", "four");
    settings.PutText("Settings", "B", "20");
    settings.PutText("Settings", "K", "DL0ABC");
    // The caret of ^K is the 1024th byte: the buffer is full without a line end.
    const std::string content = std::string(1023, 'x') + "^K.\r\n^t^s^b ^^\r\n";
    sender.SendTape(Write("t.txt", content));
    EXPECT_EQ(host.sent, std::string(1023, 'x') + "DL0ABC.\r\n1405Z four20 ^\r\n");
}

TEST_F(TapeSenderTest, SerialNumbersCountAcrossTheTape)
{
    doc.m_nSerialNumber = 7;
    sender.SendTape(Write("t.txt", "NR ^I\r\nAGN ^J\r\nNR ^i\r\n"));
    EXPECT_EQ(host.sent, "NR 7\r\nAGN 7\r\nNR 8\r\n");
    EXPECT_EQ(doc.m_nSerialNumber, 9);
}

TEST_F(TapeSenderTest, EmptyTapeSendsNothingAndAddsTheNoteLine)
{
    sender.SendTape(Write("TAPEBRAG.TXT", ""));
    EXPECT_TRUE(host.sent.empty());
    const std::vector<std::string> expected = {"clear echo", "history"};
    EXPECT_EQ(host.events, expected);
    EXPECT_EQ(doc.GetList(CVELTRANDoc::kTransmitList).back(),
              ">* Import Complete *(" + dir + "/TAPEBRAG.TXT)");
}

TEST_F(TapeSenderTest, MissingFileIsReportedAndNothingElseHappens)
{
    sender.SendTape(dir + "/missing.txt");
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0].rfind("error:", 0), 0u);
    EXPECT_EQ(doc.GetLineCount(CVELTRANDoc::kTransmitList), 0);
}

TEST_F(TapeSenderTest, WithoutAReceiveViewNothingIsSentOrShown)
{
    host.receiveView = false;
    sender.SendTape(Write("t.txt", "CQ\r\n"));
    EXPECT_TRUE(host.events.empty());
    EXPECT_EQ(doc.GetLineCount(CVELTRANDoc::kTransmitList), 0);
}

TEST_F(TapeSenderTest, SecondTapeWaitsBehindTheFirstOnesDrain)
{
    host.pendingLooks = 2;
    sender.SendTape(Write("a.txt", "ONE^Q\n"));
    sender.SendTape(Write("b.txt", "TWO\n"));
    EXPECT_EQ(host.sent, "ONE");
    PumpUntilIdle();
    EXPECT_EQ(host.sent, "ONE\nTWO\n");
    const LineList history = doc.GetList(CVELTRANDoc::kTransmitList);
    ASSERT_EQ(history.size(), 2u);
    EXPECT_NE(history[0].find("a.txt"), std::string::npos);
    EXPECT_NE(history[1].find("b.txt"), std::string::npos);
}

TEST_F(TapeSenderTest, CancelDropsTheWaitingTapeWithoutANoteLine)
{
    host.pendingLooks = 1000000;
    sender.SendTape(Write("a.txt", "ONE^Q\nTWO\n"));
    EXPECT_TRUE(queue.Busy());
    queue.Cancel();
    EXPECT_FALSE(queue.Pump());
    EXPECT_EQ(host.sent, "ONE");
    EXPECT_EQ(doc.GetLineCount(CVELTRANDoc::kTransmitList), 0);
}

TEST_F(TapeSenderTest, RandomBytesWithMacroCyclesFinish)
{
    settings.PutText("Settings", "A", "^B^B^B^B^Q^W");
    settings.PutText("Settings", "B", "^A^a^C^I");
    settings.PutText("Settings", "C", "^C^c^A");
    std::mt19937 rng(4242);
    std::string content;
    for (int i = 0; i < 30000; ++i) {
        const unsigned r = rng() % 12;
        content += r == 0 ? '^' : r == 1 ? 'A' : r == 2 ? '\n' : static_cast<char>(rng() & 0xFF);
    }
    host.pendingLooks = 5;
    sender.SendTape(Write("r.txt", content));
    PumpUntilIdle();
    EXPECT_FALSE(queue.Busy());
    EXPECT_EQ(Count("history"), 1u);
}

namespace {

class RecordingTncHost : public TncTapeHost {
public:
    std::vector<std::string> sent;
    int changed = 0;
    std::vector<std::string> errors;
    void SendToTnc(std::string& text) override { sent.push_back(text); }
    void TncListChanged() override { ++changed; }
    void ShowFileError(const std::string& text) override { errors.push_back(text); }
};

}  // namespace

TEST_F(TapeSenderTest, TncStartupTapeGoesAsOneTextAndEndsWithTheNoteLine)
{
    char* cwd = getcwd(nullptr, 0);
    const std::string old = cwd;
    free(cwd);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    Write(TncTapeSender::kStartupTape, "MYCALL ^C\r\nMONITOR ON\r\n");
    settings.PutText("Settings", "C", "W1AW");

    RecordingTncHost tnc;
    TncTapeSender tncSender(tnc, doc);
    EXPECT_TRUE(tncSender.SendFileToTnc(TncTapeSender::kStartupTape));
    ASSERT_EQ(chdir(old.c_str()), 0);

    EXPECT_EQ(tnc.sent, (std::vector<std::string>{"MYCALL W1AW\r\nMONITOR ON\r\n"}));
    EXPECT_EQ(tnc.changed, 1);
    EXPECT_EQ(doc.GetList(CVELTRANDoc::kTncList).back(),
              ">>>* Import Complete *(TAPESTARTUPTNC.TXT)");
}

TEST_F(TapeSenderTest, TncFileThatCannotBeOpenedIsReportedWithoutANote)
{
    RecordingTncHost tnc;
    TncTapeSender tncSender(tnc, doc);
    EXPECT_FALSE(tncSender.SendFileToTnc(dir + "/none.txt"));
    EXPECT_EQ(tnc.errors.size(), 1u);
    EXPECT_EQ(doc.GetLineCount(CVELTRANDoc::kTncList), 0);
}
