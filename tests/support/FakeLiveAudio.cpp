#include "support/FakeLiveAudio.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace {

using Clock = FakeLiveAudio::Clock;
using Direction = FakeLiveAudio::Direction;

// One started stream as the backend sees it. Guarded by State::mutex.
struct Channel {
    Direction direction;
    bool stop = false;
    bool down = false;
    std::optional<std::string> downRequest;
    std::deque<float> queue;     // capture: fed, not yet handed over
    bool busy = false;           // capture: a block is in the handler
    size_t pullRequest = 0;      // playback, manual: samples asked for
    std::vector<float> pulled;   // playback, manual: what the last Pull got
    bool pullDone = false;
};

}  // namespace

struct FakeLiveAudio::State {
    explicit State(Options o) : options(o) {}

    const Options options;
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::vector<AudioDeviceInfo> sources{{"fake.capture", "Fake capture device"}};
    std::vector<AudioDeviceInfo> sinks{{"fake.playback", "Fake playback device"}};
    std::string failStart[2];
    double rate[2] = {0.0, 0.0};
    std::vector<std::shared_ptr<Channel>> running;
    // The latest playback stream's output: samples and, per block handed
    // over, its first frame and when that frame left the device.
    std::vector<float> played;
    std::vector<std::pair<uint64_t, Clock::time_point>> blocks;
    double playedRate = 48000.0;
    uint64_t manualPlayed = 0;

    std::shared_ptr<Channel> RunningLocked(Direction d) const
    {
        for (auto it = running.rbegin(); it != running.rend(); ++it)
            if ((*it)->direction == d)
                return *it;
        return nullptr;
    }
    std::optional<Clock::time_point> PlayedAtLocked(uint64_t frame) const
    {
        if (frame >= played.size() || blocks.empty())
            return std::nullopt;
        auto it = std::upper_bound(blocks.begin(), blocks.end(), frame,
                                   [](uint64_t f, const auto& b) { return f < b.first; });
        --it;
        return it->second + std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double>(static_cast<double>(frame - it->first) / playedRate));
    }
};

namespace {

using State = FakeLiveAudio::State;

// What both directions share: the channel, the thread, Stop and IsDown.
class FakeStream {
public:
    FakeStream(std::shared_ptr<State> state, Direction d) : m_state(std::move(state)), m_direction(d) {}
    ~FakeStream() { StopStream(); }

    bool StartStream(std::string& error, std::function<void(std::shared_ptr<Channel>)> body)
    {
        const int i = static_cast<int>(m_direction);
        std::lock_guard lock(m_state->mutex);
        if (!m_state->failStart[i].empty()) {
            error = m_state->failStart[i];
            m_state->failStart[i].clear();
            return false;
        }
        if (m_channel)
            return true;
        m_channel = std::make_shared<Channel>();
        m_channel->direction = m_direction;
        m_state->running.push_back(m_channel);
        m_thread = std::thread(std::move(body), m_channel);
        return true;
    }
    void StopStream()
    {
        {
            std::lock_guard lock(m_state->mutex);
            if (!m_channel)
                return;
            m_channel->stop = true;
            std::erase(m_state->running, m_channel);
            m_state->changed.notify_all();
        }
        if (m_thread.joinable())
            m_thread.join();
        std::lock_guard lock(m_state->mutex);
        m_channel.reset();
    }
    bool Down() const
    {
        std::lock_guard lock(m_state->mutex);
        return m_channel && m_channel->down;
    }

protected:
    // Under the lock: the channel is told to go away; marks it down.
    static bool TakeDown(Channel& c, std::string& reason)
    {
        if (!c.downRequest)
            return false;
        reason = *c.downRequest;
        c.down = true;
        return true;
    }

    std::shared_ptr<State> m_state;
    const Direction m_direction;

private:
    std::shared_ptr<Channel> m_channel;   // guarded by State::mutex; set by Start, cleared by Stop
    std::thread m_thread;                 // owner's thread
};

class FakeCapture : public CaptureStream, private FakeStream {
public:
    FakeCapture(std::shared_ptr<State> state, double rate)
        : FakeStream(std::move(state), Direction::Capture), m_rate(rate)
    {
    }
    ~FakeCapture() override { StopStream(); }

