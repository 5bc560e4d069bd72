// The receive page's display thread: woken by data-ready notifications, never
// spinning, cutting every line and asking for repaints without flooding.
#include "link/TickSource.h"
#include "views/ReceiveDisplay.h"
#include "views/ReceiveLineCutter.h"
#include "views/ReceiveSource.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace {

class FakeSource : public ReceiveSource {
public:
    void Append(const std::string& text)
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_text += text;
        m_ready = true;
    }
    bool DataReady() const override
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        ++m_readyQueries;
        return m_ready;
    }
    std::string TakeReceived() override
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_ready = false;
        std::string out;
        out.swap(m_text);
        return out;
    }
    int ReadyQueries() const
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        return m_readyQueries;
    }

private:
    mutable std::mutex m_mutex;
    std::string m_text;
    bool m_ready = false;
    mutable int m_readyQueries = 0;
};

class FakeClock : public TickSource {
public:
    uint32_t Now() const override { return m_now.load(); }
    std::atomic<uint32_t> m_now{1000};
};

// Collects the display's repaint requests the way the widget does: the hook
// only signals, the "user-interface" side takes what is due.
class Harness {
public:
    Harness() : display(source, cutter, clock, lastPoll, lastReceive)
    {
        display.SetRepaintHook([this] {
            {
                std::lock_guard<std::mutex> hold(mutex);
                ++posts;
            }
            cv.notify_all();
        });
    }

    // Waits (bounded) until `done` holds after taking what is due.
    template <class Pred>
    bool WaitFor(Pred done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            lock.unlock();
            display.TakeRepaint();
            // Each hand-over is one text of LF-separated lines, as AddText takes it.
            const std::string chunk = cutter.TakeCompleted();
            if (!chunk.empty())
                completed += (completed.empty() ? "" : "\n") + chunk;
            const bool ok = done();
            lock.lock();
            if (ok)
                return true;
            const int seen = posts;
            if (!cv.wait_until(lock, deadline, [&] { return posts != seen; }))
                return false;
        }
    }

    FakeSource source;
    FakeClock clock;
    ReceiveLineCutter cutter;
    std::atomic<uint32_t> lastPoll{0};
    std::atomic<uint32_t> lastReceive{0};
    std::mutex mutex;
    std::condition_variable cv;
    int posts = 0;
    std::string completed;
    ReceiveDisplay display;  // last: its thread stops before the members it signals go
};

TEST(ReceiveDisplay, NotifiedTextReachesTheCurrentLineAndStampsBothTicks)
{
    Harness h;
    // Set before the display starts: its first pass may run at once.
    h.clock.m_now = 5000;
    ASSERT_TRUE(h.display.Start());
    h.source.Append("RYRY");
    h.display.Notify();
    EXPECT_TRUE(h.WaitFor([&] { return h.cutter.CurrentLine() == " RYRY"; }));
    EXPECT_EQ(h.lastReceive.load(), 5000u);
    EXPECT_EQ(h.lastPoll.load(), 5000u);
    h.display.Stop();
    EXPECT_FALSE(h.display.IsRunning());
}

TEST(ReceiveDisplay, SeveralLinesInOnePieceAreAllFinishedInOrder)
{
    Harness h;
    ASSERT_TRUE(h.display.Start());
    h.source.Append("ONE\r\nTWO\r\nTHREE\r\nFO");
    h.display.Notify();
    EXPECT_TRUE(h.WaitFor([&] { return h.cutter.CurrentLine() == " FO"; }));
    EXPECT_EQ(h.completed, " ONE\n TWO\n THREE");
}

TEST(ReceiveDisplay, IdleDisplayDoesNotPollTheSource)
{
    Harness h;
    ASSERT_TRUE(h.display.Start());
    h.source.Append("X");
    h.display.Notify();
    ASSERT_TRUE(h.WaitFor([&] { return h.cutter.CurrentLine() == " X"; }));
    // A notice that came in while the first pass ran is answered by one more
    // pass a rest later; only after that must the display stay quiet.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const int queries = h.source.ReadyQueries();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(h.source.ReadyQueries(), queries);
}

