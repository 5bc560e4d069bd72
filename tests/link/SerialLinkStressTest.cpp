// Several threads use one running link at once, as the user-interface thread,
// the display thread and the two link threads do. Run under ThreadSanitizer
// this proves the shared state is guarded; on its own it proves nothing is
// lost or duplicated that the rules keep.
#include "LinkTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace linktest;

TEST(SerialLinkStress, QueuePushClearAndTakeFromSeveralThreadsWhileTheLinkRuns)
{
    SimLink s("loopback");
    s.Open(115200, 8);
    std::atomic<bool> stop{false};
    std::atomic<size_t> received{0};

    std::thread queuer([&] {
        while (!stop)
            s.link.QueueText("abcdefg");
    });
    std::thread pusher([&] {
        while (!stop) {
            s.link.PushFront('!');
            (void)s.link.TxQueueLength();
            (void)s.link.TxOutLength();
            std::this_thread::yield();
        }
    });
    std::thread clearer([&] {
        for (int i = 0; !stop; ++i) {
            if (i % 50 == 0)
                s.link.ClearTransmit();
            s.link.m_bTxActive = i % 3 == 0;
            s.link.m_bDiddle = i % 2;
            s.link.Wake();
            std::this_thread::sleep_for(1ms);
        }
    });
    std::thread taker([&] {
        while (!stop) {
            received += s.link.TakeReceived().size();
            std::this_thread::yield();
        }
    });
    std::thread feeder([&] {
        while (!stop) {
            s.modem->Feed("0123456789");
            s.link.InjectTestMessage(true);
            std::this_thread::sleep_for(1ms);
        }
    });

    std::this_thread::sleep_for(800ms);
    stop = true;
    for (std::thread* t : {&queuer, &pusher, &clearer, &taker, &feeder})
        t->join();

    EXPECT_GT(received.load(), 0u);
    EXPECT_GT(s.modem->Writes().size(), 0u);
    // Pushed bytes may pile up in front of one chunk while the transmit thread
    // waits for a core; behind them a write never carries more than four
    // queued bytes (idle fill is four bytes too).
    for (const std::string& w : s.modem->Writes()) {
        const size_t pushed = w.find_first_not_of('!');
        const size_t rest = pushed == std::string::npos ? 0 : w.size() - pushed;
        EXPECT_LE(rest, 4u) << w;
    }

    // The link still works normally afterwards. (Text queued while the
    // out-buffer is empty goes out without waiting for the drain, so the
    // queuer ran ahead of the line and the loopback is far behind: look at
    // what was written instead.)
    s.link.ClearTransmit();
    s.link.QueueText("END");
    EXPECT_TRUE(s.modem->WaitFor([](const auto& log) {
        return !log.empty() && log.back().kind == SimEvent::Kind::Write && log.back().bytes == "END";
    }, kEventually));
    s.link.Connect(false);
    EXPECT_FALSE(s.link.IsOpen());
}