    bool Start(BlockHandler onBlock, AudioDownHandler onDown, std::string& error) override
    {
        return StartStream(error, [this, onBlock, onDown](std::shared_ptr<Channel> c) { Run(*c, onBlock, onDown); });
    }
    void Stop() override { StopStream(); }
    std::chrono::microseconds Latency() const override { return m_state->options.captureLatency; }
    bool IsDown() const override { return Down(); }

private:
    void Run(Channel& c, const BlockHandler& onBlock, const AudioDownHandler& onDown)
    {
        const FakeLiveAudio::Options& o = m_state->options;
        const auto period = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(static_cast<double>(o.blockFrames) / m_rate));
        auto next = Clock::now() + period;
        std::vector<float> block;
        std::unique_lock lock(m_state->mutex);
        for (;;) {
            if (o.realTimeCapture)
                m_state->changed.wait_until(lock, next, [&] { return c.stop || c.downRequest; });
            else
                m_state->changed.wait(lock, [&] { return c.stop || c.downRequest || !c.queue.empty(); });
            if (c.stop)
                return;
            std::string reason;
            if (TakeDown(c, reason)) {
                lock.unlock();
                onDown(reason);
                return;
            }
            const size_t n = std::min(o.blockFrames, c.queue.size());
            block.assign(c.queue.begin(), c.queue.begin() + static_cast<std::ptrdiff_t>(n));
            c.queue.erase(c.queue.begin(), c.queue.begin() + static_cast<std::ptrdiff_t>(n));
            if (o.realTimeCapture) {
                block.resize(o.blockFrames, 0.0f);
                next += period;
            }
            c.busy = true;
            lock.unlock();
            onBlock(block.data(), block.size());
            lock.lock();
            c.busy = false;
            m_state->changed.notify_all();
        }
    }

    const double m_rate;
};

class FakePlayback : public PlaybackStream, private FakeStream {
public:
    FakePlayback(std::shared_ptr<State> state, double rate)
        : FakeStream(std::move(state), Direction::Playback), m_rate(rate)
    {
    }
    ~FakePlayback() override { StopStream(); }

    bool Start(FillHandler onFill, AudioDownHandler onDown, std::string& error) override
    {
        {
            std::lock_guard lock(m_state->mutex);
            m_state->played.clear();
            m_state->blocks.clear();
            m_state->manualPlayed = 0;
            m_state->playedRate = m_rate;
        }
        return StartStream(error, [this, onFill, onDown](std::shared_ptr<Channel> c) { Run(*c, onFill, onDown); });
    }
    void Stop() override { StopStream(); }
    uint64_t PlayedFrames() const override
    {
        std::lock_guard lock(m_state->mutex);
        const State& s = *m_state;
        if (!s.options.realTimePlayback)
            return std::min<uint64_t>(s.manualPlayed, s.played.size());
        // Frames whose time has come, found from the newest block back.
        const auto now = Clock::now();
        for (size_t i = s.blocks.size(); i-- > 0;) {
            if (s.blocks[i].second > now)
                continue;
            const uint64_t end = i + 1 < s.blocks.size() ? s.blocks[i + 1].first : s.played.size();
            const double secs = std::chrono::duration<double>(now - s.blocks[i].second).count();
            return std::min<uint64_t>(end, s.blocks[i].first + static_cast<uint64_t>(secs * s.playedRate) + 1);
        }
        return 0;
    }
    std::chrono::microseconds Latency() const override { return m_state->options.playbackLatency; }
    bool IsDown() const override { return Down(); }

private:
    void Run(Channel& c, const FillHandler& onFill, const AudioDownHandler& onDown)
    {
        const FakeLiveAudio::Options& o = m_state->options;
        const auto period = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(static_cast<double>(o.blockFrames) / m_rate));
        auto next = Clock::now();
        std::vector<float> block;
        std::unique_lock lock(m_state->mutex);
        for (;;) {
            if (o.realTimePlayback)
                m_state->changed.wait_until(lock, next, [&] { return c.stop || c.downRequest; });
            else
                m_state->changed.wait(lock, [&] { return c.stop || c.downRequest || c.pullRequest > 0; });
            if (c.stop)
                return;
            std::string reason;
            if (TakeDown(c, reason)) {
                c.pullDone = true;   // a waiting Pull gets nothing
                m_state->changed.notify_all();
                lock.unlock();
                onDown(reason);
                return;
            }
            const size_t n = o.realTimePlayback ? o.blockFrames : c.pullRequest;
            c.pullRequest = 0;
            lock.unlock();
            block.assign(n, 0.0f);
            const auto handed = Clock::now();
            onFill(block.data(), block.size());
            lock.lock();
            m_state->blocks.emplace_back(m_state->played.size(),
                                         handed + (o.realTimePlayback ? o.playbackLatency : Clock::duration{}));
            m_state->played.insert(m_state->played.end(), block.begin(), block.end());
            if (o.realTimePlayback) {
                next += period;
            } else {
                c.pulled = block;
                c.pullDone = true;
            }
            m_state->changed.notify_all();
        }
    }

    const double m_rate;
};

std::optional<std::string> MissingDevice(const std::vector<AudioDeviceInfo>& list, const std::string& name)
{
    if (list.empty() || (!name.empty() && std::none_of(list.begin(), list.end(),
                                                       [&](const AudioDeviceInfo& d) { return d.name == name; })))
        return "No such device: " + (name.empty() ? std::string("(default)") : name);
    return std::nullopt;
}

}  // namespace