TEST(ReceiveDisplay, RepaintRequestsAreCoalescedUntilTaken)
{
    Harness h;
    ASSERT_TRUE(h.display.Start());
    for (int i = 0; i < 50; ++i) {
        h.source.Append("L\n");
        h.display.Notify();
    }
    h.source.Append("END");
    h.display.Notify();
    for (int i = 0; i < 2000 && h.cutter.CurrentLine() != " END"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(h.cutter.CurrentLine(), " END");
    {
        std::lock_guard<std::mutex> hold(h.mutex);
        EXPECT_EQ(h.posts, 1);  // nobody took the first request yet
    }
    EXPECT_EQ(h.display.TakeRepaint(), ReceiveLineCutter::Repaint::kWholeView);
    EXPECT_EQ(h.display.TakeRepaint(), ReceiveLineCutter::Repaint::kNone);
    std::string expected;
    for (int i = 0; i < 50; ++i)
        expected += i ? "\n L" : " L";
    EXPECT_EQ(h.cutter.TakeCompleted(), expected);
}

TEST(ReceiveDisplay, TextTricklingInFasterThanTheRestIsGatheredIntoFewPassesAndNoneIsLost)
{
    Harness h;
    ASSERT_TRUE(h.display.Start());
    const auto start = std::chrono::steady_clock::now();
    std::string sent;
    for (int i = 0; i < 60; ++i) {   // within the page width: one current line
        const std::string c(1, static_cast<char>('A' + i % 26));
        sent += c;
        h.source.Append(c);
        h.display.Notify();
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    ASSERT_TRUE(h.WaitFor([&] { return h.cutter.CurrentLine() == " " + sent; }));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // Passes that take new text are at least the rest apart (a lower bound on
    // their spacing, whatever the machine's speed).
    EXPECT_LE(h.source.ReadyQueries(), elapsed / ReceiveDisplay::kRestAfterPass + 2);
}

TEST(ReceiveDisplay, NarrowerPageWidthCutsPendingTextWithoutNewData)
{
    Harness h;
    h.display.SetPageWidth(67);
    ASSERT_TRUE(h.display.Start());
    h.source.Append(std::string(50, 'W'));
    h.display.Notify();
    ASSERT_TRUE(h.WaitFor([&] { return h.cutter.CurrentLine().size() == 51; }));
    h.display.SetPageWidth(0);  // taken as 35
    EXPECT_TRUE(h.WaitFor([&] {
        return h.completed == " " + std::string(35, 'W') && h.cutter.CurrentLine() == " " + std::string(15, 'W');
    }));
}

TEST(ReceiveDisplay, BellHookAndByteSize)
{
    int rings = 0;
    std::mutex m;
    FakeSource source;
    FakeClock clock;
    ReceiveLineCutter cutter([&] {
        std::lock_guard<std::mutex> hold(m);
        ++rings;
    });
    std::atomic<uint32_t> poll{0}, receive{0};
    ReceiveDisplay display(source, cutter, clock, poll, receive);
    display.SetByteSize(8);
    ASSERT_TRUE(display.Start());
    source.Append("*\x07*\x07\x07");
    display.Notify();
    for (int i = 0; i < 2000 && cutter.CurrentLine().empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    display.Stop();
    EXPECT_EQ(cutter.CurrentLine(), " *\x07*\x07\x07");
    std::lock_guard<std::mutex> hold(m);
    EXPECT_EQ(rings, 3);
}

TEST(ReceiveDisplay, RestartAfterStopTakesTextThatArrivedMeanwhile)
{
    Harness h;
    ASSERT_TRUE(h.display.Start());
    h.display.Stop();
    h.source.Append("LATE");  // no Notify: the display was down
    ASSERT_TRUE(h.display.Start());
    EXPECT_TRUE(h.WaitFor([&] { return h.cutter.CurrentLine() == " LATE"; }));
}

TEST(ReceiveDisplay, IdlePollStampMovesOnlyWhileRunningAndIdle)
{
    Harness h;
    h.clock.m_now = 7000;
    h.display.RefreshIdlePoll();
    EXPECT_EQ(h.lastPoll.load(), 0u);  // not running
    ASSERT_TRUE(h.display.Start());
    h.source.Append("Q");
    h.display.Notify();
    ASSERT_TRUE(h.WaitFor([&] { return h.cutter.CurrentLine() == " Q"; }));
    EXPECT_EQ(h.lastReceive.load(), 7000u);
    h.clock.m_now = 11000;
    // The thread may need a moment to go back to waiting.
    for (int i = 0; i < 1000 && h.lastPoll.load() != 11000u; ++i) {
        h.display.RefreshIdlePoll();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(h.lastPoll.load(), 11000u);
    EXPECT_EQ(h.lastReceive.load(), 7000u);
}

TEST(ReceiveDisplay, StopWithoutStartAndDoubleStartAreHarmless)
{
    Harness h;
    h.display.Stop();
    ASSERT_TRUE(h.display.Start());
    ASSERT_TRUE(h.display.Start());
    h.display.Stop();
    h.display.Stop();
}

}  // namespace
