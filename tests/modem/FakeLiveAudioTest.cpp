// The fake live-audio backend other tests stand on: fed capture audio comes
// out in order, played frames never run ahead of what was handed out, and a
// device that goes away calls its down handler once, on the stream's thread.
#include "support/FakeLiveAudio.h"

#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

TEST(FakeLiveAudio, CaptureInOrderPlaybackCountedDownOnDemand)
{
    FakeLiveAudio fake;
    std::string error;
    EXPECT_EQ(fake.OpenCapture("no.such.source", 48000, error), nullptr);
    EXPECT_EQ(error, "No such device: no.such.source");

    auto capture = fake.OpenCapture("", 48000, error);
    auto playback = fake.OpenPlayback("fake.playback", 48000, error);
    ASSERT_TRUE(capture && playback);
    std::mutex mutex;
    std::vector<float> got;
    std::condition_variable downed;
    int downs = 0;   // guarded by mutex
    const auto onDown = [&](const std::string&) {
        std::lock_guard lock(mutex);
        ++downs;
        downed.notify_all();
    };
    std::thread::id captureThread;
    ASSERT_TRUE(capture->Start(
        [&](const float* s, size_t n) {
            std::lock_guard lock(mutex);
            captureThread = std::this_thread::get_id();
            got.insert(got.end(), s, s + n);
        },
        onDown, error));
    ASSERT_TRUE(playback->Start([](float* out, size_t n) { std::fill(out, out + n, 0.25f); },
                                onDown, error));
    std::vector<float> fed(1000);
    for (size_t i = 0; i < fed.size(); ++i)
        fed[i] = static_cast<float>(i);
    fake.Feed(fed);
    ASSERT_TRUE(fake.WaitFedConsumed(std::chrono::seconds(5)));
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(got, fed);
        EXPECT_NE(captureThread, std::this_thread::get_id());
    }

    ASSERT_TRUE(fake.WaitPlayed([](const std::vector<float>& p) { return p.size() >= 4800; }, std::chrono::seconds(5)));
    const uint64_t played = playback->PlayedFrames();
    EXPECT_LE(played, fake.Played().size());
    EXPECT_LE(fake.PlayedAt(0).value(), std::chrono::steady_clock::now());

    fake.GoDown(FakeLiveAudio::Direction::Capture, "unplugged");
    fake.GoDown(FakeLiveAudio::Direction::Playback, "unplugged");
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(downed.wait_for(lock, std::chrono::seconds(5), [&] { return downs == 2; }));
    }
    EXPECT_EQ(fake.Running(FakeLiveAudio::Direction::Capture), 0);
    EXPECT_TRUE(capture->IsDown());
    EXPECT_TRUE(playback->IsDown());
    capture->Stop();
    playback->Stop();
    EXPECT_EQ(downs, 2);
}

}  // namespace