FakeLiveAudio::FakeLiveAudio() : FakeLiveAudio(Options{}) {}

FakeLiveAudio::FakeLiveAudio(Options options) : m_state(std::make_shared<State>(options)) {}

FakeLiveAudio::~FakeLiveAudio() = default;

void FakeLiveAudio::SetSources(std::vector<AudioDeviceInfo> devices)
{
    std::lock_guard lock(m_state->mutex);
    m_state->sources = std::move(devices);
}

void FakeLiveAudio::SetSinks(std::vector<AudioDeviceInfo> devices)
{
    std::lock_guard lock(m_state->mutex);
    m_state->sinks = std::move(devices);
}

void FakeLiveAudio::FailNextStart(Direction direction, std::string error)
{
    std::lock_guard lock(m_state->mutex);
    m_state->failStart[static_cast<int>(direction)] = std::move(error);
}

void FakeLiveAudio::Feed(const std::vector<float>& samples)
{
    std::lock_guard lock(m_state->mutex);
    for (auto& c : m_state->running)
        if (c->direction == Direction::Capture)
            c->queue.insert(c->queue.end(), samples.begin(), samples.end());
    m_state->changed.notify_all();
}

bool FakeLiveAudio::WaitFedConsumed(std::chrono::milliseconds limit) const
{
    std::unique_lock lock(m_state->mutex);
    return m_state->changed.wait_for(lock, limit, [&] {
        bool any = false;
        for (auto& c : m_state->running) {
            if (c->direction != Direction::Capture)
                continue;
            any = true;
            if (!c->queue.empty() || c->busy)
                return false;
        }
        return any;
    });
}

std::vector<float> FakeLiveAudio::Pull(size_t count)
{
    std::unique_lock lock(m_state->mutex);
    std::shared_ptr<Channel> c = m_state->RunningLocked(Direction::Playback);
    if (!c || c->down || count == 0)
        return {};
    c->pullDone = false;
    c->pullRequest = count;
    m_state->changed.notify_all();
    m_state->changed.wait(lock, [&] { return c->pullDone || c->stop; });
    return std::exchange(c->pulled, {});
}

void FakeLiveAudio::SetPlayedFrames(uint64_t frames)
{
    std::lock_guard lock(m_state->mutex);
    m_state->manualPlayed = frames;
    m_state->changed.notify_all();
}

std::vector<float> FakeLiveAudio::Played() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->played;
}

std::optional<FakeLiveAudio::Clock::time_point> FakeLiveAudio::PlayedAt(uint64_t frame) const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->PlayedAtLocked(frame);
}

bool FakeLiveAudio::WaitPlayed(const std::function<bool(const std::vector<float>&)>& done,
                               std::chrono::milliseconds limit) const
{
    std::unique_lock lock(m_state->mutex);
    return m_state->changed.wait_for(lock, limit, [&] { return done(m_state->played); });
}

void FakeLiveAudio::GoDown(Direction direction, std::string reason)
{
    std::lock_guard lock(m_state->mutex);
    if (std::shared_ptr<Channel> c = m_state->RunningLocked(direction))
        c->downRequest = std::move(reason);
    m_state->changed.notify_all();
}

int FakeLiveAudio::Running(Direction direction) const
{
    std::lock_guard lock(m_state->mutex);
    return static_cast<int>(std::count_if(m_state->running.begin(), m_state->running.end(),
                                          [&](const auto& c) { return c->direction == direction && !c->down; }));
}

double FakeLiveAudio::Rate(Direction direction) const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->rate[static_cast<int>(direction)];
}

std::vector<AudioDeviceInfo> FakeLiveAudio::Sources()
{
    std::lock_guard lock(m_state->mutex);
    return m_state->sources;
}

std::vector<AudioDeviceInfo> FakeLiveAudio::Sinks()
{
    std::lock_guard lock(m_state->mutex);
    return m_state->sinks;
}

std::unique_ptr<CaptureStream> FakeLiveAudio::OpenCapture(const std::string& device, double rate, std::string& error)
{
    std::lock_guard lock(m_state->mutex);
    if (auto missing = MissingDevice(m_state->sources, device)) {
        error = *missing;
        return nullptr;
    }
    m_state->rate[0] = rate;
    return std::make_unique<FakeCapture>(m_state, rate);
}

std::unique_ptr<PlaybackStream> FakeLiveAudio::OpenPlayback(const std::string& device, double rate, std::string& error)
{
    std::lock_guard lock(m_state->mutex);
    if (auto missing = MissingDevice(m_state->sinks, device)) {
        error = *missing;
        return nullptr;
    }
    m_state->rate[1] = rate;
    return std::make_unique<FakePlayback>(m_state, rate);
}
